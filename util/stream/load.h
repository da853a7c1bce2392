// Reading plain values from input streams, and the errors of the load layer.
//
// A plain value is stored as its in-memory bytes (little-endian x86-64 widths) and read back
// with TInputStream::Load. A stream that ends inside a value raises TLoadEOF; the dictionary
// loaders read every count and field of their data this way.
#pragma once

#include "util/generic/exception.h"
#include "util/stream/input.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

// The base of the errors met while reading stored data.
class TSerializeException : public kexception {};

// Stored data ended inside a value.
class TLoadEOF : public TSerializeException {};

// Raises TLoadEOF "can not load pod type(" + expected + ", " + got + " bytes)".
[[noreturn]] void ThrowLoadEOF(size_t expected, size_t got);

// Reads sizeof(T) bytes into value; when fewer arrive raises TLoadEOF (the value keeps the
// bytes that did arrive).
template <class T>
void LoadPodType(TInputStream& in, T& value) {
    static_assert(std::is_trivially_copyable_v<T>, "only plain values are stored as bytes");
    const size_t got = in.Load(&value, sizeof(T));
    if (got != sizeof(T)) {
        ThrowLoadEOF(sizeof(T), got);
    }
}

// Raises TLoadEOF "can not load pod array(" + expected + ", " + got + " bytes)".
[[noreturn]] void ThrowLoadArrayEOF(size_t expected, size_t got);

// Reads `count` plain values into `values`; when fewer bytes arrive raises TLoadEOF with both
// byte counts (the values keep the bytes that did arrive).
template <class T>
void LoadPodArray(TInputStream& in, T* values, size_t count) {
    static_assert(std::is_trivially_copyable_v<T>, "only plain values are stored as bytes");
    const size_t expected = sizeof(T) * count;
    const size_t got = in.Load(values, expected);
    if (got != expected) {
        ThrowLoadArrayEOF(expected, got);
    }
}

// Reads a 4-byte unsigned count and stores it zero-extended; raises TLoadEOF on a short read
// and then leaves value unchanged.
void LoadSize32(TInputStream& in, size_t& value);
