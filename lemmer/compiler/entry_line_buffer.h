// The line buffer of the entry parser: one fixed block that holds every byte and unit of the
// entry being read, so that reading an entry allocates nothing. Internal to the parser.
#pragma once

#include "lemmer/compiler/entry_parser.h"

#include <cstddef>
#include <memory>

class TEntryParser::TLineBuffer {
public:
    explicit TLineBuffer(size_t size) : Data_(new char[size]), Size_(size) {}

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
    size_t LeftUnits() const noexcept { return Left() / sizeof(wchar16); }

private:
    std::unique_ptr<char[]> Data_;
    size_t Size_;
    size_t Filled_ = 0;
};
