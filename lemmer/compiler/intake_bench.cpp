// Throughput and memory of the compiler's intake (and of the whole compile): a source shaped like
// the Russian dictionary (200,000 entries, about 5 million wordforms: nouns, adjectives and verbs
// with their real endings and grammar, some nouns with two stems) is written to a temporary file,
// then read, checked, added to the global tables and finalised. Reports entries/s, wordforms/s and
// the process's peak resident size. LEMMIX_INTAKE_SOURCE names a real UTF-8 source to use instead.
#include "lemmer/alphabet/alphabet_registry.h"
#include "lemmer/compiler/dictionary_compiler.h"
#include "lemmer/dictionary/dictionary.h"
#include "lemmer/dictionary/dictionary_writer.h"

#include "util/stream/buffer_stream.h"
#include "util/stream/buffered.h"
#include "util/stream/file_stream.h"
#include "util/stream/null.h"
#include "util/stream/std_stream.h"
#include "util/system/rusage.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct TForm {
    const char* Ending;
    const char* Grammar;
};

const TForm Masculine[] = {
    {"", "nom,sg"},   {"а", "gen,sg"}, {"у", "dat,sg"},   {"", "acc,sg"},
    {"ом", "ins,sg"}, {"е", "abl,sg"}, {"ы", "nom,pl"},   {"ов", "gen,pl"},
    {"ам", "dat,pl"}, {"ы", "acc,pl"}, {"ами", "ins,pl"}, {"ах", "abl,pl"},
};
const TForm Feminine[] = {
    {"а", "nom,sg"},   {"ы", "gen,sg"},  {"е", "dat,sg"},  {"у", "acc,sg"},  {"ой", "ins,sg"},
    {"е", "abl,sg"},   {"ы", "nom,pl"},  {"", "gen,pl"},   {"ам", "dat,pl"}, {"", "acc,pl"},
    {"ами", "ins,pl"}, {"ах", "abl,pl"}, {"ою", "ins,sg"},
};
// Full adjective endings: case, number and gender, with animacy in the accusative.
const TForm FullForms[] = {
    {"ый", "nom,sg,m"},      {"ого", "gen,sg,m"}, {"ому", "dat,sg,m"},   {"ого", "acc,sg,m,anim"},
    {"ый", "acc,sg,m,inan"}, {"ым", "ins,sg,m"},  {"ом", "abl,sg,m"},    {"ая", "nom,sg,f"},
    {"ой", "gen,sg,f"},      {"ой", "dat,sg,f"},  {"ую", "acc,sg,f"},    {"ой", "ins,sg,f"},
    {"ой", "abl,sg,f"},      {"ое", "nom,sg,n"},  {"ого", "gen,sg,n"},   {"ому", "dat,sg,n"},
    {"ое", "acc,sg,n"},      {"ым", "ins,sg,n"},  {"ом", "abl,sg,n"},    {"ые", "nom,pl"},
    {"ых", "gen,pl"},        {"ым", "dat,pl"},    {"ых", "acc,pl,anim"}, {"ые", "acc,pl,inan"},
    {"ыми", "ins,pl"},       {"ых", "abl,pl"},
};
const TForm SoftFullForms[] = {
    {"ий", "nom,sg,m"},      {"его", "gen,sg,m"}, {"ему", "dat,sg,m"},   {"его", "acc,sg,m,anim"},
    {"ий", "acc,sg,m,inan"}, {"им", "ins,sg,m"},  {"ем", "abl,sg,m"},    {"ая", "nom,sg,f"},
    {"ей", "gen,sg,f"},      {"ей", "dat,sg,f"},  {"ую", "acc,sg,f"},    {"ей", "ins,sg,f"},
    {"ей", "abl,sg,f"},      {"ее", "nom,sg,n"},  {"его", "gen,sg,n"},   {"ему", "dat,sg,n"},
    {"ее", "acc,sg,n"},      {"им", "ins,sg,n"},  {"ем", "abl,sg,n"},    {"ие", "nom,pl"},
    {"их", "gen,pl"},        {"им", "dat,pl"},    {"их", "acc,pl,anim"}, {"ие", "acc,pl,inan"},
    {"ими", "ins,pl"},       {"их", "abl,pl"},
};
const TForm VerbForms[] = {
    {"ть", "inf"},
    {"ю", "inpraes,sg,indic,1p"},
    {"ешь", "inpraes,sg,indic,2p"},
    {"ет", "inpraes,sg,indic,3p"},
    {"ем", "inpraes,pl,indic,1p"},
    {"ете", "inpraes,pl,indic,2p"},
    {"ют", "inpraes,pl,indic,3p"},
    {"л", "praet,sg,indic,m"},
    {"ла", "praet,sg,indic,f"},
    {"ло", "praet,sg,indic,n"},
    {"ли", "praet,pl,indic"},
    {"й", "sg,imper,2p"},
    {"йте", "pl,imper,2p"},
    {"я", "praes,ger"},
    {"в", "praet,ger"},
};

