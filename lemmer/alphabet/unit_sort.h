// Ascending sort of 16-bit units: an introspective sort that leaves runs of at most 64 units to
// a final insertion sort. The dictionary compiler and the alphabet-aware composition sort the
// units of letter forms with it.
#pragma once

#include <cstddef>
#include <cstdint>

// Partitions [first, last) until every run left unsorted has at most 64 units; falls back to
// heap sort once `depthBudget` levels of recursion are used up. REQUIRES: a following
// InsertionSortUnits16 over the whole range.
void SortUnits16(uint16_t* first, uint16_t* last, int depthBudget);
void InsertionSortUnits16(uint16_t* first, uint16_t* last);
// Moves the hole down to a leaf, always towards the larger child, then lifts value back up
// while its parent is smaller: the sift of the heap-sort fallback (a max-heap of `length`).
void AdjustHeapUnits16(uint16_t* units, size_t hole, size_t length, uint16_t value);
// The two steps together, with a budget of twice the base-2 logarithm of the length.
void SortUnits(uint16_t* first, uint16_t* last);
