// The line buffer of the entry parser: one fixed block that holds every byte and unit of the
// entry being read, so that reading an entry allocates nothing. Internal to the parser.
#pragma once

#include "lemmer/compiler/entry_parser.h"

#include <cstddef>
#include <cstring>
#include <memory>

class TEntryParser::TLineBuffer {
public:
    // One byte more than the size: units that must start one byte on still find the room that
    // Left() / 2 promises (see UnitRoom).
    explicit TLineBuffer(size_t size) : Data_(new char[size + 1]), Size_(size) {}

    char* Data() const noexcept { return Data_.get(); }
    char* Current() const noexcept { return Data_.get() + Filled_; }
    size_t Filled() const noexcept { return Filled_; }
    size_t Left() const noexcept { return Size_ - Filled_; }
    void Proceed(size_t n) noexcept { Filled_ += n; }
    void SetPos(size_t n) noexcept { Filled_ = n; }
    void Reset() noexcept { Filled_ = 0; }
    // Moves to an even position so that UTF-16 units can follow; false when there is no room.
    bool AlignForUnits() noexcept {
        if (Filled_ % 2 == 0) {
            return true;
        }
        if (Filled_ == Size_) {
            return false;
        }
        ++Filled_;
        return true;
    }
    wchar16* CurrentUnits() const noexcept { return reinterpret_cast<wchar16*>(Current()); }
    // Room for Left() / 2 units at an even position: the current one, or the byte after it.
    wchar16* UnitRoom() const noexcept {
        return reinterpret_cast<wchar16*>(Data_.get() + (Filled_ + 1) / 2 * 2);
    }
    // Commits n units written at UnitRoom() after the raw bytes of a line (at least one byte,
    // just proceeded). Units written one byte on move back over the last raw byte, which the
    // conversion no longer needs: a line takes its bytes and its units and nothing more, so the
    // free space of the next line is exactly what remains.
    wchar16* CommitLineUnits(size_t n) noexcept {
        char* room = reinterpret_cast<char*>(UnitRoom());
        char* at = room == Current() ? room : Current() - 1;
        std::memmove(at, room, n * sizeof(wchar16));
        Filled_ += n * sizeof(wchar16);
        return reinterpret_cast<wchar16*>(at);
    }
    size_t LeftUnits() const noexcept { return Left() / sizeof(wchar16); }

private:
    std::unique_ptr<char[]> Data_;
    size_t Size_;
    size_t Filled_ = 0;
};