const char* const Consonants[] = {"б", "в", "г", "д", "ж", "з", "к", "л", "м", "н",
                                  "п", "р", "с", "т", "ф", "х", "ц", "ч", "ш", "щ"};
const char* const Vowels[] = {"а", "е", "и", "о", "у", "ы", "я", "ю"};

class TSourceWriter {
public:
    explicit TSourceWriter(std::ostream& out) : Out_(out) {}

    std::string Stem(std::mt19937& random) {
        std::string stem;
        const size_t syllables = 1 + random() % 3;
        for (size_t i = 0; i < syllables; ++i) {
            stem += Consonants[random() % 20];
            stem += Vowels[random() % 8];
        }
        return stem + Consonants[random() % 20];
    }

    template <size_t N>
    void Forms(const std::string& stem, const TForm (&forms)[N], const std::string& common,
               const std::string& infix = "") {
        for (const TForm& f : forms) {
            Out_ << "[" << stem << "]" << infix << f.Ending << "\t" << common << "=" << f.Grammar
                 << "\n";
            ++Wordforms;
        }
    }

    void Noun(std::mt19937& random) {
        const std::string stem = Stem(random);
        const char* animacy = random() % 4 ? "inan" : "anim";
        if (random() % 10 == 0) {  // a fleeting vowel: палец, пальца
            const std::string common = std::string("S,m,") + animacy;
            Out_ << stem << "ец\n";
            Out_ << "[" << stem << "ец]\t" << common << "=nom,sg\n";
            Out_ << "[" << stem << "ец]\t" << common << "=acc,sg\n";
            Wordforms += 2;
            for (const TForm& f : Masculine) {
                if (*f.Ending) {  // the oblique forms lose the vowel
                    Out_ << "[" << stem << "ц]" << f.Ending << "\t" << common << "=" << f.Grammar
                         << "\n";
                    ++Wordforms;
                }
            }
        } else if (random() % 2) {
            Out_ << stem << "\n";
            Forms(stem, Masculine, std::string("S,m,") + animacy);
        } else {
            Out_ << stem << "а\n";
            Forms(stem, Feminine, std::string("S,f,") + animacy);
        }
        Out_ << "\n";
    }

    void Adjective(std::mt19937& random) {
        const std::string stem = Stem(random);
        Out_ << stem << "ый\n";
        for (const TForm& f : FullForms) {
            Out_ << "[" << stem << "]" << f.Ending << "\tA=" << f.Grammar << ",plen\n";
            ++Wordforms;
        }
        Out_ << "[" << stem << "]а\tA=sg,brev,f\n[" << stem << "]о\tA=sg,brev,n\n[" << stem
             << "]ы\tA=pl,brev\n[" << stem << "]ее\tA=comp\n\n";
        Wordforms += 4;
    }

    void Verb(std::mt19937& random) {
        const std::string stem = Stem(random) + "а";
        const std::string common = random() % 2 ? "V,ipf,tran" : "V,ipf,intr";
        Out_ << stem << "ть\n";
        Forms(stem, VerbForms, common);
        for (const auto& [infix, tense] : {std::pair{"ющ", "praes"}, std::pair{"вш", "praet"}}) {
            for (const TForm& f : SoftFullForms) {
                Out_ << "[" << stem << "]" << infix << f.Ending << "\t" << common << "=" << tense
                     << "," << f.Grammar << ",partcp,plen,act\n";
                ++Wordforms;
            }
        }
        Out_ << "\n";
    }

    uint64_t Wordforms = 0;

private:
    std::ostream& Out_;
};

// Writes the generated source; returns its number of wordforms.
uint64_t WriteSource(const std::string& path, size_t entries) {
    std::ofstream file(path, std::ios::binary);
    TSourceWriter writer(file);
    std::mt19937 random(2026);
    for (size_t i = 0; i < entries; ++i) {
        const uint32_t kind = random() % 100;
        if (kind < 62) {
            writer.Noun(random);
        } else if (kind < 82) {
            writer.Adjective(random);
        } else {
            writer.Verb(random);
        }
    }
    return writer.Wordforms;
}

