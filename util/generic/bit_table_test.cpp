#include "util/generic/bit_table.h"

#include <gtest/gtest.h>

TEST(BitTable, LowestBitIndexUsesTheLowByte) {
    const struct {
        unsigned value;
        unsigned expected;
    } cases[] = {{0, 0}, {1, 0}, {0x80, 7}, {0x0C, 2}, {0x104, 2}, {0xFF00, 0}, {0x60, 5}};
    for (const auto& c : cases) {
        EXPECT_EQ(LowestBitIndex(c.value), c.expected) << std::hex << c.value;
    }
}

TEST(BitTable, PopCountSumsTheRange) {
    const unsigned char bytes[] = {0xFF, 0x01, 0x00, 0xA5};
    EXPECT_EQ(PopCount(bytes, bytes + 2), 9u);
    EXPECT_EQ(PopCount(bytes, bytes + 4), 13u);
    EXPECT_EQ(PopCount(bytes, bytes), 0u);
    EXPECT_EQ(PopCount(bytes + 2, bytes), 0u);
    for (unsigned i = 0; i < 256; ++i) {
        const unsigned char b = static_cast<unsigned char>(i);
        EXPECT_EQ(PopCount(&b, &b + 1), static_cast<uint64_t>(__builtin_popcount(i)));
    }
}
