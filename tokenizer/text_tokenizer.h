// The working object of one tokeniser run: the scanners that read the text and the emitting
// operations that collect parts, rebuild, cut and split tokens and feed the sentence-break
// checker. Used through TokenizeWide (tokenizer/tokenizer.h); its own header serves the tests.
#pragma once

#include "lemmer/token/token.h"
#include "tokenizer/sentence_break.h"

#include <cstddef>
#include <cstdint>

// The parts of the token being collected: a fixed array, so that a line costs no allocation.
class TPartList {
public:
    using iterator = TTokenPart*;
    using const_iterator = const TTokenPart*;

    size_t size() const { return Size_; }
    bool empty() const { return Size_ == 0; }
    TTokenPart* data() { return Parts_; }
    const TTokenPart* data() const { return Parts_; }
    TTokenPart* begin() { return Parts_; }
    TTokenPart* end() { return Parts_ + Size_; }
    const TTokenPart* begin() const { return Parts_; }
    const TTokenPart* end() const { return Parts_ + Size_; }
    TTokenPart& operator[](size_t i) { return Parts_[i]; }
    const TTokenPart& operator[](size_t i) const { return Parts_[i]; }
    TTokenPart& front() { return Parts_[0]; }
    TTokenPart& back() { return Parts_[Size_ - 1]; }
    const TTokenPart& back() const { return Parts_[Size_ - 1]; }
    operator std::span<const TTokenPart>() const { return {Parts_, Size_}; }

    void clear() { Size_ = 0; }
    // REQUIRES: size() < MAX_TOKEN_PARTS.
    void push_back(const TTokenPart& part) { Parts_[Size_++] = part; }
    void pop_back() { --Size_; }
    // Shrinks only.
    void resize(size_t size) { Size_ = size < Size_ ? size : Size_; }
    void assign(const TTokenPart* first, const TTokenPart* last) {
        Size_ = 0;
        for (; first != last && Size_ < MAX_TOKEN_PARTS; ++first) {
            Parts_[Size_++] = *first;
        }
    }
    void erase_front() {
        for (size_t i = 1; i < Size_; ++i) {
            Parts_[i - 1] = Parts_[i];
        }
        --Size_;
    }

private:
    TTokenPart Parts_[MAX_TOKEN_PARTS];
    size_t Size_ = 0;
};

// One object per Execute or ExecuteNested run. Neither the handler nor the checker is owned.
class TTextTokenizer {
public:
    TTextTokenizer(ITokenHandler* handler, TSentenceBreakChecker* checker, bool paragraphBreaks,
                   bool splitTokens);

    // The main scanner over text[0, length). A non-zero extraSource is added to the source
    // length of the token that ends the text (units a decoding removed before this run).
    void Execute(const wchar16* text, size_t length, size_t extraSource = 0);
    // The small scanner for words whose percent escapes could not be decoded: letter and digit
    // words with apostrophes and hyphens, every other unit in type-7 runs.
    void ExecuteNested(const wchar16* text, size_t length, size_t extraSource = 0);

    // The parts the scanners have collected so far, including those read past a word's part
    // limit: the work of a run, which grows with the text alone.
    size_t ScannedParts() const { return ScannedParts_; }

private:
    struct TScan;

    // What the scan of the last word cut at the part limit learnt about the rest of its run of
    // parts: the words cut from that rest take the same steps to the same end, so their scans
    // need not read it again (scanner.cpp).
    struct TRunRest {
        static constexpr size_t None = SIZE_MAX;
        size_t Start = None;     // where the next word's first part begins
        size_t JoinerRun = 0;    // the apostrophe and hyphen count the scan had there
        size_t End = 0;          // where the run ends
        size_t LastJoin = None;  // the position of its last line-break or soft-hyphen join
    };

    // Scanner (scanner.cpp).
    void Run(const wchar16* text, size_t length, size_t extraSource, bool nested);
    size_t ScanWord(const TScan& s, size_t start);
    size_t ScanPartBody(const TScan& s, size_t pos, uint32_t kind) const;
    size_t ScanPunctuation(const TScan& s, size_t start);
    size_t ScanLineBreaks(const TScan& s, size_t start);
    size_t ScanOtherRun(const TScan& s, size_t start) const;

    // Parts and emission (text_tokenizer.cpp).
    void PushPart();
    void FinishParts();
    bool PopOverflowPart(size_t& length);
    void EmitWord(const wchar16* text, size_t length, const wchar16* sourceEnd);
    void EmitOther(const wchar16* text, size_t length);
    void EmitPerCharacter(const wchar16* begin, const wchar16* end);
    void EmitSurrogates(const wchar16* begin, const wchar16* end);
    void EmitPunctuation(const wchar16* text, size_t length, size_t punctEnd);
    void ProcessRun(const wchar16* text, size_t length, int32_t type, size_t sourceLength,
                    const wchar16* sourceEnd);
    size_t RebuildToken(const wchar16* text, wchar16* out);
    size_t CutToLimit(size_t limit);
    size_t DropAndCut(size_t n, size_t limit);
    void SplitToken(const wchar16* text, size_t length, size_t sourceLength, int32_t type);
    bool GroupEnds(size_t j, size_t first, size_t entries) const;
    void HandOn(const wchar16* text, size_t length, std::span<const TTokenPart> parts,
                size_t sourceLength, int32_t type);

    // Percent escapes (percent_escapes.cpp).
    void TokenizePercentEncoded(const wchar16* text, size_t length, const wchar16* sourceEnd);
    void TokenizeRaw(const wchar16* text, size_t length, size_t extraSource);
    size_t TakeExtraSource(const wchar16* sourceEnd);

    ITokenHandler* Handler_;
    TSentenceBreakChecker* Checker_;
    bool ParagraphBreaks_;
    bool SplitTokens_;

    TPartList Parts_;
    int32_t Type_ = TOKEN_WORD;
    bool Built_ = true;
    TTokenPart OpenPart_;
    size_t PrefixCount_ = 0;
    wchar16 PrefixChar_ = 0;
    wchar16 SuffixChar_ = 0;
    size_t ExtraSource_ = 0;
    const wchar16* ExtraSourceEnd_ = nullptr;
    TRunRest RunRest_;
    size_t ScannedParts_ = 0;
};
