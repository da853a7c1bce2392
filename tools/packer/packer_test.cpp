#include "tools/packer/embedded_source.h"
#include "util/digest/md5.h"
#include "util/stream/blob.h"
#include "util/stream/embedded_data.h"
#include "util/stream/string_stream.h"
#include "util/stream/zlib.h"
#include "util/testing/utf.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

// The accessors and digests of the test data sets that the build packed.
#define LEMMIX_PACKED_FIXTURE(symbol)   \
    const char* symbol(uint64_t index); \
    uint64_t symbol##InflatedSize();    \
    const char* symbol##InflatedMd5();  \
    uint32_t symbol##InflatedCrc32();
LEMMIX_PACKED_FIXTURE(GetZLibFixtureChunk)
LEMMIX_PACKED_FIXTURE(GetGZipFixtureChunk)
LEMMIX_PACKED_FIXTURE(GetGZipMembersFixtureChunk)
LEMMIX_PACKED_FIXTURE(GetLargeFixtureChunk)
#undef LEMMIX_PACKED_FIXTURE

namespace {
using NTesting::Std;

std::string FileBytes(const std::string& name) {
    const TBlob blob = TBlob::FromFileContent(Stroka(LEMMIX_PACKER_FIXTURES "/") + name.c_str());
    return std::string(blob.AsCharPtr(), blob.Size());
}

struct TFixture {
    const char* Name;
    TChunkAccessor Accessor;
    size_t MinChunks;
    uint64_t (*InflatedSize)();
    const char* (*InflatedMd5)();
    uint32_t (*InflatedCrc32)();
    bool GZip;  // gzip members only, whose CRC-32 the reader's zlib computes
};

const std::vector<TFixture> Fixtures = {
    {"zlib_stream", GetZLibFixtureChunk, 1, GetZLibFixtureChunkInflatedSize,
     GetZLibFixtureChunkInflatedMd5, GetZLibFixtureChunkInflatedCrc32, false},
    {"gzip_member", GetGZipFixtureChunk, 1, GetGZipFixtureChunkInflatedSize,
     GetGZipFixtureChunkInflatedMd5, GetGZipFixtureChunkInflatedCrc32, true},
    {"gzip_members", GetGZipMembersFixtureChunk, 1, GetGZipMembersFixtureChunkInflatedSize,
     GetGZipMembersFixtureChunkInflatedMd5, GetGZipMembersFixtureChunkInflatedCrc32, true},
    {"large", GetLargeFixtureChunk, 8, GetLargeFixtureChunkInflatedSize,
     GetLargeFixtureChunkInflatedMd5, GetLargeFixtureChunkInflatedCrc32, false},
};

TEST(PackedDataSets, RecordsFollowTheContainerLayout) {
    for (const auto& f : Fixtures) {
        const char* first = f.Accessor(0);
        size_t chunks = 0;
        while (*f.Accessor(chunks) != '\0') {
            const char* text = f.Accessor(chunks);
            EXPECT_EQ(text, first + chunks * EmbeddedRecordSize) << f.Name;
            const size_t length = std::strlen(text);
            if (*f.Accessor(chunks + 1) != '\0') {
                EXPECT_EQ(length, EmbeddedChunkChars) << f.Name << " chunk " << chunks;
            } else {
                EXPECT_LE(length, EmbeddedChunkChars) << f.Name;
                EXPECT_EQ(length % 4, 0u) << f.Name;
            }
            ++chunks;
        }
        EXPECT_GE(chunks, f.MinChunks) << f.Name;
        EXPECT_EQ(f.Accessor(chunks), first + chunks * EmbeddedRecordSize) << f.Name;
        // Past the terminating record there is nothing.
        EXPECT_EQ(f.Accessor(chunks + 1), nullptr) << f.Name;
    }
}

TEST(PackedDataSets, ReadBackByteIdentical) {
    for (const auto& f : Fixtures) {
        const std::string compressed = FileBytes(std::string(f.Name) + ".z");
        const std::string raw = FileBytes(std::string(f.Name) + ".raw");
        ASSERT_FALSE(raw.empty()) << f.Name;

        TStringDataInputStream chunks(f.Accessor);
        EXPECT_EQ(Std(chunks.ReadAll()), compressed) << f.Name;

        TCompressedStaticData::TDataInputStream inflated(f.Accessor);
        EXPECT_EQ(Std(inflated.ReadAll()), raw) << f.Name;

        const TBlob blob = ReadCompressedStaticData(f.Accessor);
        EXPECT_EQ(std::string(blob.AsCharPtr(), blob.Size()), raw) << f.Name;
    }
}

TEST(PackedDataSets, DigestMatchesMd5sum) {
    for (const auto& f : Fixtures) {
        const std::string expected = FileBytes(std::string(f.Name) + ".md5").substr(0, 32);
        // The dictionary reader's chain: chunks presized to 12000 bytes, an 8192-byte inflater.
        TStringDataInputStream chunks(f.Accessor, EmbeddedChunkBytes);
        TZLibDecompress inflated(&chunks, EZLibStreamType::Auto, 8192);
        char hex[33];
        EXPECT_EQ(std::string(MD5::Stream(&inflated, hex)), expected) << f.Name;
        // The digest the packer computed at build time, all members of the data included.
        EXPECT_EQ(std::string(f.InflatedMd5()), expected) << f.Name;
        const std::string raw = FileBytes(std::string(f.Name) + ".raw");
        EXPECT_EQ(f.InflatedSize(), raw.size()) << f.Name;
        EXPECT_EQ(f.InflatedCrc32(), crc32(0, reinterpret_cast<const Bytef*>(raw.data()),
                                           static_cast<uInt>(raw.size())))
            << f.Name;
        // What the reader's zlib computed as it inflated agrees with the packer's note.
        if (f.GZip) {
            EXPECT_EQ(inflated.FinishedMembersCrc32(), f.InflatedCrc32()) << f.Name;
        } else {
            EXPECT_FALSE(inflated.FinishedMembersCrc32()) << f.Name;
        }
    }
}

// Chunks made from `length` bytes and read back through a test accessor.
std::vector<Stroka> CurrentChunks;
const char* CurrentChunk(uint64_t index) {
    static const char Empty[] = "";
    return index < CurrentChunks.size()    ? CurrentChunks[index].c_str()
           : index == CurrentChunks.size() ? Empty
                                           : nullptr;
}

TEST(PackerChunks, SplitsAtTwelveThousandBytes) {
    struct TCase {
        size_t Length;
        std::vector<size_t> ChunkChars;
    };
    const std::vector<TCase> cases = {
        {0, {}},
        {1, {4}},
        {11999, {16000}},
        {12000, {16000}},
        {12001, {16000, 4}},
        {24000, {16000, 16000}},
        {30002, {16000, 16000, 8004}},
    };
    for (const auto& c : cases) {
        std::string data(c.Length, '\0');
        for (size_t i = 0; i < data.size(); ++i) {
            data[i] = static_cast<char>(i * 7 + i / 251);
        }
        CurrentChunks = SplitIntoChunks(data.data(), data.size());
        std::vector<size_t> lengths;
        for (const Stroka& chunk : CurrentChunks) {
            lengths.push_back(chunk.size());
        }
        EXPECT_EQ(lengths, c.ChunkChars) << c.Length;
        TStringDataInputStream in(CurrentChunk);
        EXPECT_EQ(Std(in.ReadAll()), data) << c.Length;
    }
}

TEST(PackerChunks, WritesTheAccessorSource) {
    Stroka source;
    TStringOutput out(source);
    const TInflatedDigest digest = DigestInflated("\x78\x9C\x03\x00\x00\x00\x00\x01", 8);
    EXPECT_EQ(digest.Size, 0u);
    EXPECT_EQ(Std(digest.Md5), "d41d8cd98f00b204e9800998ecf8427e");  // MD5 of no bytes
    EXPECT_EQ(digest.Crc32, 0u);
    WriteEmbeddedSource(out, "GetSample", {"a note"}, {"Zm9v", "YmFy"},
                        {6, "0123abcd", 0xDEADBEEF});
    const std::string text = Std(source);
    EXPECT_NE(text.find("// a note\n"), std::string::npos);
    EXPECT_NE(text.find("constexpr uint64_t RecordCount = 3;"), std::string::npos);
    EXPECT_NE(text.find("const char Records[RecordCount][16001] = {"), std::string::npos);
    EXPECT_NE(text.find("    \"Zm9v\"\n    ,\n    \"YmFy\"\n    ,\n    \"\",\n"),
              std::string::npos);
    EXPECT_NE(text.find("const char* GetSample(uint64_t index) {"), std::string::npos);
    EXPECT_NE(text.find("uint64_t GetSampleInflatedSize() {\n    return 6u;\n}"),
              std::string::npos);
    EXPECT_NE(text.find("const char* GetSampleInflatedMd5() {\n    return \"0123abcd\";\n}"),
              std::string::npos);
    EXPECT_NE(text.find("uint32_t GetSampleInflatedCrc32() {\n    return 3735928559u;\n}"),
              std::string::npos);
}

TEST(PackerChunks, RecognisesCompressedInputAndIdentifiers) {
    struct TCase {
        std::string Bytes;
        bool Compressed;
    };
    const std::vector<TCase> cases = {
        {"\x78\xDA", true},  {"\x78\x9C", true}, {"\x78\x01", true}, {"\x1F\x8B\x08", true},
        {"\x78\xDB", false}, {"\x1F", false},    {"", false},        {"plain text", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LooksCompressed(c.Bytes.data(), c.Bytes.size()), c.Compressed) << c.Bytes;
    }
    EXPECT_TRUE(IsIdentifier("GetLemmaFrequencyChunk"));
    EXPECT_TRUE(IsIdentifier("_x9"));
    EXPECT_FALSE(IsIdentifier(""));
    EXPECT_FALSE(IsIdentifier("9x"));
    EXPECT_FALSE(IsIdentifier("N::Get"));
    EXPECT_FALSE(IsIdentifier("a-b"));
}

}  // namespace
