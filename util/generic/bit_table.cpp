#include "util/generic/bit_table.h"

#include <array>

namespace {

constexpr std::array<unsigned char, 256> MakePopulationTable() {
    std::array<unsigned char, 256> table{};
    for (unsigned i = 1; i < 256; ++i) {
        table[i] = static_cast<unsigned char>((i & 1) + table[i >> 1]);
    }
    return table;
}

constexpr std::array<unsigned char, 256> MakeLowestBitTable() {
    std::array<unsigned char, 256> table{};
    for (unsigned i = 1; i < 256; ++i) {
        unsigned bit = 0;
        while (!((i >> bit) & 1)) {
            ++bit;
        }
        table[i] = static_cast<unsigned char>(bit);
    }
    return table;
}

constexpr auto kPopulation = MakePopulationTable();
constexpr auto kLowestBit = MakeLowestBitTable();

}  // namespace

uint64_t PopCount(const unsigned char* begin, const unsigned char* end) {
    uint64_t count = 0;
    for (const unsigned char* p = begin; p < end; ++p) {
        count += kPopulation[*p];
    }
    return count;
}

unsigned LowestBitIndex(unsigned value) {
    return kLowestBit[value & 0xFF];
}
