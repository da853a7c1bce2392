// A word token made ready for analysis: its text in compatibility decomposition, lower-cased
// twice (view A by the default rules, view B by the Turkish rules for the dotted and dotless
// I), with the parts recorded again in each view, and per part the languages whose alphabet
// accepts it and its word shape as written.
#pragma once

#include "lemmer/alphabet/lang_mask.h"

#include "lemmer/token/token.h"

#include "util/generic/string.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace NLemmer {

// UTF-16 text with `Inline` units in place, moving to the heap only when it must grow.
template <size_t Inline>
class TInlineText {
public:
    TInlineText() = default;
    TInlineText(const TInlineText&) = delete;
    TInlineText& operator=(const TInlineText&) = delete;

    wchar16* Data() { return Heap_.empty() ? Inline_ : Heap_.data(); }
    const wchar16* Data() const { return Heap_.empty() ? Inline_ : Heap_.data(); }
    size_t Size() const { return Size_; }
    size_t Capacity() const { return Heap_.empty() ? Inline : Heap_.size(); }
    void Clear() { Size_ = 0; }
    // Makes room for `extra` more units.
    void Reserve(size_t extra);
    void Append(const wchar16* text, size_t length);
    // Room past the end for writers that then call Grow.
    wchar16* End() { return Data() + Size_; }
    void Grow(size_t written) { Size_ += written; }

private:
    wchar16 Inline_[Inline];
    std::vector<wchar16> Heap_;
    size_t Size_ = 0;
};

// One lower-cased text of a token and its parts.
struct TLowerView {
    TInlineText<256> Text;
    TTokenPart Parts[MAX_TOKEN_PARTS];
    size_t PartCount = 0;

    // Adds {start, length}; a 64th part extends the last one instead (kind PART_OVERFLOW).
    void AddPart(size_t start, size_t length);
};

struct TPartInfo {
    TLangMask Languages;  // languages with a language object whose alphabet accepts the part
    uint64_t Shape = 0;   // word-shape flags of the part as written
};

struct TPreparedToken {
    const wchar16* Text = nullptr;
    size_t Length = 0;
    TTokenPart Parts[MAX_TOKEN_PARTS];
    size_t PartCount = 0;
    TLowerView ViewA;
    TLowerView ViewB;
    TPartInfo Infos[MAX_TOKEN_PARTS];
    TLangMask LanguageUnion;
    uint64_t CommonShape = 0;
};

// Fills `prepared` from the token. Parts are clamped to the text and to what the previous part
// left; parts beyond the 63rd are merged into the 63rd.
void PrepareToken(const TTokenView& token, TPreparedToken& prepared);

// Word-shape flags of a run of parts: the first part's shape AND-ed with the others' (a
// lower-case part counts as title case too); 0x200 when no case bit remains.
uint64_t CombineShapes(const TPartInfo* infos, size_t count);

// Appends the compatibility decomposition (NFKD, marks in canonical order) of the text.
void DecomposeText(TInlineText<1024>& out, const wchar16* text, size_t length);

}  // namespace NLemmer
