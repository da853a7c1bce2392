// The iconv converter.
//
// glibc has no switch that makes iconv drop invalid input (GNU libiconv's
// ICONV_SET_DISCARD_ILSEQ). The "//IGNORE" suffix of the target name makes glibc skip what it
// cannot convert, but it still ends the call with EILSEQ, sometimes before the whole input is
// read; the converter resumes after such a stop, and skips a byte itself when glibc makes no
// progress at all.
#include "util/charset/iconv.h"

#include "util/charset/iconv_layers.h"
#include "util/generic/exception.h"

#include <iconv.h>
#include <strings.h>
#include <cassert>
#include <cerrno>
#include <cstring>
#include <vector>

namespace {

struct TNameAlias {
    const char* Name;
    const char* IconvName;
};

const TNameAlias NAME_ALIASES[] = {
    {"BIG5-HKSCS:1999", "BIG5-HKSCS"},
    {"BIG5-HKSCS:2001", "BIG5-HKSCS"},
};

// glibc's readers of these, when told to ignore errors, step past the end of the input and go
// on reading whatever memory follows: ISO-2022-CN-EXT on a shift-out that no designation came
// before, UHC on the bytes A2 E8. Without the suffix they stop there with EILSEQ, which
// Convert skips; so they are read into Unicode only, where no character of theirs is missing
// and every stop is invalid input.
const char* const READERS_WITHOUT_SKIPPING[] = {"ISO-2022-CN-EXT", "CP949", "UHC"};

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

bool TIconvConverter::ReadsWithoutSkipping(const char* name) noexcept {
    for (const char* reader : READERS_WITHOUT_SKIPPING) {
        if (strcasecmp(reader, name) == 0) {
            return true;
        }
    }
    return false;
}

TIconvConverter::TIconvConverter(const char* to, const char* from)
    : Layer_(OpenIconvLayer(to, from)) {
    if (Layer_) {
        return;
    }
    from = IconvDecoderName(from);
    char target[128];
    const char* toName = IconvName(to);
    if (std::strlen(toName) + sizeof("//IGNORE") > sizeof(target)) {
        return;
    }
    std::strcpy(target, toName);
    if (!ReadsWithoutSkipping(IconvName(from))) {
        std::strcat(target, "//IGNORE");
    }
    iconv_t cd = iconv_open(target, IconvName(from));
    Handle_ = cd == reinterpret_cast<iconv_t>(-1) ? nullptr : static_cast<void*>(cd);
}

TIconvConverter::~TIconvConverter() {
    if (Handle_) {
        iconv_close(ToIconv(Handle_));
    }
}

TIconvConverter::EStatus TIconvConverter::Convert(const char*& src, size_t& srcLeft, char*& dst,
                                                  size_t& dstLeft) {
    if (Layer_) {
        return Layer_->Convert(src, srcLeft, dst, dstLeft);
    }
    assert(Valid());
    if (src == nullptr) {
        // iconv takes a null input for a call to reset the state, which writes a stateful
        // target's shift sequence; an empty text (an empty vector's data) is no such call.
        return srcLeft == 0 ? Done : Failed;
    }
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

TIconvConverter::EStatus TIconvConverter::Finish(char*& dst, size_t& dstLeft) {
    if (Layer_) {
        return Layer_->Finish(dst, dstLeft);
    }
    assert(Valid());
    if (iconv(ToIconv(Handle_), nullptr, nullptr, &dst, &dstLeft) != static_cast<size_t>(-1)) {
        return Done;
    }
    return errno == E2BIG ? OutputFull : Failed;
}

TIconvHandle::TIconvHandle(ECharset from, ECharset to)
    : Converter_(NameByCharset(to), NameByCharset(from)) {}

namespace {

// The converter between the page `code` and `other`, in the direction asked for; raises when
// iconv cannot convert between them.
struct TPageConverter {
    const char* From;
    const char* To;
    TIconvConverter Converter;

    TPageConverter(const char* pageName, const char* other, bool fromOther)
        : From(fromOther ? other : pageName),
          To(fromOther ? pageName : other),
          Converter(To, From) {
        if (!Converter.Valid()) {
            throw kexception() << "Can not convert from " << From << " to " << To;
        }
    }
};

[[noreturn]] void ThrowIconvStatus(TIconvConverter::EStatus status) {
    if (status == TIconvConverter::OutputFull) {
        throw kexception() << "Iconv error: output buffer is too small";
    }
    throw kexception() << "Unknown iconv error";
}

}  // namespace

void RecodeWithIconv(ECharset code, const char* other, const char* src, char* dst, size_t srcLen,
                     size_t dstLen, size_t& read, size_t& written, bool fromOther) {
    TPageConverter page(NameByCharset(code), other, fromOther);
    const char* in = src;
    size_t inLeft = srcLen;
    char* out = dst;
    size_t outLeft = dstLen;
    TIconvConverter::EStatus status = page.Converter.Convert(in, inLeft, out, outLeft);
    if (status == TIconvConverter::Done || status == TIconvConverter::Incomplete) {
        status = page.Converter.Finish(out, outLeft);
    }
    read = srcLen - inLeft;
    written = dstLen - outLeft;
    if (status != TIconvConverter::Done) {
        ThrowIconvStatus(status);
    }
}

Stroka RecodeWithIconv(ECharset code, const char* other, const char* src, size_t srcLen,
                       bool fromOther) {
    TPageConverter page(NameByCharset(code), other, fromOther);
    std::vector<char> buffer(2 * srcLen + 16);
    const char* in = src;
    size_t inLeft = srcLen;
    size_t written = 0;
    bool converted = false;
    while (true) {
        char* out = buffer.data() + written;
        size_t outLeft = buffer.size() - written;
        TIconvConverter::EStatus status =
            converted ? TIconvConverter::Done : page.Converter.Convert(in, inLeft, out, outLeft);
        if (status != TIconvConverter::OutputFull) {
            converted = true;
            if (status == TIconvConverter::Failed) {
                ThrowIconvStatus(status);
            }
            status = page.Converter.Finish(out, outLeft);
        }
        written = buffer.size() - outLeft;
        if (status == TIconvConverter::Done) {
            return Stroka(buffer.data(), written);
        }
        if (status != TIconvConverter::OutputFull) {
            ThrowIconvStatus(status);
        }
        buffer.resize(2 * buffer.size());
    }
}
