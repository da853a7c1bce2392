// Test helper: one call of Recode into an output of a given size, with what it wrote, read and
// returned in one comparable value; a guard byte behind the output catches a write past it.
#pragma once

#include "util/charset/recode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace NRecodeTesting {

struct TResult {
    RECODE_RESULT Status;
    size_t Read;
    std::string Out;

    bool operator==(const TResult&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TResult& r) {
    out << "{" << r.Status << ", read " << r.Read << ", \"";
    for (unsigned char c : r.Out) {
        char buf[4];
        snprintf(buf, sizeof(buf), "%02X ", c);
        out << buf;
    }
    return out << "\"}";
}

inline TResult RunRecode(ECharset from, ECharset to, const std::string& src, size_t dstLen) {
    std::vector<char> dst(dstLen + 1, '\x7E');
    size_t read = 77, written = 77;
    const RECODE_RESULT status =
        Recode(from, to, src.data(), dst.data(), src.size(), dstLen, read, written);
    EXPECT_EQ(dst[dstLen], '\x7E') << "wrote past the output";
    return {status, read, std::string(dst.data(), written)};
}

}  // namespace NRecodeTesting
