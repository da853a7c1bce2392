#include "util/digest/md5.h"

#include "util/stream/memory.h"
#include "util/stream/random_bytes_test_helpers.h"
#include "util/system/file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

struct TMd5Vector {
    std::string Text;
    std::string Hex;
};

// The test suite of RFC 1321, appendix A.5.
const std::vector<TMd5Vector> RfcSuite = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
     "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
     "0",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

// Reads a memory region a few bytes at a time, so that the digest sees many small pieces.
class TStepInput : public TInputStream {
public:
    TStepInput(const std::string& data, size_t step) : Data_(data), Step_(step) {}

protected:
    size_t DoRead(void* buffer, size_t length) override {
        const size_t n = std::min({length, Step_, Data_.size() - Pos_});
        std::memcpy(buffer, Data_.data() + Pos_, n);
        Pos_ += n;
        return n;
    }

private:
    const std::string& Data_;
    size_t Step_;
    size_t Pos_ = 0;
};

using NStreamTest::RandomBytes;

TEST(Md5, GivesTheRfcDigestsFromMemoryAndStreams) {
    for (const auto& v : RfcSuite) {
        char hex[33];
        EXPECT_EQ(MD5::Data(v.Text.data(), static_cast<uint32_t>(v.Text.size()), hex), hex);
        EXPECT_EQ(std::string(hex), v.Hex) << v.Text;

        TMemoryInput in(v.Text.data(), v.Text.size());
        EXPECT_EQ(std::string(MD5::Stream(&in, hex)), v.Hex) << v.Text;

        TStepInput trickle(v.Text, 7);
        MD5 md5;
        md5.Update(trickle);
        EXPECT_EQ(std::string(md5.End(hex)), v.Hex) << v.Text;
    }
}

TEST(Md5, PiecewiseUpdatesMatchOneUpdate) {
    // Lengths around the 64-byte block and the 56-byte padding limit.
    const std::string data = RandomBytes(1000, 1);
    for (size_t total : {0, 55, 56, 57, 63, 64, 65, 119, 120, 128, 1000}) {
        char whole[33];
        MD5::Data(data.data(), static_cast<uint32_t>(total), whole);
        for (size_t piece : {1, 63, 64, 65}) {
            MD5 md5;
            for (size_t pos = 0; pos < total; pos += piece) {
                md5.Update(data.data() + pos, static_cast<uint32_t>(std::min(piece, total - pos)));
            }
            char hex[33];
            EXPECT_STREQ(md5.End(hex), whole) << total << " in pieces of " << piece;
        }
    }
}

// Empty updates change nothing, whatever the pointer (an empty string's data may be null).
TEST(Md5, EmptyUpdatesChangeNothing) {
    MD5 md5;
    md5.Update(nullptr, 0);
    md5.Update("abc", 3);
    md5.Update(nullptr, 0);
    char hex[33];
    EXPECT_STREQ(md5.End(hex), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_STREQ(MD5::Data(nullptr, 0, hex), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(Md5, FinalClearsTheContext) {
    MD5 md5;
    md5.Update("abc", 3);
    char hex[33];
    md5.End(hex);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(md5.StateWords()[i], 0u);
    }
    EXPECT_EQ(md5.BitCount()[0], 0u);
    EXPECT_EQ(md5.BitCount()[1], 0u);

    // Re-initialised, it hashes afresh.
    md5.Init();
    md5.Update("abc", 3);
    EXPECT_STREQ(md5.End(hex), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Md5, WritesHexAndBase64IntoAllocatedBuffers) {
    MD5 md5;
    char* hex = md5.End(nullptr);
    ASSERT_NE(hex, nullptr);
    EXPECT_STREQ(hex, "d41d8cd98f00b204e9800998ecf8427e");
    std::free(hex);

    md5.Init();
    char* b64 = md5.EndBase64(nullptr);
    ASSERT_NE(b64, nullptr);
    // The base64 form of d41d8cd98f00b204e9800998ecf8427e.
    EXPECT_STREQ(b64, "1B2M2Y8AsgTpgAmY7PhCfg==");
    std::free(b64);

    char buffer[25];
    md5.Init();
    md5.Update("abc", 3);
    EXPECT_STREQ(md5.EndBase64(buffer), "kAFQmDzST7DWlj99KOF/cg==");
    EXPECT_EQ(std::strlen(buffer), 24u);
}

TEST(Md5, HashesFilesAndGivesNullForMissingOnes) {
    const Stroka name = Stroka(::testing::TempDir().c_str()) + "md5_test_file.bin";
    const std::string data = RandomBytes(70000, 2);
    {
        TFile file(name, CreateAlways | WrOnly);
        file.Write(data.data(), data.size());
    }
    char fromFile[33], fromMemory[33];
    EXPECT_EQ(MD5::File(name.c_str(), fromFile), fromFile);
    MD5::Data(data.data(), static_cast<uint32_t>(data.size()), fromMemory);
    EXPECT_STREQ(fromFile, fromMemory);
    std::remove(name.c_str());

    EXPECT_EQ(MD5::File(name.c_str(), fromFile), nullptr);
}

}  // namespace
