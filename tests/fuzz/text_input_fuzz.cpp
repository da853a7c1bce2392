// Reading words, numbers and UTF-8 lines from any bytes of a memory stream always ends, never
// reads outside the input, fails only with TFromStringException, and gives what a plain reader
// of the same bytes as one string gives (the same tokens, lines and values, the same errors);
// the UTF-8 to UTF-16 chunk decoder reports counts within its buffers, and a chunk followed by
// the rest decoded from where it stopped is the whole text decoded at once.
#include "util/convert/cast_exception.h"
#include "util/convert/from_string.h"
#include "util/generic/exception.h"
#include "util/generic/string.h"
#include "util/stream/memory.h"
#include "util/stream/text_input.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>

namespace {

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

// The plain reference reader: the same bytes as a string with a position.
struct TReference {
    const std::string& Text;
    size_t Pos = 0;

    static bool IsBlank(char c) {
        return c == ' ' || c == '\0' || c == '\n' || c == '\r' || c == '\t';
    }

    // The next run of non-blank bytes, its ending blank consumed; empty at the end.
    std::string Token() {
        while (Pos < Text.size() && IsBlank(Text[Pos])) {
            ++Pos;
        }
        const size_t begin = Pos;
        while (Pos < Text.size() && !IsBlank(Text[Pos])) {
            ++Pos;
        }
        const std::string token = Text.substr(begin, Pos - begin);
        if (Pos < Text.size()) {
            ++Pos;
        }
        return token;
    }

    bool Line(std::string& line) {
        if (Pos == Text.size()) {
            return false;
        }
        const size_t end = std::min(Text.find('\n', Pos), Text.size());
        line = Text.substr(Pos, end - Pos);
        Pos = end < Text.size() ? end + 1 : end;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return true;
    }
};

// The whole text decoded at once, an incomplete last sequence left out.
std::u16string Decode(const std::string& bytes) {
    std::u16string units(bytes.size(), u'\0');
    size_t read = 0, written = 0;
    RecodeToUnicode(bytes.data(), reinterpret_cast<wchar16*>(units.data()), bytes.size(),
                    bytes.size(), &read, &written);
    units.resize(written);
    return units;
}

std::u16string Std(const TUtf16String& s) {
    return std::u16string(s.data(), s.size());
}

// What a reader made of a number: its error message, or the bytes that hold the value. The
// two are kept apart, since a value's bytes may read like anything.
struct TNumber {
    bool Failed = false;
    std::string Message;
    std::string Value;

    bool operator==(const TNumber&) const = default;
};

// The bytes of T that carry its value: all of them, but for the x87 extended long double
// (64-bit significand), whose 80 bits fill its first 10 bytes and leave padding that no store
// writes. Both readers convert with the same code, so they must give the same bits; comparing
// bits rather than values also tells -0 from 0 and lets a NaN equal itself.
template <class T>
constexpr size_t ValueBytes() {
    if constexpr (std::is_floating_point_v<T> && std::numeric_limits<T>::digits == 64) {
        static_assert(std::numeric_limits<T>::max_exponent == 16384 && sizeof(T) >= 10);
        return 10;
    } else {
        static_assert(std::has_unique_object_representations_v<T> || std::is_floating_point_v<T>);
        return sizeof(T);
    }
}

template <class T>
TNumber Value(const T& v) {
    return {false, {}, std::string(reinterpret_cast<const char*>(&v), ValueBytes<T>())};
}

TNumber Error(const std::string& message) {
    return {true, message, {}};
}

template <class T>
TNumber Number(TInputStream& in) {
    T v{};
    try {
        in >> v;
    } catch (const TFromStringException& e) {
        return Error(e.what());
    }
    return Value(v);
}

template <class T>
TNumber Number(TReference& ref) {
    const std::string token = ref.Token();
    if (token.size() > MaxNumberTokenLength) {
        return Error("number token longer than 127 bytes");
    }
    T v{};
    try {
        v = FromString<T, char>(token.data(), token.size());
    } catch (const TFromStringException& e) {
        return Error(e.what());
    }
    return Value(v);
}

// Reads one item of the kind `op` chooses with both readers and compares; false when the
// stream gave nothing.
bool ReadOne(TInputStream& in, TReference& ref, uint8_t op) {
    switch (op % 10) {
        case 0:
            Check(Number<int>(in) == Number<int>(ref));
            return true;
        case 1:
            Check(Number<unsigned long long>(in) == Number<unsigned long long>(ref));
            return true;
        case 2:
            Check(Number<double>(in) == Number<double>(ref));
            return true;
        case 3:
            Check(Number<short>(in) == Number<short>(ref));
            return true;
        case 4:
            Check(Number<long double>(in) == Number<long double>(ref));
            return true;
        case 5: {
            char c = 'Q';
            in >> c;
            Check(c == (ref.Pos < ref.Text.size() ? ref.Text[ref.Pos++] : 'Q'));
            return true;
        }
        case 6: {
            Stroka w;
            in >> w;
            Check(std::string(w.data(), w.size()) == ref.Token());
            return !w.empty();
        }
        case 7: {
            TUtf16String w;
            in >> w;
            Check(Std(w) == Decode(ref.Token()));
            return !w.empty();
        }
        case 8: {
            TUtf16String line(u"unchanged");
            const bool got = ReadLine(in, line);
            std::string expected;
            Check(got == ref.Line(expected));
            Check(Std(line) == (got ? Decode(expected) : u"unchanged"));
            return got;
        }
        default:
            Check(Number<float>(in) == Number<float>(ref));
            return true;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const uint8_t ops = data[0];
    const size_t dstLen = data[1] % 32;
    data += 2;
    size -= 2;
    std::unique_ptr<char[]> copy(new char[size]);
    for (size_t i = 0; i < size; ++i)
        copy[i] = static_cast<char>(data[i]);
    const std::string text(copy.get(), size);

    {
        std::unique_ptr<wchar16[]> dst(new wchar16[dstLen]);
        size_t read = 0, written = 0;
        const int r = RecodeToUnicode(copy.get(), dst.get(), size, dstLen, &read, &written);
        if (r < 0 || r > 3 || read > size || written > dstLen)
            std::abort();
        if (r == 0 && read != size)
            std::abort();
        // A chunk and the rest decoded from where it stopped make the whole text.
        const std::u16string chunk(reinterpret_cast<const char16_t*>(dst.get()), written);
        Check(chunk + Decode(text.substr(read)) == Decode(text));
    }

    TMemoryInput in(copy.get(), size);
    TReference ref{text};
    // Every read consumes at least one byte or reaches the end, so this bound is never hit by
    // a sound reader; hitting it means a read that made no progress.
    for (size_t step = 0; step <= size + 2; ++step) {
        const uint8_t op = static_cast<uint8_t>(ops + step * 7);
        if (!ReadOne(in, ref, op) && op % 10 >= 6 && op % 10 <= 8) {
            // Nothing left for a word or line reader: the stream must be at its end.
            char c;
            if (in.Read(&c, 1) != 0 && op % 10 == 8)
                std::abort();
            return 0;
        }
    }
    return 0;
}
