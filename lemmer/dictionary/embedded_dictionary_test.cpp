#include "lemmer/dictionary/embedded_dictionary.h"

#include "lemmer/analysis/byk_language.h"
#include "lemmer/analysis/language_registry.h"
#include "lemmer/dictionary/dictionary_check.h"
#include "lemmer/dictionary/dictionary_test_helpers.h"
#include "lemmer/dictionary/dictionary_writer.h"
#include "util/stream/load.h"
#include "util/stream/memory.h"
#include "util/stream/string_stream.h"
#include "util/stream/zlib.h"
#include "util/string/base64.h"
#include "util/system/atexit.h"
#include "util/testing/utf.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace {

using NLemmer::NPrivate::TEmbeddedDictionarySite;

// The chunk container the fixture accessor serves; counts how often a reading starts.
std::vector<Stroka> Chunks;
std::atomic<int> Readings{0};

const char* FixtureChunk(uint64_t index) {
    if (index == 0) {
        ++Readings;
    }
    return index < Chunks.size() ? Chunks[index].c_str() : "";
}

// The binary form of a two-noun dictionary; the stem стол takes rule `stolRule` of the one
// rule there is.
Stroka FixtureDictionaryBytes(uint16_t stolRule = 0) {
    NByk::NTest::TFixture f;
    f.Alphabet(u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя-", u"аеёиоуыэюя");
    const uint16_t nom = f.Ending(u"", u"", "nom sg");
    const uint16_t gen = f.Ending(u"", u"а", "gen sg");
    const uint16_t pl = f.Ending(u"", u"ы", "nom pl");
    f.Rule(f.List({nom, gen, pl}), 0, u"", "S m inan");
    f.Stem(u"стол", {stolRule});
    f.Stem(u"хлеб", {0});
    Stroka bytes;
    TStringOutput out(bytes);
    NByk::WriteDictionary(f.Build(), out);
    return bytes;
}

Stroka Compressed(const Stroka& data, EZLibStreamType type) {
    Stroka packed;
    TStringOutput sink(packed);
    TZLibCompress out(&sink, type);
    out.Write(data.data(), data.size());
    out.Finish();
    return packed;
}

Stroka Gzip(const Stroka& data) {
    return Compressed(data, EZLibStreamType::GZip);
}

uint32_t Crc32(const Stroka& data) {
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

// Base64 chunks of full size but the last, as the build packs them.
std::vector<Stroka> Pack(const Stroka& compressed) {
    std::vector<Stroka> chunks;
    for (size_t pos = 0; pos < compressed.size(); pos += EmbeddedChunkBytes) {
        chunks.push_back(Base64Encode(Stroka(compressed, pos, EmbeddedChunkBytes)));
    }
    return chunks;
}

std::string Md5Hex(const Stroka& data) {
    char hex[33];
    return MD5::Data(data.data(), static_cast<uint32_t>(data.size()), hex);
}

bool KnowsWord(const NByk::TDictionary& d, const char16_t* word) {
    TAnalysisVector out;
    return LookupInDictionary(d, word, -1, out, 10, LM_DICTIONARY, nullptr) != 0;
}

TEST(InputMd5Stream, HashesExactlyTheBytesEachReadReturns) {
    const Stroka data = "the quick brown fox jumps over the lazy dog, twice over";
    TMemoryInput source(data.data(), data.size());
    TInputMd5Stream hashed(&source);
    char buffer[7];
    Stroka seen;
    EXPECT_EQ(hashed.Read(buffer, 0), 0u);
    while (const size_t n = hashed.Read(buffer, sizeof(buffer))) {
        seen += Stroka(buffer, n);
    }
    char hex[33];
    hashed.Context().End(hex);
    EXPECT_EQ(seen, data);
    EXPECT_EQ(std::string(hex), Md5Hex(data));
}

TEST(EmbeddedDictionary, BuildsOnceForAllCallers) {
    static TEmbeddedDictionarySite site;
    Chunks = Pack(Gzip(FixtureDictionaryBytes()));
    Readings = 0;
    std::vector<const NByk::TDictionary*> got(6);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < got.size(); ++i) {
        threads.emplace_back(
            [&got, i] { got[i] = NLemmer::NPrivate::GetEmbeddedDictionary(site, &FixtureChunk); });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(NLemmer::NPrivate::GetEmbeddedDictionary(site, &FixtureChunk), got[0]);
    EXPECT_THAT(got, ::testing::Each(got[0]));
    EXPECT_EQ(Readings.load(), 1);
    ASSERT_NE(got[0], nullptr);
    EXPECT_TRUE(KnowsWord(*got[0], u"столы"));
}

TEST(EmbeddedDictionary, ReleaseUnpublishesAndTheNextCallBuildsAnew) {
    static TEmbeddedDictionarySite site;
    Chunks = Pack(Gzip(FixtureDictionaryBytes()));
    Readings = 0;
    NLemmer::NPrivate::GetEmbeddedDictionary(site, &FixtureChunk);
    NLemmer::NPrivate::ReleaseEmbeddedDictionary(site);
    EXPECT_EQ(site.Holder.load(), nullptr);
    NLemmer::NPrivate::ReleaseEmbeddedDictionary(site);
    const NByk::TDictionary* d = NLemmer::NPrivate::GetEmbeddedDictionary(site, &FixtureChunk);
    EXPECT_EQ(Readings.load(), 2);
    EXPECT_TRUE(KnowsWord(*d, u"столы"));
}

// The at-exit registry releases a built dictionary before the callbacks of lower priority run.
TEST(EmbeddedDictionaryDeathTest, ReleasedAtExit) {
    static TEmbeddedDictionarySite site;
    EXPECT_EXIT(
        {
            Chunks = Pack(Gzip(FixtureDictionaryBytes()));
            NLemmer::NPrivate::GetEmbeddedDictionary(site, &FixtureChunk);
            AtExit([] { _exit(site.Holder.load() == nullptr ? 3 : 4); }, 0);
            exit(0);
        },
        ::testing::ExitedWithCode(3), "");
}

TEST(EmbeddedDictionary, FingerprintIsTheMd5OfTheBytesTheLoaderRead) {
    // Trailing bytes after the dictionary are never read, so never hashed; the fingerprint is
    // not that of the compressed or base64 bytes either.
    static TEmbeddedDictionarySite site;
    const Stroka dictionary = FixtureDictionaryBytes();
    const Stroka compressed = Gzip(dictionary + Stroka(5000, 'x'));
    Chunks = Pack(compressed);
    const NByk::TDictionary* d = NLemmer::NPrivate::GetEmbeddedDictionary(site, &FixtureChunk);
    EXPECT_EQ(std::string(d->Fingerprint), Md5Hex(dictionary));
    EXPECT_NE(std::string(d->Fingerprint), Md5Hex(compressed));
    EXPECT_TRUE(KnowsWord(*d, u"хлеба"));
}

TEST(EmbeddedDictionary, FingerprintIsThePackersDigestWhenTheLoaderReadEveryByte) {
    // A digest that no hashing could give shows that none took place; with bytes after the
    // dictionary the digest is not that of the loaded bytes, which are then hashed.
    const Stroka dictionary = FixtureDictionaryBytes();
    const Stroka head(dictionary, 0, dictionary.size() / 3);
    const Stroka tail(dictionary, head.size(), dictionary.size());
    const char* const noted = "0123456789abcdef0123456789abcdef";
    struct TCase {
        const char* Name;
        Stroka Compressed;
        Stroka Inflated;
        std::string Fingerprint;
    };
    const TCase cases[] = {
        {"the dictionary alone", Gzip(dictionary), dictionary, noted},
        // The CRC-32 of the whole is folded from those of the members.
        {"the dictionary in two gzip members", Gzip(head) + Gzip(tail), dictionary, noted},
        {"bytes after the dictionary", Gzip(dictionary + Stroka(300, 'x')),
         dictionary + Stroka(300, 'x'), Md5Hex(dictionary)},
    };
    static TEmbeddedDictionarySite sites[std::size(cases)];
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].Name);
        Chunks = Pack(cases[i].Compressed);
        // What the packer notes of the container: the size, MD5 and CRC-32 of all it inflates
        // to.
        const NLemmer::NPrivate::TInflatedDigest digest{cases[i].Inflated.size(), noted,
                                                        Crc32(cases[i].Inflated)};
        const NByk::TDictionary* d =
            NLemmer::NPrivate::GetEmbeddedDictionary(sites[i], &FixtureChunk, &digest);
        EXPECT_EQ(std::string(d->Fingerprint), cases[i].Fingerprint);
        EXPECT_TRUE(KnowsWord(*d, u"хлеба"));
    }
}

