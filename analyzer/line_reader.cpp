#include "analyzer/line_reader.h"

#include <cstring>

namespace {
constexpr size_t NotFound = static_cast<size_t>(-1);
}  // namespace

TLineFeedForm TLineFeedForm::ForCharset(ECharset code) noexcept {
    if (code == CODES_UTF16LE) {
        return {2, false};
    }
    if (code == CODES_UTF16BE) {
        return {2, true};
    }
    return {1, false};
}

TLineReader::TLineReader(TInputStream& input, TLineFeedForm form, size_t blockSize)
    : Input_(input), Form_(form), Block_(blockSize == 0 ? 1 : blockSize) {}

bool TLineReader::Fill() {
    Begin_ = 0;
    End_ = Input_.Read(Block_.data(), Block_.size());
    return End_ != 0;
}

size_t TLineReader::FindLineFeed(const char* data, size_t size) const noexcept {
    if (Form_.Width == 1) {
        const void* found = std::memchr(data, '\n', size);
        return found ? static_cast<size_t>(static_cast<const char*>(found) - data) : NotFound;
    }
    for (size_t i = 0; i + 1 < size; i += 2) {
        if (IsUnit(data + i, '\n')) {
            return i;
        }
    }
    return NotFound;
}

bool TLineReader::IsUnit(const char* data, char ascii) const noexcept {
    if (Form_.Width == 1) {
        return data[0] == ascii;
    }
    const size_t low = Form_.BigEndian ? 1 : 0;
    return data[low] == ascii && data[1 - low] == '\0';
}

bool TLineReader::Next(std::vector<char>& line) {
    line.clear();
    bool any = false;
    const size_t width = Form_.Width;
    while (Begin_ != End_ || Fill()) {
        any = true;
        if (line.size() % width != 0) {
            // A unit cut by the end of the last block: complete it first.
            line.push_back(Block_[Begin_++]);
            if (line.size() % width == 0 && IsUnit(line.data() + line.size() - width, '\n')) {
                line.resize(line.size() - width);
                break;
            }
            continue;
        }
        const char* begin = Block_.data() + Begin_;
        const size_t at = FindLineFeed(begin, End_ - Begin_);
        if (at != NotFound) {
            line.insert(line.end(), begin, begin + at);
            Begin_ += at + width;
            break;
        }
        line.insert(line.end(), begin, begin + (End_ - Begin_));
        Begin_ = End_;
    }
    if (!any) {
        return false;
    }
    const size_t size = line.size();
    if (size >= width && size % width == 0 && IsUnit(line.data() + size - width, '\r')) {
        line.resize(size - width);
    }
    return true;
}
