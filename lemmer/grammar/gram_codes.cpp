// Grammar strings to names and back, sorting, intersection and conflicts.
#include "lemmer/grammar/gram_codes.h"

#include "lemmer/grammar/grammeme_table.h"
#include "util/generic/exception.h"
#include "util/string/split.h"

#include <vector>

namespace {
constexpr int CodeCount = MaxGrammemeCode - MinGrammemeCode + 1;

uint32_t CategoryOf(char code) {
    return TGrammemeTable::Instance().GetCategoryMask(static_cast<unsigned char>(code));
}

// The grammeme order: by the byte as a signed number.
bool Before(char a, char b) {
    return static_cast<signed char>(a) < static_cast<signed char>(b);
}

// Marks the codes of one grammar string; a byte outside 127 to 249 cannot be marked.
void MarkCodes(const char* grammar, bool (&flags)[CodeCount]) {
    for (const char* p = grammar; p && *p; ++p) {
        const unsigned code = static_cast<unsigned char>(*p);
        if (code < MinGrammemeCode || code > MaxGrammemeCode) {
            ThrowRangeError("bitset");
        }
        flags[code - MinGrammemeCode] = true;
    }
}
}  // namespace

Stroka GramCodesToText(const char* grammar, uint32_t filter, bool cyrillic) {
    const TGrammemeTable& table = TGrammemeTable::Instance();
    Stroka text;
    for (const char* p = grammar; p && *p; ++p) {
        const unsigned code = static_cast<unsigned char>(*p);
        if (table.GetCategoryMask(code) & filter) {
            continue;
        }
        const char* name = cyrillic ? table.GetCyrillicName(code) : table.GetLatinName(code);
        if (!*name) {
            continue;
        }
        if (!text.empty()) {
            text.append(',');
        }
        text.append(name);
    }
    return text;
}

bool GramTextToCodes(const char* text, char* buffer, int32_t capacity) {
    if (capacity < 1) {
        return false;
    }
    std::vector<Stroka> pieces;
    SplitByString(pieces, text, ",");
    const TGrammemeTable& table = TGrammemeTable::Instance();
    int32_t count = 0;
    bool fits = true;
    for (const Stroka& piece : pieces) {
        if (piece.empty()) {
            continue;
        }
        const uint32_t code = table.FindCode(piece.AsRange());
        if (code == 0) {
            continue;
        }
        if (count == capacity - 1) {
            fits = false;
            break;
        }
        buffer[count++] = static_cast<char>(code);
    }
    count = SortUniqueGrammemes(buffer, count);
    buffer[count] = 0;
    return fits;
}

int32_t SortUniqueGrammemes(char* bytes, int32_t count) {
    if (count < 2) {
        return count;
    }
    for (int32_t i = 1; i < count; ++i) {
        const char value = bytes[i];
        int32_t j = i;
        for (; j > 0 && Before(value, bytes[j - 1]); --j) {
            bytes[j] = bytes[j - 1];
        }
        bytes[j] = value;
    }
    int32_t kept = 1;
    for (int32_t i = 1; i < count; ++i) {
        if (bytes[i] != bytes[kept - 1]) {
            bytes[kept++] = bytes[i];
        }
    }
    return kept;
}

int32_t IntersectGrammars(const char* const* grammars, int32_t count, char* buffer) {
    bool common[CodeCount];
    for (bool& flag : common) {
        flag = true;
    }
    for (int32_t i = 0; i < count; ++i) {
        bool present[CodeCount] = {};
        MarkCodes(grammars[i], present);
        for (int c = 0; c < CodeCount; ++c) {
            common[c] = common[c] && present[c];
        }
    }
    int32_t written = 0;
    for (int c = 0; c < CodeCount; ++c) {
        if (common[c]) {
            buffer[written++] = static_cast<char>(c + MinGrammemeCode);
        }
    }
    buffer[written] = 0;
    return written;
}

bool GrammarsConflict(const char* a, const char* b) {
    if (!a || !b) {
        return false;
    }
    for (;;) {
        const uint32_t maskA = CategoryOf(*a);
        const uint32_t maskB = CategoryOf(*b);
        if (maskA == 0 || maskB == 0) {
            return false;
        }
        if (maskA == maskB) {
            if (*a != *b) {
                return true;
            }
        } else if (Before(*a, *b)) {
            ++a;
            continue;
        }
        ++b;
        if (!Before(*b, *a)) {
            ++a;
        }
    }
}
