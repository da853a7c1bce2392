#include "util/digest/city_hash.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {
// One row of the reference table: the input and the seven expected words.
struct TVector {
    int LineNo = 0;
    std::string Input;
    size_t Offset = 0;
    size_t Length = 0;
    uint64_t Expected[7] = {};
};

std::vector<TVector> LoadVectors() {
    std::ifstream in(LEMMIX_SOURCE_DIR "/util/digest/testdata/cityhash-v1.0-vectors.tsv");
    EXPECT_TRUE(in.good());
    std::vector<TVector> rows;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        TVector row;
        row.LineNo = lineNo;
        std::string offset, length;
        std::getline(fields, row.Input, '\t');
        std::getline(fields, offset, '\t');
        std::getline(fields, length, '\t');
        row.Offset = std::stoul(offset);
        row.Length = std::stoul(length);
        for (uint64_t& word : row.Expected) {
            std::string hex;
            std::getline(fields, hex, '\t');
            word = std::stoull(hex, nullptr, 16);
        }
        rows.push_back(row);
    }
    return rows;
}

std::string HexText(uint64_t v) {
    char buf[17];
    snprintf(buf, sizeof(buf), "%016" PRIx64, v);
    return buf;
}
}  // namespace

// Every row of the 1.0.2 reference table: all length classes and both alignments, for the
// 64-bit, seeded and 128-bit functions. The input is copied into an exactly sized heap block
// so that the sanitizer catches any read past the end.
TEST(CityHash, MatchesReferenceVectors) {
    const std::vector<TVector> rows = LoadVectors();
    ASSERT_EQ(rows.size(), 615u);

    std::vector<char> buf(1025);
    for (size_t i = 0; i < buf.size(); ++i) {
        buf[i] = static_cast<char>((i * 7 + 3) % 251);
    }

    const uint64_t seed = 0x0123456789abcdefULL;
    const uint64_t seed1 = 0xfedcba9876543210ULL;
    size_t failures = 0;
    for (const TVector& row : rows) {
        std::vector<char> input;
        if (row.Input == "buf") {
            ASSERT_LE(row.Offset + row.Length, buf.size());
            input.assign(buf.begin() + row.Offset, buf.begin() + row.Offset + row.Length);
        } else {
            ASSERT_EQ(row.Input.compare(0, 5, "text:"), 0) << "line " << row.LineNo;
            input.assign(row.Input.begin() + 5, row.Input.end());
            ASSERT_EQ(input.size(), row.Length);
        }
        const char* s = input.empty() ? "" : input.data();
        const size_t n = input.size();
        const uint128 h128 = CityHash128(s, n);
        const uint128 h128s = CityHash128WithSeed(s, n, uint128(seed, seed1));
        const uint64_t got[7] = {CityHash64(s, n),
                                 CityHash64WithSeed(s, n, seed),
                                 CityHash64WithSeeds(s, n, seed, seed1),
                                 Uint128Low64(h128),
                                 Uint128High64(h128),
                                 Uint128Low64(h128s),
                                 Uint128High64(h128s)};
        static const char* const names[7] = {
            "CityHash64",     "CityHash64WithSeed",     "CityHash64WithSeeds",   "CityHash128.lo",
            "CityHash128.hi", "CityHash128WithSeed.lo", "CityHash128WithSeed.hi"};
        for (int col = 0; col < 7; ++col) {
            if (got[col] != row.Expected[col]) {
                ++failures;
                ADD_FAILURE() << names[col] << " line " << row.LineNo << " offset " << row.Offset
                              << " length " << row.Length << ": got " << HexText(got[col])
                              << ", want " << HexText(row.Expected[col]);
            }
        }
        if (failures > 40) {
            FAIL() << "too many mismatches";
        }
    }
}

TEST(CityHash, EmptyInputHashesToK2) {
    EXPECT_EQ(CityHash64(nullptr, 0), 0x9ae16a3b2f90404fULL);
}
