// The lines of the analyser's input, read in blocks and cut at the line feed of the input's
// encoding: the byte 0x0A in every byte-oriented encoding, the unit U+000A on a unit boundary
// in UTF-16 (so that the other byte of the line feed, or a character such as U+010A whose
// byte is 0x0A, never ends a line and the rest of the text keeps its unit alignment).
#pragma once

#include "util/charset/codepage.h"
#include "util/stream/input.h"

#include <cstddef>
#include <vector>

// How the line feed and the carriage return are written in an encoding.
struct TLineFeedForm {
    size_t Width = 1;        // bytes of one code unit: 1, or 2 for UTF-16
    bool BigEndian = false;  // for Width 2: the high byte comes first

    static TLineFeedForm ForCharset(ECharset code) noexcept;
};

// Reads lines from a stream it does not own. A line is delivered without its line feed, and
// without one carriage return right before it (also at the end of a last line that has no
// line feed). Not thread-safe; memory grows with the longest line.
class TLineReader {
public:
    TLineReader(TInputStream& input, TLineFeedForm form, size_t blockSize = 1 << 16);

    // The next line into `line` (its old contents are replaced); false at the end of the
    // input when nothing was read. Raises what the stream raises.
    bool Next(std::vector<char>& line);

private:
    bool Fill();
    // Offset of the first line feed unit in [data, data + size), or npos; data starts a unit.
    size_t FindLineFeed(const char* data, size_t size) const noexcept;
    // True when the unit at data is the ASCII character `ascii`.
    bool IsUnit(const char* data, char ascii) const noexcept;

    TInputStream& Input_;
    TLineFeedForm Form_;
    std::vector<char> Block_;
    size_t Begin_ = 0;  // unread bytes of the block: [Begin_, End_)
    size_t End_ = 0;
};
