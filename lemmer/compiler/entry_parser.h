// The reader of dictionary source entries. An entry is a lemma line, then one line per
// wordform, "prefix[stem]suffix", blanks or tabs, and grammeme names separated by "=", ","
// or " ", ended by an empty line or the end of the input:
//     палец
//     [палец]	S,m,inan=nom,sg
//     [пальц]а	S,m,inan=gen,sg
//
// TEntryParser reads one entry per Parse call, converts it to UTF-16 from the settings' code
// page, checks it (syntax, grammeme names and categories, the alphabet) and leaves the
// lemma, the common grammar and the wordform records in its fields as views into its line
// buffer, valid until the next Parse. What it hands on is normalised (lower case, look-alike
// letters of the other script converted).
#pragma once

#include "lemmer/compiler/compiler_settings.h"
#include "lemmer/compiler/table_keys.h"

#include "util/stream/input.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Not thread-safe. Parse raises
// - NByk::TInvalidEntryException for a rejected entry (the input then stands after the entry);
// - NByk::TEndOfStreamException when the input holds no further entry;
// - NByk::TBufferExhaustedException when the entry does not fit the line buffer.
// The settings are not owned and must outlive the parser.
class TEntryParser {
public:
    struct TWordform {
        TUtf16Range Stem;
        TUtf16Range Prefix;
        TUtf16Range Suffix;
        TCharRange Grammar;  // codes that are not common, ascending
    };

    static constexpr size_t DefaultBufferSize = 16777216;
    static constexpr size_t MaxWordforms = 15999;
    static constexpr size_t MaxGrammarCodes = 256;
    static constexpr size_t MaxFeatureName = 254;

    // Raises kexception naming the code page when lines of the settings' code page cannot be
    // decoded (a code outside 0 to 112, or a page iconv cannot open): every line would read
    // as empty and the source would seem to hold no entry.
    TEntryParser(const TCompilerSettings* settings, uint64_t firstLine,
                 size_t bufferSize = DefaultBufferSize);
    ~TEntryParser();

    TEntryParser(const TEntryParser&) = delete;
    TEntryParser& operator=(const TEntryParser&) = delete;

    // Reads and checks the next entry.
    void Parse(TInputStream& in);
    // Empties the fields and the line buffer; the line counter stays.
    void Reset() noexcept;

    TUtf16Range Lemma() const noexcept { return Lemma_; }
    TCharRange CommonGrammar() const noexcept { return CommonGrammar_; }
    const std::vector<TWordform>& Wordforms() const noexcept { return Wordforms_; }
    // Source lines read since construction, the first line counted from firstLine.
    uint64_t LineCount() const noexcept { return LineCount_; }

    // Reads one source line into the line buffer and returns its text, trimmed of spaces and
    // controls at both ends and without format characters (empty for an empty line). Raises
    // NByk::TEndOfStreamException at the end of the input and NByk::TBufferExhaustedException
    // when its bytes reach the end of the buffer's free space or its units fill the half of
    // what is left after them; an overlong or surrogate UTF-8 form rejects the entry.
    TUtf16Range ReadLine(TInputStream& in);

private:
    class TLineBuffer;

    // Entry syntax.
    void ReadEntry(TInputStream& in);
    TUtf16Range ReadNonEmptyLine(TInputStream& in);
    void SkipToEmptyLine(TInputStream& in);
    void ParseLemma(TInputStream& in);
    void ParseWordform(TUtf16Range line);
    TUtf16Range ExtractUntil(TUtf16Range& rest, wchar16 delimiter, const char* partName,
                             const char* missingMessage);
    void ParseSuffix(TUtf16Range& rest, TUtf16Range& suffix);

    // Grammar and entry checks.
    TCharRange ParseGrammar(TUtf16Range text);
    uint8_t FeatureCode(const char* name, size_t length) const;
    void CheckCommonGrammar();
    void CheckEntry();
    void CheckGrammar() const;
    void CheckAlphabets();
    void CheckAlphabet(TUtf16Range& text);
    TUtf16Range NormalizeText(TUtf16Range text);
    char* AppendCodes(const uint8_t* codes, size_t count);

    const TCompilerSettings* Settings_;
    TUtf16Range Lemma_;
    TCharRange CommonGrammar_;
    std::vector<TWordform> Wordforms_;
    std::unique_ptr<TLineBuffer> Buffer_;
    uint64_t LineCount_;
    bool Skipping_ = false;
};
