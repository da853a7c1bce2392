// The language table and its name map.
#include "util/charset/language.h"

#include "util/charset/charset_names.h"
#include "util/charset/codepage.h"
#include "util/system/singleton.h"

#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

struct TLanguageRow {
    int Id;
    uint32_t Script;  // EScript
    const char* FullName;
    const char* Code;      // three letters (or a longer made-up code)
    const char* IsoName;   // ISO 639-1
    const char* Synonyms;  // words separated by blanks, commas or semicolons
};

const TLanguageRow LANGUAGE_ROWS[] = {
    {0, 33, "Unknown", "unk", "mis", nullptr},
    {1, 2, "Russian", "rus", "ru", "ru-RU"},
    {2, 1, "English", "eng", "en", "en-US, en-GB, en-CA, en-NZ, en-AU"},
    {3, 1, "Polish", "pol", "pl", nullptr},
    {4, 1, "Hungarian", "hun", "hu", nullptr},
    {5, 2, "Ukrainian", "ukr", "uk", "uk-UA"},
    {6, 1, "German", "ger", "de", "deu"},
    {7, 1, "French", "fre", "fr", "fra, fr-FR, fr-CA"},
    {8, 2, "Tatar", "tat", "tt", nullptr},
    {9, 2, "Belarusian", "blr", "be", "Belorussian"},
    {10, 2, "Kazakh", "kaz", "kk", nullptr},
    {11, 1, "Albanian", "alb", "sq", nullptr},
    {12, 1, "Spanish", "spa", "es", nullptr},
    {13, 1, "Italian", "ita", "it", nullptr},
    {14, 6, "Armenian", "arm", "hy", "hye"},
    {15, 1, "Danish", "dan", "da", nullptr},
    {16, 1, "Portuguese", "por", "pt", nullptr},
    {17, 33, nullptr, "u17", nullptr, nullptr},
    {18, 1, "Slovak", "slo", "sk", "slk"},
    {19, 1, "Slovene", "slv", "sl", nullptr},
    {20, 1, "Dutch", "dut", "nl", "nld"},
    {21, 2, "Bulgarian", "bul", "bg", nullptr},
    {22, 1, "Catalan", "cat", "ca", nullptr},
    {23, 1, "Croatian", "hrv", "hr", "scr"},
    {24, 1, "Czech", "cze", "cs", "ces"},
    {25, 3, "Greek", "gre", "el", "ell"},
    {26, 5, "Hebrew", "heb", "he", nullptr},
    {27, 1, "Norwegian", "nor", "no", nullptr},
    {28, 2, "Macedonian", "mac", "mk", nullptr},
    {29, 1, "Swedish", "swe", "sv", nullptr},
    {30, 11, "Korean", "kor", "ko", nullptr},
    {31, 1, "Latin", "lat", "la", nullptr},
    {32, 2, "Basic Russian", "basic-rus", "bas-ru", nullptr},
    {33, 33, nullptr, "u33", nullptr, nullptr},
    {34, 33, nullptr, "u34", nullptr, nullptr},
    {35, 33, "Empty", "empty", nullptr, nullptr},
    {36, 1, "Unknown Latin", "unklat", nullptr, nullptr},
    {37, 2, "Unknown Cyrillic", "unkcyr", nullptr, nullptr},
    {38, 33, "Unknown Alpha", "unkalpha", nullptr, nullptr},
    {39, 1, "Finnish", "fin", "fi", nullptr},
    {40, 1, "Estonian", "est", "et", nullptr},
    {41, 1, "Latvian", "lav", "lv", nullptr},
    {42, 1, "Lithuanian", "lit", "lt", nullptr},
    {43, 2, "Bashkir", "bak", "ba", nullptr},
    {44, 1, "Turkish", "tur", "tr", nullptr},
    {45, 1, "Romanian", "rum", "ro", "ron"},
    {46, 2, "Mongolian", "mon", "mn", nullptr},
    {47, 2, "Uzbek", "uzb", "uz", nullptr},
    {48, 2, "Kirghiz", "kir", "ky", nullptr},
    {49, 2, "Tajik", "tgk", "tg", nullptr},
    {50, 1, "Turkmen", "tuk", "tk", nullptr},
    {51, 2, "Serbian", "srp", "sr", nullptr},
    {52, 1, "Azerbaijani", "aze", "az", nullptr},
    {53, 1, "Basic English", "basic-eng", "bas-en", nullptr},
    {54, 7, "Georgian", "geo", "ka", "kat"},
    {55, 4, "Arabic", "ara", "ar", nullptr},
    {56, 4, "Persian", "per", "fa", "fas"},
    {57, 2, "Church Slavonic", "chu", "cu", nullptr},
};
static_assert(sizeof(LANGUAGE_ROWS) / sizeof(LANGUAGE_ROWS[0]) == LANG_MAX);

