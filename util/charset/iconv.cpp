// The iconv converter.
//
// glibc has no switch that makes iconv drop invalid input (GNU libiconv's
// ICONV_SET_DISCARD_ILSEQ). The "//IGNORE" suffix of the target name makes glibc skip what it
// cannot convert, but it still ends the call with EILSEQ, sometimes before the whole input is
// read; the converter resumes after such a stop, and skips a byte itself when glibc makes no
// progress at all.
#include "util/charset/iconv.h"

#include "util/generic/exception.h"

#include <iconv.h>
#include <strings.h>
#include <cerrno>
#include <cstring>

namespace {

struct TNameAlias {
    const char* Name;
    const char* IconvName;
};

const TNameAlias NAME_ALIASES[] = {
    {"BIG5-HKSCS:1999", "BIG5-HKSCS"},
    {"BIG5-HKSCS:2001", "BIG5-HKSCS"},
};

iconv_t ToIconv(void* handle) {
    return static_cast<iconv_t>(handle);
}

}  // namespace

const char* TIconvConverter::IconvName(const char* name) noexcept {
    for (const TNameAlias& alias : NAME_ALIASES) {
        if (strcasecmp(alias.Name, name) == 0) {
            return alias.IconvName;
        }
    }
    return name;
}

TIconvConverter::TIconvConverter(const char* to, const char* from) {
    char target[128];
    const char* toName = IconvName(to);
    if (std::strlen(toName) + sizeof("//IGNORE") > sizeof(target)) {
        Handle_ = nullptr;
        return;
    }
    std::strcpy(target, toName);
    std::strcat(target, "//IGNORE");
    iconv_t cd = iconv_open(target, IconvName(from));
    Handle_ = cd == reinterpret_cast<iconv_t>(-1) ? nullptr : static_cast<void*>(cd);
}

TIconvConverter::~TIconvConverter() {
    if (Valid()) {
        iconv_close(ToIconv(Handle_));
    }
}

TIconvConverter::EStatus TIconvConverter::Convert(const char*& src, size_t& srcLeft, char*& dst,
                                                  size_t& dstLeft) {
    while (true) {
        const size_t before = srcLeft;
        char* in = const_cast<char*>(src);
        const size_t rc = iconv(ToIconv(Handle_), &in, &srcLeft, &dst, &dstLeft);
        src = in;
        if (rc != static_cast<size_t>(-1)) {
            return Done;
        }
        switch (errno) {
            case EILSEQ:
                if (srcLeft == 0) {
                    return Done;  // something was skipped, everything was read
                }
                if (srcLeft == before) {
                    ++src;  // glibc could not get past this byte: leave it out
                    --srcLeft;
                }
                continue;
            case EINVAL:
                return Incomplete;
            case E2BIG:
                return OutputFull;
            default:
                return Failed;
        }
    }
}

TIconvHandle::TIconvHandle(ECharset from, ECharset to)
    : Converter_(NameByCharset(to), NameByCharset(from)) {}

void RecodeWithIconv(ECharset code, const char* other, const char* src, char* dst, size_t srcLen,
                     size_t dstLen, size_t& read, size_t& written, bool fromOther) {
    const char* pageName = NameByCharset(code);
    const char* from = fromOther ? other : pageName;
    const char* to = fromOther ? pageName : other;
    TIconvConverter converter(to, from);
    if (!converter.Valid()) {
        throw kexception() << "Can not convert from " << from << " to " << to;
    }
    const char* in = src;
    size_t inLeft = srcLen;
    char* out = dst;
    size_t outLeft = dstLen;
    const TIconvConverter::EStatus status = converter.Convert(in, inLeft, out, outLeft);
    read = srcLen - inLeft;
    written = dstLen - outLeft;
    if (status == TIconvConverter::OutputFull) {
        throw kexception() << "Iconv error: output buffer is too small";
    }
    if (status == TIconvConverter::Failed) {
        throw kexception() << "Unknown iconv error";
    }
}
