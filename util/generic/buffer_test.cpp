#include "util/generic/buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

TEST(Buffer, AppendGrowsToThePowerOfTwoOfTwiceTheNeededLength) {
    const struct {
        size_t reserved;
        size_t initialLength;
        size_t append;
        size_t capacity;
    } cases[] = {
        {0, 0, 5, 16},     // 2 * 5 rounded up
        {16, 10, 7, 64},   // needed 17, 2 * 17 = 34 -> 64
        {64, 17, 40, 64},  // 47 bytes free: the block stays
        {0, 0, 8, 16},    {0, 0, 1, 2}, {0, 0, 0, 0}, {8, 8, 1, 32},
    };
    for (const auto& c : cases) {
        TBuffer b(c.reserved);
        if (c.initialLength) {
            b.Append(std::string(c.initialLength, 'i').data(), c.initialLength);
        }
        EXPECT_EQ(b.Capacity(), c.reserved);
        const char* before = b.Data();
        const size_t capacityBefore = b.Capacity();
        b.Append(std::string(c.append, 'a').data(), c.append);
        EXPECT_EQ(b.Capacity(), c.capacity) << c.initialLength << "+" << c.append;
        EXPECT_EQ(b.Size(), c.initialLength + c.append);
        if (c.capacity == capacityBefore) {
            EXPECT_EQ(b.Data(), before);
        }
    }
}

// Appending a part of the buffer to itself: the block moves while the bytes are copied.
TEST(Buffer, AppendingItsOwnBytesSurvivesTheMove) {
    const struct {
        const char* text;
        size_t pos;
        size_t n;
        const char* expected;
    } cases[] = {
        {"abc", 0, 3, "abcabc"},
        {"abcdefgh", 2, 3, "abcdefghcde"},
        {"abcd", 3, 1, "abcdd"},
    };
    for (const auto& c : cases) {
        TBuffer b(std::strlen(c.text));  // too little room left for the repeated part
        b.Append(c.text, std::strlen(c.text));
        const size_t capacity = b.Capacity();
        b.Append(b.Data() + c.pos, c.n);
        EXPECT_GT(b.Capacity(), capacity) << c.text;
        EXPECT_EQ(std::string(b.Data(), b.Size()), c.expected) << c.text;
    }
}

TEST(Buffer, ReserveRoundsUpAndNeverShrinks) {
    TBuffer empty(0);
    EXPECT_EQ(empty.Data(), nullptr);
    EXPECT_EQ(empty.Capacity(), 0u);
    EXPECT_EQ(empty.Size(), 0u);

    const struct {
        size_t request;
        size_t capacity;
    } cases[] = {{1, 1}, {8, 8}, {9, 16}, {1000, 1024}, {3, 1024}, {1024, 1024}};
    TBuffer b;
    for (const auto& c : cases) {
        b.Reserve(c.request);
        EXPECT_EQ(b.Capacity(), c.capacity) << c.request;
    }
    EXPECT_EQ(TBuffer(100).Capacity(), 128u);
}

TEST(Buffer, FromStringCopiesTheTerminatingNul) {
    const TBuffer empty{Stroka()};
    EXPECT_EQ(empty.Size(), 1u);
    EXPECT_EQ(empty.Capacity(), 2u);
    EXPECT_EQ(empty.Data()[0], 0);

    const TBuffer text{Stroka("abc")};
    EXPECT_EQ(std::string(text.Data(), text.Size()), std::string("abc", 4));
}

TEST(Buffer, AsStringKeepsTheBlockForRefilling) {
    TBuffer b;
    b.Append("payload", 7);
    const size_t capacity = b.Capacity();
    const char* block = b.Data();
    Stroka s("old");
    const Stroka holder = s;
    b.AsString(s);
    EXPECT_EQ(s, "payload");
    EXPECT_EQ(holder, "old");
    EXPECT_EQ(b.Size(), 0u);
    EXPECT_EQ(b.Capacity(), capacity);
    b.Append("again", 5);
    EXPECT_EQ(b.Data(), block);
}

TEST(Buffer, ResizeClearSwapAndCopies) {
    TBuffer a;
    a.Resize(10);
    EXPECT_EQ(a.Size(), 10u);
    EXPECT_EQ(a.Capacity(), 16u);
    a.Clear();
    EXPECT_EQ(a.Size(), 0u);
    EXPECT_EQ(a.Capacity(), 16u);
    a.Append("xy", 2);

    TBuffer b;
    b.Append("longer text", 11);
    a.Swap(b);
    EXPECT_EQ(std::string(a.Data(), a.Size()), "longer text");
    EXPECT_EQ(std::string(b.Data(), b.Size()), "xy");
    EXPECT_EQ(b.Capacity(), 16u);

    TBuffer copy(a);
    EXPECT_NE(copy.Data(), a.Data());
    EXPECT_EQ(std::string(copy.Data(), copy.Size()), "longer text");
    TBuffer moved(std::move(copy));
    EXPECT_EQ(copy.Data(), nullptr);
    EXPECT_EQ(moved.Size(), 11u);
}

TEST(Buffer, BoundedStringCopies) {
    const struct {
        const char* source;
        size_t size;
        std::string expected;
    } bounded[] = {
        {"hello", 10, "hello"},
        {"hello", 6, "hello"},
        {"hello", 5, "hell"},
        {"hello", 1, ""},
    };
    for (const auto& c : bounded) {
        char dst[16];
        std::memset(dst, '#', sizeof(dst));
        StringCopyBounded(dst, c.source, c.size);
        EXPECT_EQ(std::string(dst), c.expected);
    }
    char untouched[2] = {'#', '#'};
    StringCopyBounded(untouched, "x", 0);
    EXPECT_EQ(untouched[0], '#');

    char area[8];
    char* cursor = area;
    size_t remaining = sizeof(area);
    StringCopyAdvance(cursor, "abc", remaining);
    EXPECT_EQ(cursor, area + 3);
    EXPECT_EQ(remaining, 5u);
    StringCopyAdvance(cursor, "de", remaining);
    EXPECT_EQ(cursor, area + 5);
    EXPECT_EQ(remaining, 3u);
    StringCopyAdvance(cursor, "fghij", remaining);  // does not fit: cut to two bytes
    EXPECT_EQ(std::string(area), "abcdefg");
    EXPECT_EQ(cursor, area + 7);
    EXPECT_EQ(remaining, 0u);
    StringCopyAdvance(cursor, "more", remaining);
    EXPECT_EQ(std::string(area), "abcdefg");

    char exact[4];
    cursor = exact;
    remaining = sizeof(exact);
    StringCopyAdvance(cursor, "xyz", remaining);  // fills the area exactly
    EXPECT_EQ(std::string(exact), "xyz");
    EXPECT_EQ(cursor, exact + 3);
    EXPECT_EQ(remaining, 0u);

    void* block = MallocOrThrow(8);
    FreeMemory(block);
    FreeMemory(nullptr);
}

TEST(Buffer, SizesWhosePowerOfTwoOverflowsAreAllocationFailures) {
    TBuffer b;
    b.Append("kept", 4);
    const char* block = b.Data();
    EXPECT_THROW(b.Reserve((static_cast<size_t>(1) << 63) + 1), std::bad_alloc);
    EXPECT_THROW(b.Resize(static_cast<size_t>(-1)), std::bad_alloc);
    EXPECT_THROW(b.Append("x", static_cast<size_t>(-3)), std::bad_alloc);
    EXPECT_EQ(b.Data(), block);
    EXPECT_EQ(b.Size(), 4u);
    EXPECT_EQ(std::string(b.Data(), b.Size()), "kept");
}
