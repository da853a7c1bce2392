#include "util/generic/random.h"

#include "util/generic/exception.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <thread>
#include <vector>

namespace {

// A copy of the calling thread's generators predicts what the next draws see.
TEST(RandomNumberTest, UnboundedDrawsComeFromTheThreadGenerators) {
    TRndGen<unsigned long> next64 = ThreadRandom64();
    TRndGen<unsigned int> next32 = ThreadRandom32();
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(RandomNumber<unsigned long>(), next64.GenRand());
        EXPECT_EQ(RandomNumber<unsigned long long>(), next64.GenRand());
        EXPECT_EQ(RandomNumber<unsigned int>(), next32.GenRand());
        EXPECT_EQ(RandomNumber<unsigned short>(), static_cast<unsigned short>(next32.GenRand()));
        EXPECT_EQ(RandomNumber<unsigned char>(), static_cast<unsigned char>(next32.GenRand()));
        // true exactly when the lowest bit is 0
        EXPECT_EQ(RandomNumber<bool>(), (next32.GenRand() & 1) == 0);
    }
}

TEST(RandomNumberTest, FloatingPointDrawsAreInTheUnitInterval) {
    TRndGen<unsigned long> next64 = ThreadRandom64();
    for (int i = 0; i < 200; ++i) {
        const float f = RandomNumber<float>();
        const unsigned long x = next64.GenRand();
        EXPECT_EQ(f, static_cast<float>(std::ldexp(static_cast<double>(x >> 11), -53)));
        const double d = RandomNumber<double>();
        EXPECT_EQ(d,
                  static_cast<double>(std::ldexp(static_cast<long double>(next64.GenRand()), -64)));
    }
    for (int i = 0; i < 100000; ++i) {
        const float f = RandomNumber<float>();
        ASSERT_GE(f, 0.0f);
        ASSERT_LT(f, 1.0f);
        const double d = RandomNumber<double>();
        ASSERT_GE(d, 0.0);
        ASSERT_LT(d, 1.0);
        const long double ld = RandomNumber<long double>();
        ASSERT_LT(ld, 1.0L);
    }
}

TEST(RandomNumberTest, BoundOfOneGivesZeroFromOneOutput) {
    TRndGen<unsigned long> next64 = ThreadRandom64();
    TRndGen<unsigned int> next32 = ThreadRandom32();
    EXPECT_EQ(RandomNumber<unsigned long>(1UL), 0u);
    EXPECT_EQ(RandomNumber<unsigned int>(1U), 0u);
    next64.GenRand();
    next32.GenRand();
    EXPECT_EQ(RandomNumber<unsigned long>(), next64.GenRand());
    EXPECT_EQ(RandomNumber<unsigned int>(), next32.GenRand());
}

template <class T>
void ExpectCoversTheRange(T n, int draws) {
    std::vector<int> seen(n, 0);
    for (int i = 0; i < draws; ++i) {
        const T x = RandomNumber<T>(n);
        ASSERT_LT(x, n);
        ++seen[x];
    }
    for (T v = 0; v < n; ++v) {
        EXPECT_GT(seen[v], 0) << "value " << static_cast<unsigned long>(v) << " of "
                              << static_cast<unsigned long>(n);
    }
}

TEST(RandomNumberTest, BoundedDrawsReachEveryValueBelowTheBound) {
    // Bounds that do not divide the type's range; for the narrow types the rejection threshold
    // must be taken in their own width, or the top of the range is never drawn.
    ExpectCoversTheRange<unsigned char>(200, 20000);
    ExpectCoversTheRange<unsigned char>(255, 20000);
    ExpectCoversTheRange<unsigned short>(1000, 100000);
    ExpectCoversTheRange<unsigned int>(777, 100000);
    ExpectCoversTheRange<unsigned long>(999, 100000);
    ExpectCoversTheRange<unsigned long long>(3, 1000);
}

TEST(RandomNumberTest, ZeroBoundIsAnError) {
    EXPECT_THROW(RandomNumber<unsigned int>(0U), kexception);
    EXPECT_THROW(RandomNumber<unsigned char>(0), kexception);
    EXPECT_THROW(RandomNumber<unsigned long>(0UL), kexception);
}

TEST(RandomNumberTest, EachThreadHasItsOwnSeededGenerators) {
    std::vector<unsigned long> firsts(4);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < firsts.size(); ++i) {
        threads.emplace_back([&, i] { firsts[i] = RandomNumber<unsigned long>(); });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(std::set<unsigned long>(firsts.begin(), firsts.end()).size(), firsts.size());
}

}  // namespace
