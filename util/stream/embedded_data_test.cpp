#include "util/stream/embedded_data.h"

#include "util/generic/exception.h"
#include "util/stream/random_bytes_test_helpers.h"
#include "util/stream/string_stream.h"
#include "util/stream/zlib.h"
#include "util/string/base64.h"
#include "util/testing/exception_matchers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

// The chunks the test accessors hand out, with a log of the indexes asked for.
std::vector<std::string> Chunks;
std::vector<uint64_t> Asked;

const char* TestChunk(uint64_t index) {
    Asked.push_back(index);
    return index < Chunks.size() ? Chunks[index].c_str() : nullptr;
}

// Splits data into base64 chunks of `chunkBytes` decoded bytes (a multiple of 3), then the
// empty terminating chunk.
std::vector<std::string> MakeChunks(const std::string& data, size_t chunkBytes = 12000) {
    std::vector<std::string> chunks;
    for (size_t pos = 0; pos < data.size(); pos += chunkBytes) {
        const Stroka piece(data.data() + pos, std::min(chunkBytes, data.size() - pos));
        const Stroka text = Base64Encode(piece);
        chunks.emplace_back(text.data(), text.size());
    }
    chunks.emplace_back();
    return chunks;
}

using NStreamTest::RandomBytes;

class EmbeddedData : public ::testing::Test {
protected:
    void SetUp() override {
        Chunks.clear();
        Asked.clear();
    }
};

TEST_F(EmbeddedData, EmptyDataSetEndsAtOnceAndStaysEnded) {
    for (const bool nullFirst : {false, true}) {
        Chunks = nullFirst ? std::vector<std::string>{} : std::vector<std::string>{""};
        Asked.clear();
        TStringDataInputStream in(TestChunk);
        char buf[16];
        EXPECT_EQ(in.Read(buf, sizeof(buf)), 0u);
        EXPECT_EQ(in.Read(buf, sizeof(buf)), 0u);
        // Every read asks for the terminating record again, never past it.
        EXPECT_EQ(Asked, (std::vector<uint64_t>{0, 0}));
    }
}

TEST_F(EmbeddedData, ReadsCrossChunksAndStopAtTheTerminator) {
    const std::string data = RandomBytes(30000, 1);
    Chunks = MakeChunks(data);
    ASSERT_EQ(Chunks.size(), 4u);
    ASSERT_EQ(Chunks[0].size(), 16000u);
    TStringDataInputStream in(TestChunk, 12000);
    std::string buf(20000, '\0');
    ASSERT_EQ(in.Read(buf.data(), 20000), 20000u);
    EXPECT_EQ(buf, data.substr(0, 20000));
    // A read of 0 bytes asks for nothing.
    const size_t asked = Asked.size();
    EXPECT_EQ(in.Read(buf.data(), 0), 0u);
    EXPECT_EQ(Asked.size(), asked);
    // The rest, then the end.
    ASSERT_EQ(in.Read(buf.data(), 20000), 10000u);
    EXPECT_EQ(buf.substr(0, 10000), data.substr(20000));
    EXPECT_EQ(in.Read(buf.data(), 20000), 0u);
    EXPECT_EQ(in.Read(buf.data(), 1), 0u);
    EXPECT_EQ(Asked, (std::vector<uint64_t>{0, 1, 2, 3, 3, 3}));
}

TEST_F(EmbeddedData, RandomChunkAndReadSizesMatchTheData) {
    std::mt19937 rng(2);
    for (int round = 0; round < 30; ++round) {
        const std::string data = RandomBytes(rng() % 5000, round);
        // Chunks of varying sizes, the last with padding; the buffer starts empty and grows.
        Chunks.clear();
        std::string expected;
        for (size_t pos = 0; pos < data.size();) {
            const size_t n = std::min<size_t>(1 + rng() % 900, data.size() - pos);
            const Stroka text = Base64Encode(Stroka(data.data() + pos, n));
            Chunks.emplace_back(text.data(), text.size());
            pos += n;
        }
        Chunks.emplace_back();
        TStringDataInputStream in(TestChunk, rng() % 2 ? 0 : 12000);
        std::string out;
        std::string buf(2000, '\0');
        while (const size_t n = in.Read(buf.data(), 1 + rng() % buf.size())) {
            out.append(buf.data(), n);
        }
        EXPECT_EQ(out, data) << round;
    }
}

