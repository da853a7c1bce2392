// Per-thread generators and the conversions of their output to every drawable type.
#include "util/generic/random.h"

#include "util/generic/exception.h"
#include "util/system/entropy.h"
#include "util/system/tls.h"

#include <cmath>
#include <limits>
#include <new>

namespace {
// Builds a thread's generator seeded with sixteen words from the entropy stream.
template <class TWord>
class TSeededConstructor : public NTls::TValue<TRndGen<TWord>>::TConstructor {
public:
    TRndGen<TWord>* Construct(void* memory) const override {
        TWord key[16] = {};
        EntropySource().Load(key, sizeof(key));
        TRndGen<TWord>* generator = ::new (memory) TRndGen<TWord>();
        generator->SeedByArray(key, 16);
        return generator;
    }
};

template <class TWord>
TRndGen<TWord>& ThreadGenerator() {
    static NTls::TValue<TRndGen<TWord>> generators(new TSeededConstructor<TWord>());
    return generators.Get();
}

// Uniform in [0, n): values at or above the largest multiple of n that T holds are drawn
// again, so that every remainder is equally likely.
template <class T, class TDraw>
T Bounded(T n, TDraw draw) {
    if (n == 0) {
        throw kexception() << "RandomNumber: the bound is zero";
    }
    constexpr T largest = std::numeric_limits<T>::max();
    const T threshold = largest - largest % n;
    for (;;) {
        const T x = draw();
        if (x < threshold) {
            return x % n;
        }
    }
}

unsigned long Draw64() {
    return ThreadGenerator<unsigned long>().GenRand();
}

unsigned int Draw32() {
    return ThreadGenerator<unsigned int>().GenRand();
}
}  // namespace

TRndGen<unsigned long>& ThreadRandom64() {
    return ThreadGenerator<unsigned long>();
}

TRndGen<unsigned int>& ThreadRandom32() {
    return ThreadGenerator<unsigned int>();
}

template <>
unsigned long RandomNumber<unsigned long>() {
    return Draw64();
}

template <>
unsigned long long RandomNumber<unsigned long long>() {
    return Draw64();
}

template <>
unsigned int RandomNumber<unsigned int>() {
    return Draw32();
}

template <>
unsigned short RandomNumber<unsigned short>() {
    return static_cast<unsigned short>(Draw32());
}

template <>
unsigned char RandomNumber<unsigned char>() {
    return static_cast<unsigned char>(Draw32());
}

template <>
float RandomNumber<float>() {
    for (;;) {
        const float value =
            static_cast<float>(std::ldexp(static_cast<double>(Draw64() >> 11), -53));
        if (value < 1.0f) {
            return value;
        }
    }
}

template <>
double RandomNumber<double>() {
    // Rounding to double can carry the largest outputs up to 1.0; those are drawn again.
    for (;;) {
        const double value =
            static_cast<double>(std::ldexp(static_cast<long double>(Draw64()), -64));
        if (value < 1.0) {
            return value;
        }
    }
}

template <>
long double RandomNumber<long double>() {
    return RandomNumber<double>();
}

template <>
bool RandomNumber<bool>() {
    return (Draw32() & 1) == 0;
}

template <>
unsigned long RandomNumber<unsigned long>(unsigned long n) {
    return Bounded<unsigned long>(n, Draw64);
}

template <>
unsigned long long RandomNumber<unsigned long long>(unsigned long long n) {
    return Bounded<unsigned long long>(n, Draw64);
}

template <>
unsigned int RandomNumber<unsigned int>(unsigned int n) {
    return Bounded<unsigned int>(n, Draw32);
}

template <>
unsigned short RandomNumber<unsigned short>(unsigned short n) {
    return Bounded<unsigned short>(n, [] { return static_cast<unsigned short>(Draw32()); });
}

template <>
unsigned char RandomNumber<unsigned char>(unsigned char n) {
    return Bounded<unsigned char>(n, [] { return static_cast<unsigned char>(Draw32()); });
}
