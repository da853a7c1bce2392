#include "lemmer/dictionary/dictionary_registry.h"
#include "lemmer/dictionary/dictionary_test_helpers.h"
#include "lemmer/dictionary/dictionary_writer.h"
#include "lemmer/dictionary/rule_matcher.h"
#include "util/stream/load.h"
#include "util/stream/memory.h"
#include "util/stream/string_stream.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace NDictionaryRegistryTest {
using namespace NByk;
using namespace NByk::NTest;

namespace {

std::string SampleBytes() {
    TFixture f;
    FillSample(f);
    Stroka bytes;
    TStringOutput out(bytes);
    WriteDictionary(f.Build(), out);
    return std::string(bytes.data(), bytes.size());
}

std::unique_ptr<TDictionaryRegistry> RegistryWith(const std::string& bytes,
                                                  std::initializer_list<uint32_t> languages) {
    auto registry = std::make_unique<TDictionaryRegistry>();
    for (uint32_t language : languages) {
        TMemoryInput in(bytes.data(), bytes.size());
        registry->Load(language, in);
    }
    return registry;
}

// The first result's rule for a word, or -1.
int FirstRule(const TDictionary& d, const std::u16string& word, TMatchState& state) {
    state.Word = word.data();
    state.Length = static_cast<int32_t>(word.size());
    MatchRules(d, state);
    if (EvaluateCandidates(d, state, MM_DICTIONARY, nullptr) != MV_DICTIONARY) {
        return -1;
    }
    return static_cast<int>(state.Results[0].RuleId);
}

TEST(DictionaryRegistry, NothingInstalledFindsNothing) {
    EXPECT_EQ(GetDictionaryRegistry(), nullptr);
    for (uint32_t language : {0u, 1u, 2u, 32u, 53u, 57u, 0xFFFFFFFFu}) {
        EXPECT_EQ(TDictionaryRegistry::Find(GetDictionaryRegistry(), language), nullptr);
    }
    const TDictionaryRegistry empty;
    EXPECT_EQ(TDictionaryRegistry::Find(&empty, 1), nullptr);
}

TEST(DictionaryRegistry, FindsEveryRegisteredLanguageAndNoOther) {
    const std::string bytes = SampleBytes();
    // Enough ids that some share a bucket of the map.
    std::vector<uint32_t> ids;
    for (uint32_t i = 0; i < 40; ++i) {
        ids.push_back(1 + i * 13);
    }
    ids.push_back(0xFFFFFFFFu);
    auto registry = std::make_unique<TDictionaryRegistry>();
    for (uint32_t id : ids) {
        TMemoryInput in(bytes.data(), bytes.size());
        registry->Load(id, in);
    }
    EXPECT_EQ(registry->Size(), ids.size());
    TMatchState state;
    for (uint32_t id : ids) {
        const TDictionary* d = registry->Find(id);
        ASSERT_NE(d, nullptr) << id;
        EXPECT_EQ(FirstRule(*d, u"столу", state), SR_NOUN);
        EXPECT_EQ(registry->Find(id + 1), nullptr) << id + 1;
    }
    InstallDictionaryRegistry(std::move(registry));
    EXPECT_NE(TDictionaryRegistry::Find(GetDictionaryRegistry(), 14), nullptr);
    EXPECT_EQ(TDictionaryRegistry::Find(GetDictionaryRegistry(), 2), nullptr);
}

TEST(DictionaryRegistry, FailedLoadRegistersNothing) {
    const std::string bytes = SampleBytes();
    auto registry = RegistryWith(bytes, {1});
    TMemoryInput cut(bytes.data(), bytes.size() - 2);
    EXPECT_THROW(registry->Load(2, cut), TLoadEOF);
    EXPECT_EQ(registry->Find(2), nullptr);
    TMemoryInput again(bytes.data(), bytes.size() - 2);
    EXPECT_THROW(registry->Load(1, again), TLoadEOF);
    ASSERT_NE(registry->Find(1), nullptr);  // the earlier dictionary is still there
    TMatchState state;
    EXPECT_EQ(FirstRule(*registry->Find(1), u"пальцу", state), SR_NOUN_CUT);
}

TEST(DictionaryRegistry, EntryOwnsTheMemoryItWasGiven) {
    struct TMemory : IDictionaryMemory {
        explicit TMemory(bool* freed) : Freed(freed) {}
        ~TMemory() override { *Freed = true; }
        bool* Freed;
    };
    bool first = false;
    bool second = false;
    {
        TDictionaryRegistry registry;
        registry.Add(1, std::make_unique<TDictionary>(), std::make_unique<TMemory>(&first));
        registry.Add(1, std::make_unique<TDictionary>(), std::make_unique<TMemory>(&second));
        EXPECT_TRUE(first);  // replaced before installation
        EXPECT_FALSE(second);
    }
    EXPECT_TRUE(second);
}

TEST(DictionaryRegistry, ReadersKeepWorkingWhileRegistriesAreReplaced) {
    const std::string bytes = SampleBytes();
    InstallDictionaryRegistry(RegistryWith(bytes, {1}));
    std::atomic<bool> stop{false};
    std::atomic<int> failures{0};
    std::atomic<long> lookups{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t) {
        readers.emplace_back([&] {
            auto state = std::make_unique<TMatchState>();
            // A dictionary found once may be used long after its registry was replaced.
            const TDictionary* held = TDictionaryRegistry::Find(GetDictionaryRegistry(), 1);
            while (!stop.load()) {
                const TDictionary* d = TDictionaryRegistry::Find(GetDictionaryRegistry(), 1);
                if (!d || FirstRule(*d, u"столу", *state) != SR_NOUN ||
                    FirstRule(*held, u"пальцу", *state) != SR_NOUN_CUT) {
                    ++failures;
                }
                ++lookups;
            }
        });
    }
    for (int round = 0; round < 20; ++round) {
        InstallDictionaryRegistry(RegistryWith(bytes, {1, 2}));
    }
    while (lookups.load() < 100) {
        std::this_thread::yield();
    }
    stop = true;
    for (std::thread& reader : readers) {
        reader.join();
    }
    EXPECT_EQ(failures.load(), 0);
}

}  // namespace

}  // namespace NDictionaryRegistryTest