TEST(EmbeddedDictionary, BytesOtherThanThePackersAreChecked) {
    // The load checks are left to the build only for exactly the bytes the packer noted: of
    // the noted size and CRC-32, which zlib must have computed and compared with the trailer.
    // A rule id out of range (the one rule there is has id 0) is damage of the same size.
    const Stroka damaged = FixtureDictionaryBytes(7);
    const Stroka sound = FixtureDictionaryBytes();
    ASSERT_EQ(damaged.size(), sound.size());
    const Stroka gzip = Gzip(sound);
    // The gzip trailer is the CRC-32, then the size.
    const Stroka badCrc = Stroka(gzip, 0, gzip.size() - 8) +
                          Stroka(1, static_cast<char>(gzip[gzip.size() - 8] ^ 1)) +
                          Stroka(gzip, gzip.size() - 7, 7);
    const char* const noted = "0123456789abcdef0123456789abcdef";
    struct TCase {
        const char* Name;
        Stroka Compressed;
        uint64_t NotedSize;
        uint32_t NotedCrc;
        std::string Error;
    };
    const TCase cases[] = {
        {"a bad rule id and bytes after the dictionary", Gzip(damaged + Stroka(300, 'x')),
         damaged.size() + 300, Crc32(damaged + Stroka(300, 'x')), "stem block"},
        {"a bad rule id and another size noted", Gzip(damaged), damaged.size() + 1, Crc32(damaged),
         "stem block"},
        {"a bad rule id where the noted bytes of the same size were sound", Gzip(damaged),
         sound.size(), Crc32(sound), "stem block"},
        // A zlib stream's trailer holds no CRC-32, so nothing vouches for its bytes.
        {"a bad rule id in a zlib stream", Compressed(damaged, EZLibStreamType::ZLib),
         damaged.size(), Crc32(damaged), "stem block"},
        {"a wrong CRC", badCrc, sound.size(), Crc32(sound), "incorrect data check"},
    };
    static TEmbeddedDictionarySite sites[std::size(cases)];
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].Name);
        Chunks = Pack(cases[i].Compressed);
        const NLemmer::NPrivate::TInflatedDigest digest{cases[i].NotedSize, noted,
                                                        cases[i].NotedCrc};
        try {
            NLemmer::NPrivate::GetEmbeddedDictionary(sites[i], &FixtureChunk, &digest);
            ADD_FAILURE() << "built";
        } catch (const kexception& e) {
            EXPECT_THAT(e.what(), testing::HasSubstr(cases[i].Error));
        }
        EXPECT_EQ(sites[i].Holder.load(), nullptr);
    }
}