TEST_F(EmbeddedData, BadChunkLengthRaises) {
    Chunks = {"Zm9v", "Zm9vY", ""};
    TStringDataInputStream in(TestChunk);
    char buf[8];
    EXPECT_THAT([&] { in.Read(buf, sizeof(buf)); },
                RaisesMessage<kexception>("incorrect input length for base64 decode"))
        << "no error";
}

std::string Compressed(const std::string& data, EZLibStreamType type) {
    Stroka out;
    TStringOutput sink(out);
    TZLibCompress z(&sink, type, 9);
    z.Write(data.data(), data.size());
    z.Finish();
    return std::string(out.data(), out.size());
}

TEST_F(EmbeddedData, InflatesZLibAndGZipDataSets) {
    const std::string data = RandomBytes(40000, 3) + std::string(50000, 'a');
    for (const EZLibStreamType type : {EZLibStreamType::ZLib, EZLibStreamType::GZip}) {
        Chunks = MakeChunks(Compressed(data, type));
        TCompressedStaticData::TDataInputStream in(TestChunk);
        char none;
        EXPECT_EQ(in.Read(&none, 0), 0u);
        const Stroka read = in.ReadAll();
        EXPECT_EQ(std::string(read.data(), read.size()), data);
        std::unique_ptr<TInputStream> created(CreateCompressedStaticDataStream(TestChunk));
        const Stroka all = created->ReadAll();
        EXPECT_EQ(std::string(all.data(), all.size()), data);
    }
    // A cut data set is an error, not a short one.
    Chunks = MakeChunks(Compressed(data, EZLibStreamType::GZip).substr(0, 30000));
    EXPECT_THROW(ReadCompressedStaticData(TestChunk), TZLibDecompressorError);
}

// A second data set for the process-wide copy.
std::vector<std::string> SharedChunks;
int SharedFirstChunkReads = 0;

const char* SharedChunk(uint64_t index) {
    if (index == 0) {
        ++SharedFirstChunkReads;
    }
    return index < SharedChunks.size() ? SharedChunks[index].c_str() : nullptr;
}

TEST_F(EmbeddedData, ProcessWideCopyIsBuiltOnceAndRetriedAfterFailure) {
    // Not compressed data: the first attempt fails and keeps nothing.
    SharedChunks = MakeChunks("this is not a zlib stream!");
    EXPECT_THROW(GetCompressedStaticData<SharedChunk>(), TZLibDecompressorError);

    const std::string data = RandomBytes(25000, 4);
    SharedChunks = MakeChunks(Compressed(data, EZLibStreamType::ZLib));
    SharedFirstChunkReads = 0;
    const TBlob* first = GetCompressedStaticData<SharedChunk>();
    const TBlob* second = GetCompressedStaticData<SharedChunk>();
    EXPECT_EQ(first, second);
    EXPECT_EQ(SharedFirstChunkReads, 1);
    EXPECT_EQ(std::string(first->AsCharPtr(), first->Size()), data);
}

// A third data set, asked for by several threads at once.
std::vector<std::string> RacedChunks;
std::atomic<int> RacedFirstChunkReads{0};

const char* RacedChunk(uint64_t index) {
    if (index == 0) {
        ++RacedFirstChunkReads;
    }
    return index < RacedChunks.size() ? RacedChunks[index].c_str() : nullptr;
}

TEST_F(EmbeddedData, ConcurrentFirstCallsShareOneCopy) {
    const std::string data = RandomBytes(200000, 5);
    RacedChunks = MakeChunks(Compressed(data, EZLibStreamType::GZip));
    std::atomic<bool> go{false};
    std::vector<const TBlob*> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i) {
        threads.emplace_back([&, i] {
            while (!go) {
            }
            seen[i] = GetCompressedStaticData<RacedChunk>();
        });
    }
    go = true;
    for (auto& t : threads) {
        t.join();
    }
    for (const TBlob* blob : seen) {
        EXPECT_EQ(blob, seen[0]);
    }
    EXPECT_EQ(RacedFirstChunkReads.load(), 1);
    EXPECT_EQ(std::string(seen[0]->AsCharPtr(), seen[0]->Size()), data);
}

}  // namespace
