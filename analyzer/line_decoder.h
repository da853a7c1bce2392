// Turns a line of the analyser's input into UTF-16 according to the input encoding: single-byte
// pages through their byte tables, UTF-8 strictly (malformed input ends the run), every other
// page through iconv, which leaves out invalid input.
#pragma once

#include "util/charset/codepage.h"
#include "util/charset/iconv.h"
#include "util/generic/string.h"

#include <cstddef>
#include <memory>
#include <vector>

// One decoder serves a whole run; the iconv converter is opened with the first line that needs
// it and returned to its initial state after every line, so nothing carries over between lines.
// Not thread-safe.
class TLineDecoder {
public:
    // Raises kexception "Invalid charset code " + code for a code outside 0 to 112.
    explicit TLineDecoder(ECharset code);
    ~TLineDecoder();

    // Replaces `units` with the UTF-16 form of bytes[0, length). In an iconv encoding an
    // incomplete character at the end of the line is dropped. Raises the message of
    // DecodeUtf8 for malformed UTF-8, "Can not convert from <name> to UTF-16LE" when iconv has
    // no converter for the page and "Unknown iconv error" for any other iconv failure.
    void Decode(const char* bytes, size_t length, std::vector<wchar16>& units);

private:
    void DecodeUtf8Line(const char* bytes, size_t length, std::vector<wchar16>& units);
    void DecodeWithIconv(const char* bytes, size_t length, std::vector<wchar16>& units);

    const CodePage& Page_;
    std::unique_ptr<TIconvConverter> Converter_;
};
