// Recoding between any two charset codes never writes past the output buffer, never reads past
// the input, reports counts within the buffer sizes, and fails only with kexception. And the
// text is right:
// - a full output starts the text given room to spare, and the rest recoded from where it
//   stopped completes it;
// - where glibc knows both sides and no table of ours is involved, the result is what plain
//   runs of glibc's iconv give, reading the text into UTF-16 and writing it from there;
// - where a multibyte page other than UTF-8 is involved, the result is what the text read into
//   UTF-8 and written from there gives;
// - a single-byte page round-trips through UTF-8 every byte whose character is its own;
// - a multibyte page read, written and read again gives the same text;
// - HZ and ISO-2022-JP-1, which glibc lacks, keep every ASCII character and otherwise only
//   characters of the text, in order, and write what they read back the same way.
#include "util/charset/codepage.h"
#include "util/charset/iconv.h"
#include "util/charset/recode.h"
#include "util/generic/exception.h"

#include <iconv.h>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const ECharset HZ = 104;
const ECharset JP1 = 108;

struct TRun {
    RECODE_RESULT Status;
    size_t Read;
    std::string Out;
};

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

// Exact-size heap copies so that the sanitizer sees any access beyond them.
TRun Run(ECharset from, ECharset to, const char* text, size_t srcLen, size_t dstLen) {
    std::unique_ptr<char[]> src(new char[srcLen ? srcLen : 1]);
    if (srcLen) {
        std::memcpy(src.get(), text, srcLen);
    }
    std::unique_ptr<char[]> dst(new char[dstLen ? dstLen : 1]);
    size_t read = 12345, written = 12345;
    const RECODE_RESULT r = Recode(from, to, src.get(), dst.get(), srcLen, dstLen, read, written);
    Check(r >= RECODE_OK && r <= RECODE_ERROR);
    if (r == RECODE_ERROR) {
        return {r, 0, std::string()};
    }
    Check(read <= srcLen && written <= dstLen);
    Check(r != RECODE_OK || read == srcLen);
    return {r, read, std::string(dst.get(), written)};
}

size_t AmpleRoom(size_t srcLen) {
    return 16 * srcLen + 64;
}

bool SingleByte(ECharset code) {
    return CodePageRegistry::Instance()[code].SingleByte();
}

bool Stateful(ECharset code) {
    return std::strncmp(NameByCharset(code), "ISO-2022", 8) == 0 || code == HZ;
}

