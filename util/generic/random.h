// Random numbers from the calling thread's generators: an MT19937-64 and an MT19937 per thread,
// each seeded once from the process-wide entropy stream on its first use in that thread.
//
// RandomNumber<T>() draws a whole value (unsigned integers), a value in [0, 1) (floating
// point) or a fair bool; RandomNumber<T>(n) draws uniformly from [0, n) by rejection and raises
// kexception for n = 0. Thread-safe without locks: each thread has its own generators.
#pragma once

#include "util/generic/mersenne.h"

template <class T>
T RandomNumber();

template <class T>
T RandomNumber(T n);

template <>
unsigned long RandomNumber<unsigned long>();
template <>
unsigned long long RandomNumber<unsigned long long>();
template <>
unsigned int RandomNumber<unsigned int>();
template <>
unsigned short RandomNumber<unsigned short>();
template <>
unsigned char RandomNumber<unsigned char>();
template <>
float RandomNumber<float>();
template <>
double RandomNumber<double>();
template <>
long double RandomNumber<long double>();
template <>
bool RandomNumber<bool>();

template <>
unsigned long RandomNumber<unsigned long>(unsigned long n);
template <>
unsigned long long RandomNumber<unsigned long long>(unsigned long long n);
template <>
unsigned int RandomNumber<unsigned int>(unsigned int n);
template <>
unsigned short RandomNumber<unsigned short>(unsigned short n);
template <>
unsigned char RandomNumber<unsigned char>(unsigned char n);

// The calling thread's generators, for callers that draw many values at once.
TRndGen<unsigned long>& ThreadRandom64();
TRndGen<unsigned int>& ThreadRandom32();
