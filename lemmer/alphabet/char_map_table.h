// Unit-by-unit translation tables of the word normaliser: each UTF-16 unit is kept, replaced by
// one unit, deleted, or replaced by a string (an "exception").
#pragma once

#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace NLemmer {

struct TCharMapTranslation {
    size_t Length = 0;      // units written, the terminator not counted
    size_t Consumed = 0;    // source units read
    bool Complete = false;  // every unit of the source length was consumed
    bool Changed = false;   // some unit was replaced or deleted, or the source was cut short
};

// A table of 65536 entries: 0 deletes the unit, 0xFFFF marks a unit with an exception string,
// anything else replaces it. Because of the marker, U+FFFF itself is always deleted.
// Immutable after construction, hence thread-safe. Does not own the exception strings.
class TCharMapTable {
public:
    // All strings are 0-terminated UTF-16 or null. from[n] maps to to[n] for as long as both
    // have units; each exception key maps to the replacement of the same index; the units of
    // `del` are deleted. Later rules override earlier ones for the same unit.
    TCharMapTable(const wchar16* from, const wchar16* to, const wchar16* del = nullptr,
                  const wchar16* exceptionKeys = nullptr,
                  const wchar16* const* exceptionReplacements = nullptr);

    // Translates src[0, length) into out (at most outSize units), stopping at a 0 unit of the
    // source; writes a 0 after the output when room remains.
    TCharMapTranslation Translate(const wchar16* src, size_t length, wchar16* out,
                                  size_t outSize) const;
    // Translates the 0-terminated src into out, which must be large enough; returns the length.
    size_t Translate(const wchar16* src, wchar16* out) const;

    wchar16 Map(wchar16 unit) const {
        const wchar16* page = Pages_[unit >> 8].get();
        return page != nullptr ? page[unit & 0xFF] : unit;
    }
    // The replacement of an exception key, or null.
    const wchar16* Exception(wchar16 key) const;
    size_t ExceptionCount() const { return ExceptionCount_; }

private:
    struct TException {
        wchar16 Key;
        const wchar16* Replacement;
    };

    // Sets the entry of `unit`, making its page (identity until then) first.
    void Set(wchar16 unit, wchar16 value);

    // The entries in pages of 256 units; a page that maps every unit to itself, as most do, is
    // not made (null), so building a table writes only the pages of its rules.
    std::unique_ptr<wchar16[]> Pages_[256];
    size_t ExceptionCount_ = 0;
    std::unique_ptr<TException[]> Exceptions_;
};

}  // namespace NLemmer
