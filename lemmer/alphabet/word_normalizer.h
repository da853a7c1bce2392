// The word normaliser of one language: brings a word to one Unicode form, lower-cases it,
// replaces look-alike letters of the other script, applies the language's conversions and its
// hook, and tests the result against the language's alphabet, before every dictionary look-up.
//
// A normaliser holds only pointers to process-wide tables (alphabet and translation tables, any
// of which may be null: a null table makes its step a no-op). All operations are const and
// reentrant; they never raise on ordinary text (only std::bad_alloc for words too long for the
// in-call buffers), cut their output to the caller's buffer and report the cut in
// TNormalizeResult::Valid. A 0 unit follows the output whenever the buffer has room for it.
#pragma once

#include "lemmer/alphabet/alphabet.h"
#include "lemmer/alphabet/char_map_table.h"
#include "lemmer/alphabet/normalize_result.h"

#include "util/generic/string.h"

#include <cstddef>

namespace NLemmer {

class TAlphabetWordNormalizer {
public:
    TAlphabetWordNormalizer(const TAlphabet* alphabet, const TCharMapTable* derenyx,
                            const TCharMapTable* convert, const TCharMapTable* preLower,
                            const TCharMapTable* preUpper, const TCharMapTable* preTitle);

    // True without an alphabet or for an empty word; else every unit must be a letter or a
    // sign allowed inside a word.
    virtual bool IsAlphabetic(const wchar16* word, size_t length) const;
    virtual ~TAlphabetWordNormalizer();
    // The language hook. Returns false, touching nothing, when the language has none; a hook
    // that returns true has written at most outSize units and set result.Length.
    virtual bool AdvancedConvert(const wchar16* src, size_t length, wchar16* out, size_t outSize,
                                 TNormalizeResult& result) const;
    // The hook on a string changed in place.
    virtual bool AdvancedConvert(TUtf16String& word, TNormalizeResult& result) const;

    // Runs the steps of `mask` in bit order from src into out. src and out must not overlap.
    TNormalizeResult NormalizeWord(const wchar16* src, size_t length, wchar16* out, size_t outSize,
                                   TNormalizationMask mask) const;

    // One step each; see the step table in normalize_result.h.
    TNormalizeResult Decompose(const wchar16* src, size_t length, wchar16* out,
                               size_t outSize) const;
    TNormalizeResult Compose(const wchar16* src, size_t length, wchar16* out, size_t outSize) const;
    TNormalizeResult ToLower(const wchar16* src, size_t length, wchar16* out, size_t outSize) const;
    TNormalizeResult Derenyx(const wchar16* src, size_t length, wchar16* out, size_t outSize) const;
    TNormalizeResult Convert(const wchar16* src, size_t length, wchar16* out, size_t outSize) const;
    TNormalizeResult ApplyAdvancedConvert(const wchar16* src, size_t length, wchar16* out,
                                          size_t outSize) const;
    TNormalizeResult ToUpper(const wchar16* src, size_t length, wchar16* out, size_t outSize) const;
    TNormalizeResult ToTitle(const wchar16* src, size_t length, wchar16* out, size_t outSize) const;

    // The same on a string in place (detached first; its length follows the output).
    TNormalizeResult NormalizeWord(TUtf16String& word, TNormalizationMask mask) const;
    TNormalizeResult Decompose(TUtf16String& word) const;
    TNormalizeResult Compose(TUtf16String& word) const;
    TNormalizeResult ToLower(TUtf16String& word) const;
    TNormalizeResult Derenyx(TUtf16String& word) const;
    TNormalizeResult Convert(TUtf16String& word) const;
    TNormalizeResult ApplyAdvancedConvert(TUtf16String& word) const;
    TNormalizeResult ToUpper(TUtf16String& word) const;
    TNormalizeResult ToTitle(TUtf16String& word) const;

    // One unit through the pre-case table, then plus its Unicode case delta.
    wchar16 ToLowerChar(wchar16 c) const;
    wchar16 ToUpperChar(wchar16 c) const;
    wchar16 ToTitleChar(wchar16 c) const;

    const TAlphabet* Alphabet() const { return Alphabet_; }
    const TCharMapTable* DerenyxTable() const { return Derenyx_; }
    const TCharMapTable* ConvertTable() const { return Convert_; }

private:
    // A step writes into out (at most room units) and returns true, or returns false having
    // written nothing (the current text stays the step's input).
    bool RunStep(size_t step, const wchar16* in, size_t length, wchar16* out, size_t room,
                 TNormalizeResult& r) const;
    void StepDecompose(const wchar16* in, size_t length, wchar16* out, size_t room,
                       TNormalizeResult& r) const;
    void StepCompose(const wchar16* in, size_t length, wchar16* out, size_t room,
                     TNormalizeResult& r) const;
    // Returns true when the dotted-i repair changed the text.
    bool StepLowercase(const wchar16* in, size_t length, wchar16* out, size_t room,
                       TNormalizeResult& r) const;
    TNormalizeResult TranslateOrCopy(const TCharMapTable* table, size_t flag, const wchar16* src,
                                     size_t length, wchar16* out, size_t outSize) const;

    const TAlphabet* Alphabet_;
    const TCharMapTable* Derenyx_;
    const TCharMapTable* Convert_;
    const TCharMapTable* PreLower_;
    const TCharMapTable* PreUpper_;
    const TCharMapTable* PreTitle_;
};

// Lower-case dotted-i repair on text[0, n): an i or ı followed (past combining marks only) by
// U+0307 becomes i and the U+0307 goes. Returns the new length.
size_t RepairDottedI(wchar16* text, size_t n);

}  // namespace NLemmer
