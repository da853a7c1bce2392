#include "lemmer/analysis/prepared_token.h"

#include "lemmer/alphabet/alphabet_registry.h"
#include "lemmer/alphabet/unicode_services.h"
#include "lemmer/analysis/language_registry.h"

#include <algorithm>
#include <cstring>

namespace NLemmer {

template <size_t Inline>
void TInlineText<Inline>::Reserve(size_t extra) {
    const size_t needed = Size_ + extra;
    if (needed <= Capacity()) {
        return;
    }
    std::vector<wchar16> bigger(std::max(needed, 2 * Capacity()));
    std::memcpy(bigger.data(), Data(), Size_ * sizeof(wchar16));
    Heap_.swap(bigger);
}

template <size_t Inline>
void TInlineText<Inline>::Append(const wchar16* text, size_t length) {
    Reserve(length);
    if (length != 0) {
        std::memcpy(End(), text, length * sizeof(wchar16));
    }
    Size_ += length;
}

template class TInlineText<256>;
template class TInlineText<1024>;

void TLowerView::AddPart(size_t start, size_t length) {
    if (PartCount == MAX_TOKEN_PARTS) {
        TTokenPart& last = Parts[PartCount - 1];
        const uint64_t pos = std::min<uint64_t>(last.Pos, start + length);
        last = TTokenPart();
        last.Pos = pos;
        last.Len = start + length - pos;
        last.Kind = PART_OVERFLOW;
        return;
    }
    TTokenPart& p = Parts[PartCount++];
    p = TTokenPart();
    p.Pos = start;
    p.Len = length;
}

void DecomposeText(TInlineText<1024>& out, const wchar16* text, size_t length) {
    if (length == 0) {
        return;
    }
    // A code point decomposes into at most 18 code points; try the room we have first.
    size_t room = std::max(length, out.Capacity() - out.Size());
    for (;;) {
        out.Reserve(room);
        const TUnicodeNormResult r = DecomposeWord(text, length, out.End(), room);
        if (r.Complete) {
            out.Grow(r.Length);
            return;
        }
        room = std::max(2 * room, 18 * 2 * length);
    }
}

namespace {

void AppendLower(TLowerView& view, const TAlphabetWordNormalizer* normalizer, const wchar16* text,
                 size_t length) {
    const size_t start = view.Text.Size();
    view.Text.Reserve(length);
    const size_t written =
        length == 0 ? 0 : normalizer->ToLower(text, length, view.Text.End(), length).Length;
    view.Text.Grow(std::min(written, length));
    view.AddPart(start, view.Text.Size() - start);
}

void AppendGap(TPreparedToken& p, TInlineText<1024>& scratch, const wchar16* text, size_t length) {
    if (length == 0) {
        return;
    }
    scratch.Clear();
    DecomposeText(scratch, text, length);
    p.ViewA.Text.Append(scratch.Data(), scratch.Size());
    p.ViewB.Text.Append(scratch.Data(), scratch.Size());
}

}  // namespace

uint64_t CombineShapes(const TPartInfo* infos, size_t count) {
    if (count == 0) {
        return 0;
    }
    uint64_t shape = infos[0].Shape;
    for (size_t i = 1; i < count; ++i) {
        const uint64_t s = infos[i].Shape;
        shape &= (s & WCC_LOWER) ? s | WCC_TITLE : s;
    }
    if ((shape & (WCC_TITLE | WCC_NO_LOWER | WCC_LOWER)) == 0) {
        shape |= WCC_MIXED;
    }
    return shape;
}

void PrepareToken(const TTokenView& token, TPreparedToken& p) {
    p.Text = token.Text;
    p.Length = token.Text != nullptr ? token.Length : 0;
    p.PartCount = 0;
    p.ViewA.Text.Clear();
    p.ViewB.Text.Clear();
    p.ViewA.PartCount = 0;
    p.ViewB.PartCount = 0;
    p.LanguageUnion.Reset();
    p.CommonShape = 0;

    // The private part list: inside the text, in order, at most 63.
    uint64_t previousEnd = 0;
    for (const TTokenPart& in : token.Parts) {
        const uint64_t start = std::clamp<uint64_t>(in.Pos, previousEnd, p.Length);
        const uint64_t end =
            std::clamp<uint64_t>(in.Pos + std::min(in.Len, p.Length), start, p.Length);
        if (p.PartCount == MAX_TOKEN_PARTS) {
            TTokenPart& last = p.Parts[p.PartCount - 1];
            last.Len = end - last.Pos;
            last.Kind = PART_OVERFLOW;
        } else {
            TTokenPart& out = p.Parts[p.PartCount++];
            out = in;
            out.Pos = start;
            out.Len = end - start;
        }
        previousEnd = end;
    }

    const TAlphabetWordNormalizer* lowerA = GetAlphabetWordNormalizer(0);
    const TAlphabetWordNormalizer* lowerB = GetAlphabetWordNormalizer(44);
    if (lowerB == nullptr) {
        lowerB = lowerA;
    }
    const TLangMask registered = GetRegisteredLanguages().Mask;
    p.ViewA.Text.Reserve(p.Length);
    p.ViewB.Text.Reserve(p.Length);
    TInlineText<1024> scratch;
    size_t gapStart = 0;
    for (size_t i = 0; i < p.PartCount; ++i) {
        const TTokenPart& part = p.Parts[i];
        AppendGap(p, scratch, p.Text + gapStart, part.Pos - gapStart);
        scratch.Clear();
        DecomposeText(scratch, p.Text + part.Pos, part.Len);
        TPartInfo& info = p.Infos[i];
        info.Shape = GetWordCharClassFlags(p.Text + part.Pos, part.Len);
        info.Languages = GetWordLanguageMask(scratch.Data(), scratch.Size(), false) & registered;
        AppendLower(p.ViewA, lowerA, scratch.Data(), scratch.Size());
        AppendLower(p.ViewB, lowerB, scratch.Data(), scratch.Size());
        p.LanguageUnion |= info.Languages;
        gapStart = part.End();
    }
    AppendGap(p, scratch, p.Text + gapStart, p.Length - gapStart);
    p.CommonShape = CombineShapes(p.Infos, p.PartCount);
}

}  // namespace NLemmer
