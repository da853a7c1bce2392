#include "util/stream/compact_trie_packer.h"
#include "util/stream/compact_trie_test_helpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {
using NCompactTrieTest::Bytes;

using TPacker = TCompactTriePacker<unsigned long>;

TEST(CompactTriePacker, PacksValuesInTheDocumentedBytes) {
    const struct {
        unsigned long Value;
        std::string Packed;
    } cases[] = {
        {0, Bytes({0x00})},
        {127, Bytes({0x7F})},
        {128, Bytes({0x80, 0x80})},
        {300, Bytes({0x81, 0x2C})},
        {16383, Bytes({0xBF, 0xFF})},
        {16384, Bytes({0xC0, 0x40, 0x00})},
        {2097152, Bytes({0xE0, 0x20, 0x00, 0x00})},
        {(1UL << 56) - 1, Bytes({0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
        {1UL << 56, Bytes({0xFF, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00})},
        {~0UL, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
    };
    for (const auto& c : cases) {
        const size_t size = TPacker::MeasureLeaf(c.Value);
        ASSERT_EQ(c.Packed.size(), size) << c.Value;
        std::string packed(size, '\0');
        TPacker::PackLeaf(packed.data(), c.Value, size);
        EXPECT_EQ(c.Packed, packed) << c.Value;
        EXPECT_EQ(size, TPacker::SkipLeaf(packed.data())) << c.Value;
        unsigned long back = 12345;
        TPacker::UnpackLeaf(packed.data(), back);
        EXPECT_EQ(c.Value, back);
    }
}

// Every width boundary: 2^(7n) - 1 is the largest n-byte value, 2^(7n) the smallest of n+1.
TEST(CompactTriePacker, RoundTripsAtEveryWidthBoundary) {
    for (size_t n = 1; n <= 8; ++n) {
        const unsigned long top = (1UL << (7 * n)) - 1;
        for (unsigned long v : {top - 1, top, top + 1}) {
            const size_t size = TPacker::MeasureLeaf(v);
            EXPECT_EQ(v <= top ? n : n + 1, size) << v;
            char buf[9];
            TPacker::PackLeaf(buf, v, size);
            EXPECT_EQ(size, NCompactTrie::PackedValueSize(static_cast<unsigned char>(buf[0])));
            unsigned long back = 0;
            TPacker::UnpackLeaf(buf, back);
            EXPECT_EQ(v, back);
        }
    }
}

TEST(CompactTriePacker, SizeTableFollowsLeadingOnes) {
    const struct {
        unsigned First, Last;
        size_t Size;
    } ranges[] = {{0x00, 0x7F, 1}, {0x80, 0xBF, 2}, {0xC0, 0xDF, 3},
                  {0xE0, 0xEF, 4}, {0xF0, 0xF7, 5}, {0xF8, 0xFB, 6},
                  {0xFC, 0xFD, 7}, {0xFE, 0xFE, 8}, {0xFF, 0xFF, 9}};
    for (const auto& r : ranges) {
        for (unsigned b = r.First; b <= r.Last; ++b) {
            EXPECT_EQ(r.Size, NCompactTrie::PackedValueSize(static_cast<unsigned char>(b))) << b;
        }
    }
}

TEST(CompactTriePacker, OffsetsTakeTheirSignificantBytes) {
    const struct {
        uint64_t Value;
        std::string Packed;
    } cases[] = {
        {0, ""},
        {1, Bytes({0x01})},
        {255, Bytes({0xFF})},
        {256, Bytes({0x01, 0x00})},
        {65535, Bytes({0xFF, 0xFF})},
        {65536, Bytes({0x01, 0x00, 0x00})},
        {(1ULL << 56) - 1, Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})},
        {~0ULL, std::string(8, '\xFF')},
    };
    for (const auto& c : cases) {
        const size_t size = NCompactTrie::PackedIntSize(c.Value);
        ASSERT_EQ(c.Packed.size(), size) << c.Value;
        std::string packed(size, '\0');
        EXPECT_EQ(size, NCompactTrie::PackIntBigEndian(c.Value, size, packed.data()));
        EXPECT_EQ(c.Packed, packed);
        EXPECT_EQ(c.Value, NCompactTrie::UnpackIntBigEndian(packed.data(), size));
    }
}
}  // namespace
