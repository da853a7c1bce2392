#include "util/stream/compact_trie_format.h"
#include "util/stream/compact_trie_test_helpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {
using NCompactTrieTest::Bytes;

// An arc has a value or a next node: flags 0x00 would read as a jump.
TEST(CompactTrieFormat, ArcHeadersTakeTheNarrowestOffsetsAndReadBack) {
    const struct {
        bool HasValue;
        bool HasForward;
        unsigned char Label;
        uint64_t Left;
        uint64_t Right;
        std::string Encoded;
    } cases[] = {
        {true, false, 'a', 0, 0, Bytes({0x80, 'a'})},
        {false, true, 0x00, 0, 0, Bytes({0x40, 0x00})},
        {true, true, 0xFF, 5, 0, Bytes({0xC8, 0xFF, 0x05})},
        {false, true, 'b', 0, 256, Bytes({0x42, 'b', 0x01, 0x00})},
        {true, true, 'c', 65536, 255, Bytes({0xD9, 'c', 0x01, 0x00, 0x00, 0xFF})},
    };
    for (const auto& c : cases) {
        NCompactTrie::TArcHeader arc;
        arc.HasValue = c.HasValue;
        arc.HasForward = c.HasForward;
        arc.Label = c.Label;
        arc.Left = c.Left;
        arc.Right = c.Right;
        char out[NCompactTrie::kMaxArcHeaderSize];
        const size_t size = NCompactTrie::EncodeArcHeader(arc, out);
        ASSERT_EQ(std::string(out, size), c.Encoded) << c.Left << " " << c.Right;
        ASSERT_EQ(NCompactTrie::ArcHeaderSize(static_cast<unsigned char>(out[0])), size);
        EXPECT_FALSE(NCompactTrie::IsJump(static_cast<unsigned char>(out[0])));
        const NCompactTrie::TArcHeader back = NCompactTrie::DecodeArcHeader(out);
        EXPECT_EQ(back.HasValue, c.HasValue);
        EXPECT_EQ(back.HasForward, c.HasForward);
        EXPECT_EQ(back.Label, c.Label);
        EXPECT_EQ(back.Left, c.Left);
        EXPECT_EQ(back.Right, c.Right);
        EXPECT_EQ(back.Size, size);
    }
}

TEST(CompactTrieFormat, JumpsCountTheirOwnBytes) {
    const struct {
        uint64_t Beyond;
        std::string Encoded;
    } cases[] = {
        {0, Bytes({0x01, 0x02})},
        {253, Bytes({0x01, 0xFF})},
        // 255 bytes past a two-byte jump is 257 from its first byte: the offset needs two.
        {254, Bytes({0x02, 0x01, 0x01})},
        {65532, Bytes({0x02, 0xFF, 0xFF})},
        {65533, Bytes({0x03, 0x01, 0x00, 0x01})},
    };
    for (const auto& c : cases) {
        const size_t size = NCompactTrie::SolveJumpSize(c.Beyond);
        char out[NCompactTrie::kMaxJumpSize];
        ASSERT_EQ(NCompactTrie::EncodeJump(size + c.Beyond, out), size) << c.Beyond;
        EXPECT_EQ(std::string(out, size), c.Encoded) << c.Beyond;
        EXPECT_TRUE(NCompactTrie::IsJump(static_cast<unsigned char>(out[0])));
        EXPECT_EQ(NCompactTrie::JumpWidth(static_cast<unsigned char>(out[0])), size - 1);
    }
}

// The size must be the least one whose offsets, at their own widths, measure it exactly.
TEST(CompactTrieFormat, RecordSizesSettleAcrossOffsetWidths) {
    const struct {
        uint64_t Fixed;
        std::vector<uint64_t> Beyond;
        uint64_t Size;
    } cases[] = {
        {2, {}, 2},
        {2, {0}, 3},
        {254, {0}, 255},
        // 255 + 1 = 256 needs a second byte, and then the record is 257.
        {255, {0}, 257},
        {250, {3, 4}, 254},
        {2, {65531}, 4},
        {2, {65532}, 5},
        {65530, {0, 1}, 65534},
        {65532, {0, 1}, 65538},
    };
    for (const auto& c : cases) {
        const uint64_t size =
            NCompactTrie::SolveRecordSize(c.Fixed, c.Beyond.data(), c.Beyond.size());
        EXPECT_EQ(size, c.Size) << c.Fixed;
        uint64_t widths = 0;
        for (uint64_t beyond : c.Beyond) {
            widths += NCompactTrie::PackedIntSize(size + beyond);
        }
        EXPECT_EQ(c.Fixed + widths, size) << c.Fixed;
    }
}
}  // namespace