// A plain run of glibc's iconv over the whole text, as the recoders use it: what glibc skips
// is left out, a byte at a time where it stalls; input ending inside a character stays unread;
// the target ends in its initial state. False when glibc cannot open the pair or the output
// would not fit. glibc's ISO-2022-CN-EXT and UHC readers step past the input when told to
// skip errors, so they are read without, into a target that holds every character.
bool PlainIconv(const char* to, const char* from, const std::string& text, std::string& out,
                size_t& read, bool& incomplete) {
    const bool skips = !TIconvConverter::ReadsWithoutSkipping(from);
    const std::string target = std::string(to) + (skips ? "//IGNORE" : "");
    iconv_t cd = iconv_open(target.c_str(), from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    std::vector<char> buf(AmpleRoom(text.size()));
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* dst = buf.data();
    size_t dstLeft = buf.size();
    bool ok = true;
    incomplete = false;
    while (inLeft) {
        const size_t before = inLeft;
        if (iconv(cd, &in, &inLeft, &dst, &dstLeft) != static_cast<size_t>(-1)) {
            break;
        }
        if (errno == EILSEQ) {
            if (inLeft && inLeft == before) {
                ++in;
                --inLeft;
            }
            continue;
        }
        incomplete = errno == EINVAL;
        ok = incomplete;
        break;
    }
    ok = ok && iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    read = text.size() - inLeft;
    out.assign(buf.data(), dst);
    return ok;
}

// Code points of valid UTF-8 text through glibc; false for any other text.
bool CodePoints(const std::string& utf8, std::vector<uint32_t>& points) {
    iconv_t cd = iconv_open("UTF-32LE", "UTF-8");
    std::vector<char> buf(4 * utf8.size() + 4);
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* dst = buf.data();
    size_t dstLeft = buf.size();
    const bool ok = iconv(cd, &in, &inLeft, &dst, &dstLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    points.clear();
    for (const char* p = buf.data(); p + 4 <= dst; p += 4) {
        uint32_t cp;
        std::memcpy(&cp, p, 4);
        points.push_back(cp);
    }
    return ok && inLeft == 0;
}

// A full output starts the text given room to spare, and recoding the rest from where it
// stopped gives the remainder (where neither side carries a shift state across the cut); any
// other result is the one with room to spare.
void CheckFullOutput(ECharset from, ECharset to, const std::string& src, const TRun& small,
                     const TRun& ample) {
    if (small.Status != RECODE_EOOUTPUT) {
        Check(small.Status == ample.Status && small.Read == ample.Read && small.Out == ample.Out);
        return;
    }
    if (Stateful(to)) {
        return;
    }
    Check(ample.Out.compare(0, small.Out.size(), small.Out) == 0);
    if (Stateful(from)) {
        return;
    }
    const size_t restLen = src.size() - small.Read;
    const TRun rest = Run(from, to, src.data() + small.Read, restLen, AmpleRoom(restLen));
    Check(rest.Status == ample.Status && small.Out + rest.Out == ample.Out);
}

// Where neither side has a table of ours, glibc reads the text into UTF-16 and writes it from
// there: never one of its direct converters between two pages.
void CheckAgainstGlibc(ECharset from, ECharset to, const std::string& src, const TRun& ample) {
    for (ECharset code : {from, to}) {
        if ((code != CODES_UTF8 && SingleByte(code)) || code == HZ || code == JP1) {
            return;
        }
    }
    std::string units;
    size_t read = 0;
    bool incomplete = false;
    if (!PlainIconv("UTF-16LE", TIconvConverter::IconvName(NameByCharset(from)), src, units, read,
                    incomplete)) {
        return;
    }
    std::string out;
    size_t unitsRead = 0;
    bool unitsIncomplete = false;
    if (!PlainIconv(TIconvConverter::IconvName(NameByCharset(to)), "UTF-16LE", units, out,
                    unitsRead, unitsIncomplete)) {
        return;
    }
    Check(ample.Status == (incomplete ? RECODE_EOINPUT : RECODE_OK));
    Check(ample.Read == read && ample.Out == out);
}

// A pair with a multibyte page other than UTF-8 on one side gives what the text read into
// UTF-8 and written from there gives.
void CheckThroughUtf8(ECharset from, ECharset to, const std::string& src, const TRun& ample) {
    const bool tables =
        (from == CODES_UTF8 || SingleByte(from)) && (to == CODES_UTF8 || SingleByte(to));
    if (tables || from == CODES_UTF8 || to == CODES_UTF8) {
        return;
    }
    const TRun text = Run(from, CODES_UTF8, src.data(), src.size(), AmpleRoom(src.size()));
    const TRun out =
        Run(CODES_UTF8, to, text.Out.data(), text.Out.size(), AmpleRoom(text.Out.size()));
    Check(out.Status == RECODE_OK);
    Check(ample.Status == text.Status && ample.Read == text.Read && ample.Out == out.Out);
}

// Every byte whose character no other byte of the page has comes back unchanged.
void CheckSingleByteRoundTrip(ECharset page, const std::string& src) {
    const uint32_t* table = CodePageRegistry::Instance()[page].Unicode;
    const TRun utf8 = Run(page, CODES_UTF8, src.data(), src.size(), AmpleRoom(src.size()));
    Check(utf8.Status == RECODE_OK);
    const TRun back =
        Run(CODES_UTF8, page, utf8.Out.data(), utf8.Out.size(), AmpleRoom(utf8.Out.size()));
    Check(back.Status == RECODE_OK && back.Out.size() == src.size());
    for (size_t i = 0; i < src.size(); ++i) {
        const uint32_t cp = table[static_cast<uint8_t>(src[i])];
        if (cp == 0xFFFD) {
            continue;
        }
        size_t holders = 0;
        for (int b = 0; b < 256; ++b) {
            holders += table[b] == cp;
        }
        Check(holders > 1 || back.Out[i] == src[i]);
    }
}

// Read, written and read again: the same text. (Not where a stateful page's reader let an
// escape or shift character through as text: written back as it is, it reads as an escape
// sequence or a shift, or as an incomplete one at the end.)
void CheckMultibyteRoundTrip(ECharset page, const std::string& src) {
    const TRun text = Run(page, CODES_UTF8, src.data(), src.size(), AmpleRoom(src.size()));
    if (text.Status != RECODE_OK && text.Status != RECODE_EOINPUT) {
        return;
    }
    if (Stateful(page) && text.Out.find_first_of("\x1B\x0E\x0F") != std::string::npos) {
        return;
    }
    const TRun bytes =
        Run(CODES_UTF8, page, text.Out.data(), text.Out.size(), AmpleRoom(text.Out.size()));
    Check(bytes.Status == RECODE_OK);
    const TRun again =
        Run(page, CODES_UTF8, bytes.Out.data(), bytes.Out.size(), AmpleRoom(bytes.Out.size()));
    Check(again.Status == RECODE_OK && again.Out == text.Out);
}

// The layers glibc lacks: every ASCII character stays (ISO-2022-JP-1 leaves out the bytes that
// would read as shifts), nothing comes that the text does not hold, and the order is kept.
void CheckLayer(ECharset layer, const std::string& utf8) {
    std::vector<uint32_t> source;
    if (!CodePoints(utf8, source)) {
        return;
    }
    const TRun bytes = Run(CODES_UTF8, layer, utf8.data(), utf8.size(), AmpleRoom(utf8.size()));
    Check(bytes.Status == RECODE_OK);
    for (char c : bytes.Out) {
        Check(static_cast<uint8_t>(c) < 0x80);
    }
    const TRun text =
        Run(layer, CODES_UTF8, bytes.Out.data(), bytes.Out.size(), AmpleRoom(bytes.Out.size()));
    Check(text.Status == RECODE_OK);
    std::vector<uint32_t> back;
    Check(CodePoints(text.Out, back));
    size_t j = 0;
    for (uint32_t cp : source) {
        const bool kept = cp < 0x80 && (layer == HZ || (cp != 0x1B && cp != 0x0E && cp != 0x0F));
        if (j < back.size() && back[j] == cp) {
            ++j;
        } else {
            Check(!kept);
        }
    }
    Check(j == back.size());
    const TRun again =
        Run(CODES_UTF8, layer, text.Out.data(), text.Out.size(), AmpleRoom(text.Out.size()));
    Check(again.Status == RECODE_OK && again.Out == bytes.Out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4 || size > 4096)
        return 0;
    const ECharset from = data[0] % CODES_MAX;
    const ECharset to = data[1] % CODES_MAX;
    const size_t dstLen = data[2] % 64;
    const uint8_t srcCut = data[3];
    data += 4;
    size -= 4;
    const std::string src(reinterpret_cast<const char*>(data), srcCut < size ? srcCut : size);

    const TRun small = Run(from, to, src.data(), src.size(), dstLen);
    if (small.Status == RECODE_ERROR) {
        return 0;
    }
    const TRun ample = Run(from, to, src.data(), src.size(), AmpleRoom(src.size()));
    Check(ample.Status != RECODE_EOOUTPUT && ample.Status != RECODE_ERROR);
    CheckFullOutput(from, to, src, small, ample);
    if (from != to) {
        CheckAgainstGlibc(from, to, src, ample);
        CheckThroughUtf8(from, to, src, ample);
    }
    if (from != CODES_UTF8 && SingleByte(from)) {
        CheckSingleByteRoundTrip(from, src);
    } else if (from != CODES_UTF8 && from != HZ && from != JP1) {
        CheckMultibyteRoundTrip(from, src);
    }
    if (from == CODES_UTF8 && (to == HZ || to == JP1)) {
        CheckLayer(to, src);
    }
    return 0;
}
