// Introspective sort of 16-bit units.
#include "lemmer/alphabet/unit_sort.h"

#include <utility>

namespace {

constexpr ptrdiff_t INSERTION_THRESHOLD = 64;

uint16_t MedianOfThree(uint16_t a, uint16_t b, uint16_t c) {
    if (a < b) {
        return b < c ? b : (a < c ? c : a);
    }
    return a < c ? a : (b < c ? c : b);
}

void HeapSort(uint16_t* first, uint16_t* last) {
    const size_t n = static_cast<size_t>(last - first);
    for (size_t parent = n / 2; parent-- > 0;) {
        AdjustHeapUnits16(first, parent, n, first[parent]);
    }
    for (size_t end = n; end > 1; --end) {
        const uint16_t value = first[end - 1];
        first[end - 1] = first[0];
        AdjustHeapUnits16(first, 0, end - 1, value);
    }
}

// Hoare partition around the pivot value; returns the start of the right part.
uint16_t* Partition(uint16_t* first, uint16_t* last, uint16_t pivot) {
    for (;;) {
        while (*first < pivot) {
            ++first;
        }
        --last;
        while (pivot < *last) {
            --last;
        }
        if (!(first < last)) {
            return first;
        }
        std::swap(*first, *last);
        ++first;
    }
}

}  // namespace

void AdjustHeapUnits16(uint16_t* units, size_t holeIndex, size_t length, uint16_t value) {
    const ptrdiff_t len = static_cast<ptrdiff_t>(length);
    const ptrdiff_t top = static_cast<ptrdiff_t>(holeIndex);
    ptrdiff_t hole = top;
    ptrdiff_t child = hole;
    while (child < (len - 1) / 2) {
        child = 2 * (child + 1);
        if (units[child] < units[child - 1]) {
            --child;
        }
        units[hole] = units[child];
        hole = child;
    }
    // A last parent with a single child.
    if ((len & 1) == 0 && len >= 2 && child == (len - 2) / 2) {
        child = 2 * (child + 1);
        units[hole] = units[child - 1];
        hole = child - 1;
    }
    ptrdiff_t parent = (hole - 1) / 2;
    while (hole > top && units[parent] < value) {
        units[hole] = units[parent];
        hole = parent;
        parent = (hole - 1) / 2;
    }
    units[hole] = value;
}

void SortUnits16(uint16_t* first, uint16_t* last, int depthBudget) {
    while (last - first > INSERTION_THRESHOLD) {
        if (depthBudget == 0) {
            HeapSort(first, last);
            return;
        }
        --depthBudget;
        const uint16_t pivot = MedianOfThree(*first, first[(last - first) / 2], last[-1]);
        uint16_t* cut = Partition(first, last, pivot);
        SortUnits16(cut, last, depthBudget);
        last = cut;
    }
}

void InsertionSortUnits16(uint16_t* first, uint16_t* last) {
    if (first == last) {
        return;
    }
    for (uint16_t* i = first + 1; i < last; ++i) {
        const uint16_t value = *i;
        uint16_t* j = i;
        while (j > first && value < j[-1]) {
            *j = j[-1];
            --j;
        }
        *j = value;
    }
}

void SortUnits(uint16_t* first, uint16_t* last) {
    int budget = 0;
    for (ptrdiff_t n = last - first; n > 1; n >>= 1) {
        budget += 2;
    }
    SortUnits16(first, last, budget);
    InsertionSortUnits16(first, last);
}
