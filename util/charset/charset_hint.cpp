// The lenient charset-name resolver.
#include "util/charset/charset_hint.h"

#include "util/charset/charset_names.h"
#include "util/generic/string.h"

#include <strings.h>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

namespace {

bool IsAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool InSet(std::string_view word, std::initializer_list<std::string_view> set) {
    for (std::string_view member : set) {
        if (member == word) {
            return true;
        }
    }
    return false;
}

const char* LatinName(std::string_view key) {
    static const struct {
        std::string_view Key;
        const char* Name;
    } LATIN[] = {
        {"latin1", "iso-8859-1"},   {"latin2", "iso-8859-2"},  {"latin3", "iso-8859-3"},
        {"latin4", "iso-8859-4"},   {"latin5", "iso-8859-9"},  {"latin6", "iso-8859-10"},
        {"latin7", "iso-8859-13"},  {"latin8", "iso-8859-14"}, {"latin9", "iso-8859-15"},
        {"latin10", "iso-8859-16"},
    };
    for (const auto& entry : LATIN) {
        if (entry.Key == key) {  // the key is already lower-cased
            return entry.Name;
        }
    }
    return nullptr;
}

// Encodings common in documents that the code-page table does not hold.
bool Unsupported(std::string_view name) {
    return InSet(name,
                 {"iso-8859-1",   "iso-8859-2",   "iso-8859-3",   "iso-8859-4",   "iso-8859-5",
                  "iso-8859-6",   "iso-8859-7",   "iso-8859-8",   "iso-8859-8-i", "iso-8859-9",
                  "iso-8859-10",  "iso-8859-11",  "iso-8859-12",  "iso-8859-13",  "iso-8859-14",
                  "iso-8859-15",  "windows-1250", "windows-1251", "windows-1252", "windows-1253",
                  "windows-1254", "windows-1255", "windows-1256", "windows-1257", "windows-1258",
                  "windows-874",  "iso-2022-jp",  "euc-jp",       "shift-jis",    "shiftjis",
                  "iso-2022-kr",  "euc-kr",       "gb-2312",      "gb2312",       "gb-18030",
                  "gb18030",      "gbk",          "big5",         "tis-620",      "tis620"});
}

// The cleaned hint: surrounding punctuation dropped, lower-cased under code 9, and blanks,
// '=' and '_' turned into '-'.
std::string Clean(const char* hint) {
    if (strncasecmp(hint, "charset=", 8) == 0) {
        hint += 8;
    }
    const char* begin = hint;
    while (*begin && !IsAlnum(*begin)) {
        ++begin;
    }
    const char* end = begin + std::strlen(begin);
    while (end > begin && !IsAlnum(end[-1])) {
        --end;
    }
    const uint8_t* lower = CodePageLowerTable(CODES_KORVEL);
    std::string s;
    for (const char* p = begin; p < end; ++p) {
        char c = static_cast<char>(lower[static_cast<uint8_t>(*p)]);
        s.push_back(c == '=' || c == ' ' || c == '_' ? '-' : c);
    }
    return s;
}

// Rewrites "<family word><number>" into the table's spelling of that family.
std::string Normalize(const std::string& s) {
    const size_t p = s.find_first_of("0123456789");
    if (p == std::string::npos) {
        return s;
    }
    const std::string_view head(s.data(), p);
    const std::string_view word = head.substr(0, head.find('-'));
    const std::string number = s.substr(p);
    if (InSet(word,
              {"win", "wincp", "window", "windowcp", "windows", "windowscp", "ansi", "ansicp"})) {
        return "windows-" + number;
    }
    if (InSet(word, {"microsoft", "microsoftcp", "cp"})) {
        const bool windows =
            number.compare(0, 3, "125") == 0 && number.size() > 3 && IsDigit(number[3]);
        return (windows ? "windows-" : "cp") + number;
    }
    if (InSet(word, {"iso", "isolatin", "latin"})) {
        if (number.size() <= 2) {
            if (const char* name = LatinName("latin" + number)) {
                return name;
            }
        } else if (number.size() > 5 && number[0] == '8') {
            return "iso-" + number;
        }
    }
    return s;
}

}  // namespace

ECharset GuessCharsetByHint(const char* hint) {
    if (!hint) {
        return CODES_UNKNOWN;
    }
    const std::string cleaned = Clean(hint);
    if (cleaned.empty()) {
        return CODES_UNKNOWN;
    }
    const std::string name = Normalize(cleaned);
    const ECharset code = CharsetByName(name.c_str());
    if (code == CODES_UNKNOWN && Unsupported(name)) {
        return CODES_UNSUPPORTED;
    }
    return code;
}
