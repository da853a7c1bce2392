// Conversion between multibyte encodings through the C library's iconv.
//
// TIconvConverter is the one place the system calls iconv. It leaves out invalid input and
// characters the target cannot hold and goes on converting, so that a stray byte costs one
// character, not the rest of the text. It is used by the recoders here and by every reader and
// writer of multibyte text (the analysis driver, the printer, the dictionary compiler).
//
// TIconvHandle and RecodeWithIconv are the charset-code forms of the same service.
#pragma once

#include "util/charset/codepage.h"
#include "util/generic/string.h"

#include <cstddef>
#include <memory>

class TIconvLayer;

// One conversion descriptor from one encoding name to another. Not thread-safe; use one
// converter per thread. Names are passed to iconv as they are, except that the names of the
// 1999 and 2001 editions of Big5-HKSCS open the current Big5-HKSCS converter, ISO-2022-JP-1
// is read by the ISO-2022-JP-2 converter, and HZ, and the writing of ISO-2022-JP-1, which
// glibc lacks, go through layers of our own (iconv_layers.h). ISO-2022-CN-EXT and CP949 are
// read without glibc's skipping, which steps past their input: read them into Unicode only,
// since a character the target lacks would be skipped a byte at a time.
class TIconvConverter {
public:
    enum EStatus {
        Done,        // all input converted
        Incomplete,  // the input ends inside a character; that tail is left unread
        OutputFull,  // the output has no room for the next character
        Failed,      // any other iconv error
    };

    TIconvConverter(const char* to, const char* from);
    ~TIconvConverter();

    TIconvConverter(const TIconvConverter&) = delete;
    TIconvConverter& operator=(const TIconvConverter&) = delete;

    // False when iconv cannot convert between the two names.
    bool Valid() const noexcept { return Handle_ != nullptr || Layer_ != nullptr; }

    // Converts from [src, src + srcLeft) into [dst, dst + dstLeft), advancing both and
    // lowering the counts. REQUIRES: Valid().
    EStatus Convert(const char*& src, size_t& srcLeft, char*& dst, size_t& dstLeft);

    // Writes what a stateful target (ISO-2022-JP, ISO-2022-KR, ...) needs to end its text in
    // the initial shift state, so that text written after it reads as it should. Done, or
    // OutputFull when that does not fit (nothing is then written). REQUIRES: Valid().
    EStatus Finish(char*& dst, size_t& dstLeft);

    // The name iconv knows for an encoding name of the code-page table.
    static const char* IconvName(const char* name) noexcept;

    // True for the encodings (by iconv's name) that are read without glibc's skipping.
    static bool ReadsWithoutSkipping(const char* name) noexcept;

private:
    void* Handle_ = nullptr;              // null when iconv could not open the conversion
    std::unique_ptr<TIconvLayer> Layer_;  // set instead for an encoding glibc lacks
};

// A converter between two charset codes, by their canonical names.
class TIconvHandle {
public:
    // REQUIRES: both codes 0 to 112 (raises as CodePageRegistry otherwise).
    TIconvHandle(ECharset from, ECharset to);

    bool Valid() const noexcept { return Converter_.Valid(); }
    TIconvConverter& Converter() noexcept { return Converter_; }

private:
    TIconvConverter Converter_;
};

// Converts from the page `code` into the encoding `other` (or, with `fromOther`, from `other`
// into the page), with invalid input and unmappable characters left out. read and written
// report the bytes consumed and produced; input that ends inside a character leaves that tail
// unread. Raises kexception "Can not convert from " + source name + " to " + target name when
// iconv has no such conversion, "Iconv error: output buffer is too small" when the output
// fills up and "Unknown iconv error" for any other iconv failure. A stateful target's text is
// ended in its initial shift state.
void RecodeWithIconv(ECharset code, const char* other, const char* src, char* dst, size_t srcLen,
                     size_t dstLen, size_t& read, size_t& written, bool fromOther = false);

// The same over the whole of [src, src + srcLen) into a string that grows as needed, so that
// a full output is never an error; an incomplete last character is left out.
Stroka RecodeWithIconv(ECharset code, const char* other, const char* src, size_t srcLen,
                       bool fromOther = false);