TEST(EmbeddedDictionary, FailedBuildRaisesAndTheNextCallBuildsAgain) {
    const Stroka dictionary = FixtureDictionaryBytes();
    const Stroka compressed = Gzip(dictionary);
    const std::vector<Stroka> good = Pack(compressed);
    const Stroka badHeader = Stroka("\xFF\xFF") + Stroka(compressed, 2, compressed.size());
    std::vector<Stroka> badBase64 = good;
    badBase64.back() = Stroka(good.back(), 0, good.back().size() - 1);

    // Which of the errors the building raises; the more derived types are tested first.
    auto raised = [](const std::function<void()>& f) -> std::string {
        try {
            f();
        } catch (const TZLibDecompressorError&) {
            return "TZLibDecompressorError";
        } catch (const NByk::TLoadError&) {
            return "TLoadError";
        } catch (const TLoadEOF&) {
            return "TLoadEOF";
        } catch (const kexception& e) {
            return std::string("kexception: ") + e.what();
        }
        return "nothing";
    };
    struct TCase {
        const char* Name;
        std::vector<Stroka> Container;
        std::string Error;
    };
    const TCase cases[] = {
        {"chunk not a multiple of 4", badBase64,
         "kexception: incorrect input length for base64 decode"},
        {"not gzip data", Pack(badHeader), "TZLibDecompressorError"},
        {"gzip data cut short", Pack(Stroka(compressed, 0, compressed.size() / 2)),
         "TZLibDecompressorError"},
        {"dictionary cut inside its first ending", Pack(Gzip(Stroka(dictionary, 0, 3))),
         "TLoadError"},
        {"dictionary cut inside its alphabet",
         Pack(Gzip(Stroka(dictionary, 0, dictionary.size() / 2))), "TLoadEOF"},
        {"no chunks", {}, "TLoadEOF"},
    };
    static TEmbeddedDictionarySite sites[std::size(cases)];
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].Name);
        TEmbeddedDictionarySite& site = sites[i];
        Chunks = cases[i].Container;
        for (int attempt = 0; attempt < 2; ++attempt) {
            EXPECT_EQ(
                raised([&] { NLemmer::NPrivate::GetEmbeddedDictionary(site, &FixtureChunk); }),
                cases[i].Error);
            EXPECT_EQ(site.Holder.load(), nullptr);
        }
        Chunks = good;
        Readings = 0;
        const NByk::TDictionary* d = NLemmer::NPrivate::GetEmbeddedDictionary(site, &FixtureChunk);
        EXPECT_EQ(Readings.load(), 1);
        EXPECT_EQ(std::string(d->Fingerprint), Md5Hex(dictionary));
        EXPECT_TRUE(KnowsWord(*d, u"стола"));
    }
}

