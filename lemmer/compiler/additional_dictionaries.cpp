#include "lemmer/compiler/additional_dictionaries.h"

#include "lemmer/alphabet/alphabet_registry.h"
#include "lemmer/compiler/dictionary_compiler.h"
#include "lemmer/compiler/dictionary_storage.h"
#include "util/charset/codepage.h"
#include "util/charset/codepage_case.h"
#include "util/charset/language.h"
#include "util/generic/exception.h"
#include "util/stream/buffered.h"
#include "util/stream/file_stream.h"
#include "util/stream/null.h"

#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace {

// The stem blocks of a registered dictionary, freed after it.
class TCompiledDictionaryMemory : public NByk::IDictionaryMemory {
public:
    explicit TCompiledDictionaryMemory(TMemoryPool* pool) : Storage(pool) {}
    TDictionaryStorage Storage;
};

struct TLanguageCompiler {
    std::unique_ptr<TCompiledDictionaryMemory> Memory;
    TCompilerSettings Settings;
    std::unique_ptr<TDictionaryCompiler> Compiler;
};

bool IsBlank(char c) {
    return c == 9 || c == 10 || c == 11 || c == 12 || c == 13 || c == 32;
}

Stroka Trim(const Stroka& line) {
    size_t begin = 0;
    size_t end = line.size();
    while (begin < end && IsBlank(line[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(line[end - 1])) {
        --end;
    }
    return Stroka(line.data() + begin, end - begin);
}

class TSourceReader {
public:
    explicit TSourceReader(NByk::TDictionaryRegistry& registry) : Registry_(registry) {}

    void ReadArticles(TInputStream& in) {
        Stroka line;
        while (in.ReadLine(line)) {
            if (IsComment(line)) {
                continue;
            }
            const Stroka trimmed = Trim(line);
            if (trimmed.empty()) {
                continue;
            }
            if (LanguageLine(trimmed)) {
                continue;
            }
            if (Language_ < 1 || Language_ >= LANG_MAX) {
                throw kexception() << "Bad (or uknown) language for article \"" << trimmed << "\"";
            }
            Stroka article = trimmed + "\n";
            while (in.ReadLine(line)) {
                if (IsComment(line)) {
                    continue;
                }
                const Stroka next = Trim(line);
                if (next.empty()) {
                    break;
                }
                article += next;
                article += "\n";
            }
            CompilerFor().CompileEntryFromString(article);
        }
    }

    // Builds the dictionary of every language with entries and hands it to the registry.
    void Finish() {
        for (auto& [language, record] : Compilers_) {
            const int64_t entries = record.Compiler->Finish();
            if (entries <= 0) {
                continue;
            }
            std::unique_ptr<NByk::TDictionary> dictionary =
                record.Compiler->BuildDictionary(record.Memory->Storage);
            Registry_.Add(language, std::move(dictionary), std::move(record.Memory));
        }
    }

private:
    static bool IsComment(const Stroka& line) { return !line.empty() && line[0] == '#'; }

    bool LanguageLine(const Stroka& trimmed) {
        static const char kMark[] = "@language:";
        constexpr size_t kMarkLength = sizeof(kMark) - 1;
        if (trimmed.size() < kMarkLength) {
            return false;
        }
        std::vector<char> lowered(trimmed.size());
        ToLower(*CodePageByCharset(9), trimmed.data(), trimmed.data() + trimmed.size(),
                lowered.data());
        if (std::memcmp(lowered.data(), kMark, kMarkLength) != 0) {
            return false;
        }
        const Stroka name =
            Trim(Stroka(lowered.data() + kMarkLength, lowered.size() - kMarkLength));
        const ELanguage language = LanguageByNameOrMax(name.AsRange());
        if (language == LANG_MAX) {
            throw kexception() << "Unknown language \"" << name << "\"";
        }
        Language_ = language;
        return true;
    }

    TDictionaryCompiler& CompilerFor() {
        auto found = Compilers_.find(Language_);
        if (found != Compilers_.end()) {
            return *found->second.Compiler;
        }
        TLanguageCompiler& record = Compilers_[Language_];
        record.Memory = std::make_unique<TCompiledDictionaryMemory>(&Registry_.Pool());
        record.Settings.CodePage = CODES_UTF8;
        record.Settings.Normalizer = NLemmer::GetAlphabetWordNormalizer(Language_);
        record.Settings.TupleLength = 2;
        record.Compiler = std::make_unique<TDictionaryCompiler>(&record.Settings, &Messages_);
        return *record.Compiler;
    }

    NByk::TDictionaryRegistry& Registry_;
    uint32_t Language_ = 0;
    TNullOutput Messages_;
    // Ordered, so that a load builds its dictionaries in one order every time.
    std::map<uint32_t, TLanguageCompiler> Compilers_;
};

}  // namespace

std::unique_ptr<NByk::TDictionaryRegistry> ReadAdditionalDictionaries(TInputStream& in) {
    auto registry = std::make_unique<NByk::TDictionaryRegistry>();
    TSourceReader reader(*registry);
    reader.ReadArticles(in);
    reader.Finish();
    return registry;
}

std::unique_ptr<NByk::TDictionaryRegistry> ReadAdditionalDictionaries(const char* path) {
    TFileInput file{Stroka(path ? path : "")};
    TBufferedInput in(&file, 4096);
    return ReadAdditionalDictionaries(in);
}

int LoadAdditionalDictionaries(const char* path) {
    static std::mutex loading;
    const std::lock_guard<std::mutex> lock(loading);
    NByk::InstallDictionaryRegistry(ReadAdditionalDictionaries(path));
    return 0;
}
