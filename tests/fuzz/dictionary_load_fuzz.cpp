// Arbitrary bytes read as a binary dictionary: the loader raises TLoadEOF or NByk::TLoadError,
// or gives a dictionary that passes every check, writes back as long as what it read (and then
// byte for byte again), and answers look-ups without reading outside its tables (the
// sanitizers watch), within the matcher's limits, and as the plain scans of
// rule_matcher_oracle.h do: the same splits, candidates and dictionary results, and hypotheses
// only from rules allowed for them.
//
// The seed corpus is the written fixture dictionaries:
//     dictionary_load_fuzz --write-seeds=tests/fuzz/corpus/dictionary_load
// (libFuzzer leaves arguments that begin with "--" to the target). The alphabet alone takes
// 66312 bytes, so run with -max_len=200000.
#include "lemmer/dictionary/dictionary_check.h"
#include "lemmer/dictionary/dictionary_loader.h"
#include "lemmer/dictionary/dictionary_test_helpers.h"
#include "lemmer/dictionary/dictionary_writer.h"
#include "lemmer/dictionary/rule_matcher.h"
#include "lemmer/dictionary/rule_matcher_oracle.h"
#include "util/stream/file_stream.h"
#include "util/stream/load.h"
#include "util/stream/memory.h"
#include "util/stream/string_stream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace NByk;

std::string Write(const TDictionary& d) {
    Stroka bytes;
    TStringOutput out(bytes);
    WriteDictionary(d, out);
    return std::string(bytes.data(), bytes.size());
}

void WriteSeeds(const std::string& dir) {
    NTest::TFixture sample;
    NTest::FillSample(sample);
    NTest::TFixture small;
    NTest::FillSmall(small);
    const std::pair<const char*, std::string> seeds[] = {
        {"sample", Write(sample.Build())},
        {"small", Write(small.Build())},
        {"empty", Write(TDictionary())},
    };
    for (const auto& [name, bytes] : seeds) {
        TFileOutput out(Stroka((dir + "/" + name).c_str()));
        out.Write(bytes.data(), bytes.size());
        out.Finish();
    }
}

void Require(bool condition) {
    if (!condition) {
        abort();
    }
}

void CheckResults(const TDictionary& d, const TMatchState& s, uint32_t length) {
    Require(s.CandidateCount <= MaxMatchCandidates && s.ResultCount <= MaxMatchResults);
    Require(s.SplitCount <= MaxMatchSplits);
    for (uint32_t i = 0; i < s.CandidateCount; ++i) {
        const TMatchCandidate& c = s.Candidates[i];
        Require(c.StemStart <= c.StemEnd && c.StemEnd <= length);
        Require(c.Depth + c.Unmatched == c.StemEnd - c.StemStart);
    }
    for (uint64_t i = 0; i < s.ResultCount; ++i) {
        const TMatchResult& r = s.Results[i];
        Require(r.CandidateIndex < s.CandidateCount && r.RuleId < d.RuleCount);
        const TRuleRecord& rule = d.Rules[r.RuleId];
        Require(r.LemmaEndingBegin >= rule.Data && r.LemmaEndingEnd >= r.LemmaEndingBegin &&
                r.LemmaEndingEnd <= rule.Data + rule.Length);
        std::vector<wchar16> ending(r.LemmaEndingLength() + 1);
        CopyLemmaEnding(r, ending.data());
        Require(std::strlen(r.CommonGrammar) < rule.Length);
        uint32_t count = 0;
        const uint16_t* ids = ResultEndingIds(d, r, &count);
        Require(count > 0 && r.RunStart + count <= d.EndingLists[r.EndingListIndex].Count);
        for (uint32_t k = 0; k < count; ++k) {
            Require(ids[k] < d.EndingCount);
        }
    }
}

void Lookup(const TDictionary& d, TMatchState& s, const std::u16string& word) {
    const std::string filters[] = {
        "", std::string(TextOrEmpty(d.EndingCount ? d.Endings[0].FormGrammar : nullptr))};
    for (uint32_t mode = 0; mode < 8; ++mode) {
        for (const std::string& filter : filters) {
            s.Word = word.data();
            s.Length = static_cast<int32_t>(word.size());
            MatchRules(d, s);
            const uint32_t verdict = EvaluateCandidates(d, s, mode, filter.c_str());
            Require(verdict <= MV_DICTIONARY);
            CheckResults(d, s, static_cast<uint32_t>(word.size()));
            Require(NOracle::Disagreement(d, s, mode, filter.c_str(), verdict).empty());
        }
    }
}

// Words made of the dictionary's own letters (so that look-ups go deep), chosen by the bytes
// after the dictionary, and the sample's words.
std::vector<std::u16string> Words(const TDictionary& d, const uint8_t* rest, size_t size) {
    std::vector<std::u16string> words = {u"столу",       u"пальцу", u"перемосту",
                                         u"супер-столу", u"бзукау", std::u16string(50, u'а')};
    const TAlphabetTupleCodec& a = *d.Alphabet;
    std::u16string word;
    for (size_t i = 0; i < size && words.size() < 16; ++i) {
        if (rest[i] == 0xFF || word.size() == 60) {
            words.push_back(word);
            word.clear();
        } else if (a.LetterCount > 1) {
            word.push_back(a.Letters[1 + rest[i] % (a.LetterCount - 1)]);
        }
    }
    words.push_back(word);
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    const std::string flag = "--write-seeds=";
    for (int i = 1; i < *argc; ++i) {
        if (std::strncmp((*argv)[i], flag.c_str(), flag.size()) == 0) {
            WriteSeeds((*argv)[i] + flag.size());
            exit(0);
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TMemoryPool pool(65536);
    TDictionary d;
    TMemoryInput in(data, size);
    try {
        LoadDictionary(d, in, pool);
    } catch (const TLoadEOF&) {
        return 0;
    } catch (const TLoadError&) {
        return 0;
    }
    try {
        CheckDictionary(d);
    } catch (const TLoadError&) {
        abort();  // a dictionary that loads passes every check
    }
    const size_t used = size - in.Avail();
    const std::string written = Write(d);
    Require(written.size() == used);  // markers other than '1' are written as '0'
    {
        TMemoryPool again(65536);
        TDictionary reloaded;
        TMemoryInput reread(written.data(), written.size());
        LoadDictionary(reloaded, reread, again);
        Require(Write(reloaded) == written);
    }
    static auto state = std::make_unique<TMatchState>();
    for (const std::u16string& word : Words(d, data + used, size - used)) {
        Lookup(d, *state, word);
    }
    return 0;
}
