#include "lemmer/alphabet/unit_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

TEST(UnitSort, SortsLikeTheStandardSort) {
    std::mt19937 random(12345);
    for (size_t n : {0, 1, 2, 63, 64, 65, 200, 1000, 5000}) {
        for (uint16_t range : {uint16_t(3), uint16_t(0xFFFF)}) {
            std::vector<uint16_t> units(n);
            for (uint16_t& u : units) {
                u = static_cast<uint16_t>(random() % (uint32_t(range) + 1));
            }
            std::vector<uint16_t> expected = units;
            std::sort(expected.begin(), expected.end());
            SortUnits(units.data(), units.data() + n);
            EXPECT_EQ(units, expected) << n << " " << range;
        }
    }
}

TEST(UnitSort, HeapFallbackAndShortRuns) {
    std::vector<uint16_t> units(300);
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<uint16_t>((i * 7919) % 301);
    }
    std::vector<uint16_t> expected = units;
    std::sort(expected.begin(), expected.end());
    // No budget: the whole range goes through the heap sort.
    SortUnits16(units.data(), units.data() + units.size(), 0);
    EXPECT_EQ(units, expected);

    // 64 units or fewer are left to the insertion sort alone.
    std::vector<uint16_t> shortRun = {5, 4, 3, 2, 1};
    SortUnits16(shortRun.data(), shortRun.data() + shortRun.size(), 0);
    EXPECT_EQ(shortRun, (std::vector<uint16_t>{5, 4, 3, 2, 1}));
    InsertionSortUnits16(shortRun.data(), shortRun.data() + shortRun.size());
    EXPECT_EQ(shortRun, (std::vector<uint16_t>{1, 2, 3, 4, 5}));
}

TEST(UnitSort, AdjustHeapKeepsAMaxHeap) {
    // A max-heap whose root is replaced by a small value.
    std::vector<uint16_t> heap = {90, 80, 70, 50, 60, 65, 10, 40};
    AdjustHeapUnits16(heap.data(), 0, heap.size(), 55);
    EXPECT_TRUE(std::is_heap(heap.begin(), heap.end()));
    EXPECT_EQ(heap[0], 80);
    EXPECT_EQ(std::count(heap.begin(), heap.end(), 55), 1);
    EXPECT_EQ(std::count(heap.begin(), heap.end(), 90), 0);
}
