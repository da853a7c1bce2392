#include "lemmer/analysis/language_registry.h"

#include "lemmer/alphabet/alphabet_registry.h"
#include "lemmer/analysis/language_objects.h"
#include "lemmer/grammar/grammar_filter.h"

#include "util/charset/language.h"

#include <algorithm>
#include <cstring>
#include <iterator>

const TRegisteredLanguages& GetRegisteredLanguages() {
    NLemmer::NPrivate::BuiltInLanguages();
    return NLemmer::NPrivate::RegisteredLanguagesSoFar();
}

const TLanguage* LanguageById(uint32_t id) {
    return id < TRegisteredLanguages::IdCount ? GetRegisteredLanguages().ById[id] : nullptr;
}

const TLanguage& LanguageOfRecord(const TAnalysisRecord& record) {
    const TLanguage* language = LanguageById(record.Language);
    return language != nullptr ? *language : *LanguageById(0);
}

int RecordParadigmKind(const TAnalysisRecord& record) {
    return LanguageOfRecord(record).SpecialParadigmKind(record);
}

std::unique_ptr<NLemmer::TGrammarFiltr> CreateRecordParadigmFiltr(const TAnalysisRecord& record) {
    return LanguageOfRecord(record).CreateParadigmFiltr(record);
}

std::unique_ptr<TWordformGenerator> CreateRecordWordformGenerator(
    const TAnalysisRecord& record, const NLemmer::TGrammarFiltr* filter) {
    return LanguageOfRecord(record).CreateWordformGenerator(record, filter);
}

const std::vector<const TLanguage*>& GetLanguageList() {
    return GetRegisteredLanguages().List;
}

TLangMask RegisteredCharLanguages(wchar16 unit) {
    return NLemmer::GetCharLanguageValue(unit) & GetRegisteredLanguages().Mask;
}

TLangMask RegisteredWordLanguages(const wchar16* word, size_t length, bool skipDigits) {
    return NLemmer::GetWordLanguageMask(word, length, skipDigits) & GetRegisteredLanguages().Mask;
}

const TLanguage* LanguageObjectByName(const char* name) {
    const size_t n = name != nullptr ? std::strlen(name) : 0;
    return LanguageById(static_cast<uint32_t>(LanguageByName(TCharRange(name, n))));
}

TLangMask ParseLanguageList(const char* text, const char* delimiters) {
    TLangMask mask;
    if (text == nullptr) {
        return mask;
    }
    const char* p = text;
    while (*p != 0) {
        const size_t field = std::strcspn(p, delimiters);
        if (field != 0) {
            const Stroka name(p, field);
            const TLanguage* l = LanguageObjectByName(name.c_str());
            if (l != nullptr && l->Id() >= 1 && l->Id() <= 57) {
                mask.SafeSet(static_cast<int>(l->Id()));
            }
        }
        p += field;
        if (*p != 0) {
            ++p;
        }
    }
    return mask;
}

void WarmUpLanguages(TLangMask mask) {
    wchar16 latin[22];
    wchar16 cyrillic[22];
    std::fill(std::begin(latin), std::end(latin), wchar16('a'));
    std::fill(std::begin(cyrillic), std::end(cyrillic), wchar16(0x430));
    static constexpr size_t LENGTHS[] = {1, 2, 3, 16};
    const TRecognizeOptions options = MakeRecognizeOptions(3, "", true);
    TAnalysisVector scratch;
    for (const TLanguage* l : GetLanguageList()) {
        if (l->Id() < 1 || l->Id() > 57 || !mask.SafeTest(static_cast<int>(l->Id()))) {
            continue;
        }
        for (size_t n : LENGTHS) {
            l->ClearAndRecognize(latin, n, scratch, options);
        }
        for (size_t n : LENGTHS) {
            l->ClearAndRecognize(cyrillic, n, scratch, options);
        }
        for (size_t n : LENGTHS) {
            l->ClearAndRecognizeFromLatin(latin, n, scratch, 2, "");
        }
        for (size_t n : LENGTHS) {
            l->ClearAndRecognizeToLatin(cyrillic, n, scratch, 2, "");
        }
    }
}

size_t GenerateWordforms(const TAnalysisRecord& record, const char* clue,
                         std::vector<TGeneratedForm>& out) {
    const TLanguage& language = LanguageOfRecord(record);
    std::unique_ptr<TWordformGenerator> generator;
    {
        const std::unique_ptr<NLemmer::TGrammarFiltr> filter =
            language.CreateGrammarFiltr(clue != nullptr ? clue : "");
        generator = language.CreateWordformGenerator(record, filter.get());
    }
    size_t count = 0;
    TGeneratedForm form;
    while (generator->Next(form)) {
        out.push_back(form);
        ++count;
    }
    return count;
}
