#include "util/stream/load.h"

#include "util/stream/memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// The message of the TLoadEOF raised by f, or "" when nothing is raised.
template <class F>
std::string LoadError(F f) {
    try {
        f();
    } catch (const TLoadEOF& e) {
        return e.what();
    }
    return "";
}

TEST(Load, ReadsPlainValuesInMachineOrder) {
    const unsigned char bytes[] = {0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0x01,
                                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    TMemoryInput in(bytes, sizeof(bytes));
    uint16_t u16 = 0;
    uint32_t u32 = 0;
    uint64_t u64 = 0;
    LoadPodType(in, u16);
    LoadPodType(in, u32);
    LoadPodType(in, u64);
    EXPECT_EQ(u16, 0x1234u);
    EXPECT_EQ(u32, 0x12345678u);
    EXPECT_EQ(u64, 1u);
    EXPECT_TRUE(in.Exhausted());
}

TEST(Load, ShortReadsRaiseLoadEofWithCounts) {
    struct TCase {
        std::vector<unsigned char> Bytes;
        std::string Message;
    };
    const std::vector<TCase> twoByte = {
        {{}, "can not load pod type(2, 0 bytes)"},
        {{0x41}, "can not load pod type(2, 1 bytes)"},
    };
    for (const auto& c : twoByte) {
        TMemoryInput in(c.Bytes.data(), c.Bytes.size());
        uint16_t value = 0xFFFF;
        EXPECT_EQ(LoadError([&] { LoadPodType(in, value); }), c.Message);
        if (!c.Bytes.empty()) {
            // The byte that arrived stays in the value.
            EXPECT_EQ(value & 0xFF, 0x41);
        }
    }

    const unsigned char three[] = {1, 2, 3};
    TMemoryInput in(three, sizeof(three));
    uint64_t word = 0;
    EXPECT_EQ(LoadError([&] { LoadPodType(in, word); }), "can not load pod type(8, 3 bytes)");

    // The error is a serialisation error and a kexception.
    TMemoryInput empty(nullptr, 0);
    EXPECT_THROW(LoadPodType(empty, word), TSerializeException);
    EXPECT_THROW(LoadPodType(empty, word), kexception);
}

TEST(Load, ArraysReadWholeOrRaiseWithByteCounts) {
    const unsigned char bytes[] = {0x01, 0x00, 0x02, 0x00, 0x03};
    TMemoryInput in(bytes, sizeof(bytes));
    uint16_t units[3] = {0, 0, 0};
    LoadPodArray(in, units, 2);
    EXPECT_EQ(units[0], 1u);
    EXPECT_EQ(units[1], 2u);
    LoadPodArray(in, units, 0);
    EXPECT_EQ(LoadError([&] { LoadPodArray(in, units, 3); }), "can not load pod array(6, 1 bytes)");
    EXPECT_EQ(units[0] & 0xFF, 3);
}

TEST(Load, Size32ZeroExtendsAndKeepsTargetOnFailure) {
    const unsigned char bytes[] = {0x01, 0x00, 0x00, 0x80, 0xAA, 0xBB};
    TMemoryInput in(bytes, sizeof(bytes));
    size_t value = ~size_t(0);
    LoadSize32(in, value);
    EXPECT_EQ(value, size_t(0x80000001u));

    EXPECT_EQ(LoadError([&] { LoadSize32(in, value); }), "can not load pod type(4, 2 bytes)");
    EXPECT_EQ(value, size_t(0x80000001u));
}

}  // namespace
