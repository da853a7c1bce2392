// Encodings glibc's iconv lacks, built as thin layers over converters it has.
//
// HZ is GB2312 written in 7 bits between "~{" and "~}", with "~~" for "~" and "~" + line feed
// for a line joined to the next; its GB2312 part goes through glibc's EUC-CN. ISO-2022-JP-1 is
// ISO-2022-JP with JIS X 0212 (ESC $ ( D) added: it is read by glibc's ISO-2022-JP-2, a
// superset, and written here with only its own sets (ASCII, JIS X 0201 Roman, JIS X 0208 and
// JIS X 0212, looked up through glibc's EUC-JP), leaving out what they cannot hold.
//
// TIconvConverter opens a layer on its own when it is given one of these names; nothing else
// uses this header.
#pragma once

#include "util/charset/iconv.h"

#include <cstddef>
#include <memory>

// One conversion with a layered encoding on one side; behaves as TIconvConverter's Convert and
// Finish do (invalid input and characters the target lacks are left out; Finish ends the text
// in the initial shift state). Not thread-safe.
class TIconvLayer {
public:
    virtual ~TIconvLayer() = default;

    virtual bool Valid() const noexcept = 0;
    virtual TIconvConverter::EStatus Convert(const char*& src, size_t& srcLeft, char*& dst,
                                             size_t& dstLeft) = 0;
    virtual TIconvConverter::EStatus Finish(char*& dst, size_t& dstLeft) = 0;
};

// The layer that converts from `from` to `to` when `to` is HZ or ISO-2022-JP-1, or `from` is
// HZ; null for any other pair, and when iconv cannot open the other side.
std::unique_ptr<TIconvLayer> OpenIconvLayer(const char* to, const char* from);

// The name glibc reads an encoding under: ISO-2022-JP-1 is read as ISO-2022-JP-2.
const char* IconvDecoderName(const char* name) noexcept;