const char EMPTY_TEXT[] = "";

// Names hashed and compared under the lower-case table of code page 9.
struct TNameHash {
    size_t operator()(const std::string& s) const {
        return CodePageHash(CodePageRegistry::Instance()[CODES_KORVEL], s.data(), s.size());
    }
};

struct TNameEqual {
    bool operator()(const std::string& a, const std::string& b) const {
        if (a.size() != b.size()) {
            return false;
        }
        const uint8_t* lower = CodePageLowerTable(CODES_KORVEL);
        for (size_t i = 0; i < a.size(); ++i) {
            if (lower[static_cast<uint8_t>(a[i])] != lower[static_cast<uint8_t>(b[i])]) {
                return false;
            }
        }
        return true;
    }
};

// Built once; read-only afterwards.
class TLanguageTable {
public:
    TLanguageTable()
        : Codes_(LANG_MAX, EMPTY_TEXT),
          IsoNames_(LANG_MAX, EMPTY_TEXT),
          FullNames_(LANG_MAX, EMPTY_TEXT),
          Scripts_(LANG_MAX, SCRIPT_OTHER) {
        for (const TLanguageRow& row : LANGUAGE_ROWS) {
            if (Scripts_[row.Id] == SCRIPT_OTHER) {
                Scripts_[row.Id] = static_cast<EScript>(row.Script);
            }
            AddName(row.Code, row.Id, &Codes_);
            AddName(row.IsoName, row.Id, &IsoNames_);
            AddName(row.FullName, row.Id, &FullNames_);
            AddSynonyms(row.Synonyms, row.Id);
        }
    }

    // LANG_MAX when the name is not known.
    ELanguage Find(const TCharRange& name) const {
        if (name.empty()) {
            return LANG_MAX;
        }
        const auto it = Names_.find(std::string(name.Data, name.Length));
        return it == Names_.end() ? LANG_MAX : it->second;
    }

    const char* FullName(int id) const { return Get(FullNames_, id); }
    const char* Code(int id) const { return Get(Codes_, id); }
    const char* IsoName(int id) const { return Get(IsoNames_, id); }
    EScript Script(int id) const { return InRange(id) ? Scripts_[id] : SCRIPT_OTHER; }

private:
    static bool InRange(int id) { return id >= 0 && id < LANG_MAX; }
    static const char* Get(const std::vector<const char*>& v, int id) {
        return InRange(id) ? v[id] : nullptr;
    }

    void AddName(const char* text, int id, std::vector<const char*>* column) {
        if (text == nullptr || *text == 0) {
            return;
        }
        (*column)[id] = text;
        Names_.emplace(text, static_cast<ELanguage>(id));  // the first id of a name stays
    }

    void AddSynonyms(const char* text, int id) {
        if (text == nullptr) {
            return;
        }
        const char* const separators = " ,;";
        while (*text) {
            text += std::strspn(text, separators);
            const size_t n = std::strcspn(text, separators);
            if (n != 0) {
                Names_.emplace(std::string(text, n), static_cast<ELanguage>(id));
            }
            text += n;
        }
    }

    std::vector<const char*> Codes_;
    std::vector<const char*> IsoNames_;
    std::vector<const char*> FullNames_;
    std::vector<EScript> Scripts_;
    std::unordered_map<std::string, ELanguage, TNameHash, TNameEqual> Names_;
};

const TLanguageTable& Table() {
    return *Singleton<TLanguageTable>();
}

}  // namespace

ELanguage LanguageByName(const TCharRange& name) {
    const ELanguage id = Table().Find(name);
    return id == LANG_MAX ? LANG_UNK : id;
}

ELanguage LanguageByNameOrMax(const TCharRange& name) {
    return Table().Find(name);
}

const char* FullNameByLanguage(int language) {
    return Table().FullName(language);
}

const char* CodeByLanguage(int language) {
    return Table().Code(language);
}

const char* NameByLanguage(int language) {
    return Table().IsoName(language);
}

EScript ScriptByLanguage(int language) {
    return Table().Script(language);
}