// The inflated bytes of the gzip file, read with zlib itself.
Stroka InflateFile(const char* path) {
    Stroka data;
    gzFile f = gzopen(path, "rb");
    if (f == nullptr) {
        ADD_FAILURE() << "cannot open " << path;
        return data;
    }
    char buffer[1 << 16];
    int n;
    while ((n = gzread(f, buffer, sizeof(buffer))) > 0) {
        data += Stroka(buffer, n);
    }
    EXPECT_EQ(n, 0) << "cannot inflate " << path;
    gzclose(f);
    return data;
}

TEST(RussianDictionary, IsTheEmbeddedFileIdentifiedByItsInflatedMd5) {
    const Stroka inflated = InflateFile(LEMMIX_SOURCE_DIR "/data/russian-dictionary.bin.gz");
    ASSERT_GT(inflated.size(), 0u);
    const NByk::TDictionary* d = GetEmbeddedRussianDictionary();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(GetEmbeddedRussianDictionary(), d);
    EXPECT_EQ(std::string(d->Fingerprint), Md5Hex(inflated));
    EXPECT_EQ(GetEmbeddedRussianDictionaryChunkInflatedCrc32(), Crc32(inflated));
    const TLanguage* russian = LanguageById(1);
    EXPECT_EQ(static_cast<const TBykLanguage*>(russian)->GetMainDictionary(), d);
    EXPECT_EQ(std::string(russian->DictionaryFingerprint().c_str()), Md5Hex(inflated));
    // The checks its start-up leaves out (the build runs them too).
    EXPECT_NO_THROW(NByk::CheckDictionary(*d));
}

}  // namespace