void BM_CompilerIntake(benchmark::State& state) {
    std::string path;
    std::string generated;
    uint64_t wordforms = 0;
    if (const char* real = std::getenv("LEMMIX_INTAKE_SOURCE")) {
        path = real;
    } else {
        generated = (std::filesystem::temp_directory_path() /
                     ("lemmix-intake-" + std::to_string(std::random_device()()) + ".dict"))
                        .string();
        path = generated;
        wordforms = WriteSource(path, 200000);
    }
    TCompilerSettings settings;
    settings.CodePage = CODES_UTF8;
    settings.TupleLength = 2;
    settings.Normalizer = NLemmer::GetAlphabetWordNormalizer(1);
    uint64_t entries = 0;
    uint64_t forms = 0;
    for (auto _ : state) {
        TDictionaryCompiler compiler(
            &settings, std::getenv("LEMMIX_INTAKE_REPORT") ? &StdErrStream() : &NullStream());
        TFileInput file(path.c_str());
        TBufferedInput in(&file, 1 << 16);
        entries = static_cast<uint64_t>(compiler.CompileStream(in));
        forms = 0;
        for (uint64_t id = 0; id < compiler.Tables().Affixes().Size(); ++id) {
            forms += compiler.Tables().Affixes().Count(id);
        }
        state.counters["rejected"] = static_cast<double>(compiler.EntriesRejected());
        state.counters["affixes"] = static_cast<double>(compiler.Tables().Affixes().Size());
        state.counters["rules"] = static_cast<double>(compiler.Tables().Rules().Size());
        state.counters["stems"] = static_cast<double>(compiler.Tables().Stems().Size());
    }
    if (wordforms != 0 && forms != wordforms) {
        const std::string error = "only " + std::to_string(forms) + " of " +
                                  std::to_string(wordforms) +
                                  " generated wordforms reached the tables";
        state.SkipWithError(error.c_str());
    }
    if (!generated.empty()) {
        std::filesystem::remove(generated);
    }
    TRusage usage;
    usage.Fill();
    state.counters["entries/s"] = benchmark::Counter(static_cast<double>(entries),
                                                     benchmark::Counter::kIsIterationInvariantRate);
    state.counters["wordforms/s"] = benchmark::Counter(
        static_cast<double>(forms), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["wordforms"] = static_cast<double>(forms);
    state.counters["peak_rss_MiB"] = static_cast<double>(usage.MaxRss) / (1 << 20);
}
BENCHMARK(BM_CompilerIntake)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The whole compile of the same source: intake, renumbering, trees, stem blocks and the
// written binary dictionary (in memory).
void BM_WholeCompile(benchmark::State& state) {
    std::string path;
    std::string generated;
    if (const char* real = std::getenv("LEMMIX_INTAKE_SOURCE")) {
        path = real;
    } else {
        generated = (std::filesystem::temp_directory_path() /
                     ("lemmix-whole-" + std::to_string(std::random_device()()) + ".dict"))
                        .string();
        path = generated;
        WriteSource(path, 200000);
    }
    TCompilerSettings settings;
    settings.CodePage = CODES_UTF8;
    settings.TupleLength = 2;
    settings.Normalizer = NLemmer::GetAlphabetWordNormalizer(1);
    for (auto _ : state) {
        TDictionaryCompiler compiler(&settings, &NullStream());
        TFileInput file(path.c_str());
        TBufferedInput in(&file, 1 << 16);
        if (compiler.CompileStream(in) <= 0) {
            state.SkipWithError("nothing compiled");
            break;
        }
        TMemoryPool pool(1 << 20);
        TDictionaryStorage storage(&pool);
        const std::unique_ptr<NByk::TDictionary> dictionary = compiler.BuildDictionary(storage);
        TBufferOutput out;
        NByk::WriteDictionary(*dictionary, out);
        uint64_t blocks = 0;
        for (uint64_t i = 0; i < dictionary->StemSlotCount; ++i) {
            blocks += dictionary->StemBlocks[i] != nullptr;
        }
        state.counters["rejected"] = static_cast<double>(compiler.EntriesRejected());
        state.counters["stems"] = static_cast<double>(compiler.Tables().Stems().Size());
        state.counters["stem_blocks"] = static_cast<double>(blocks);
        state.counters["output_bytes"] = static_cast<double>(out.Range().size());
    }
    if (!generated.empty()) {
        std::filesystem::remove(generated);
    }
    TRusage usage;
    usage.Fill();
    state.counters["peak_rss_MiB"] = static_cast<double>(usage.MaxRss) / (1 << 20);
}
BENCHMARK(BM_WholeCompile)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
