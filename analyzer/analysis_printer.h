// The analysis printer: the exact text lemmix writes for each word (the word, its lemmas,
// hypothesis marks, frequencies and grammar), the copied text between words, the sentence
// marks and the lines of the word-per-line mode, in the output encoding.
//
// The output preprocessor drives it, for each word: BeginAnalyses, then PrintUnknownWord or one
// PrintAnalysis per analysis, then EndAnalyses; Flush after the last part of a word token that
// kept an analysis. PrintText and PrintSentenceEnd come only between words.
#pragma once

#include "analyzer/analyzer_options.h"
#include "analyzer/output_recoder.h"
#include "util/generic/string.h"
#include "util/stream/output.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The output of a stretch of printing, to be written again as it was: its bytes, the offsets
// in them where the output was flushed, and whether a line was pending at its end.
struct TPrintedStretch {
    std::string Bytes;
    std::vector<size_t> Flushes;
    bool LinePendingAfter = false;
};

// A kept stretch as a cache stores it: the bytes, and FlushCount offsets into them held as
// native 32-bit values at Flushes (in any alignment).
struct TPrintedStretchView {
    std::string_view Bytes;
    const char* Flushes = nullptr;
    size_t FlushCount = 0;
    bool LinePendingAfter = false;
};

// What the printer reads of one analysis.
struct TPrintedAnalysis {
    const wchar16* Lemma = nullptr;
    size_t LemmaLength = 0;
    uint32_t Flags = 0;  // 0x1 hypothesis, 0x2 second dictionary, 0x8 unknown-word placeholder
    const char* Grammar = nullptr;              // 0-terminated grammeme codes; set with -i
    const char* const* FormGrammars = nullptr;  // FormGrammarCount such strings; set with -i
    size_t FormGrammarCount = 0;
};

// Owns nothing: the options and the stream belong to the run. The text of a word and what
// comes before it is gathered and handed to the stream with one write, at every flush point
// (Flush, and each line feed of the word-per-line mode) and when it grows large; WritePending
// hands over what is left at the end of the run or when the run fails. Raises the recoder's
// errors and whatever the stream raises. Not thread-safe.
class TAnalysisPrinter {
public:
    TAnalysisPrinter(const TAnalyzerOptions* options, TOutputStream* output);

    void BeginAnalyses(const wchar16* text, size_t length);
    void PrintAnalysis(const TPrintedAnalysis& analysis, double frequency);
    void PrintUnknownWord(const wchar16* text, size_t length);
    void EndAnalyses();
    void PrintText(const wchar16* text, size_t length);
    void PrintSentenceEnd();
    void Flush();

    // Writes the gathered text to the stream without flushing it.
    void WritePending();

    // Everything printed from StartRecording to StopRecording is also kept in `into` (cleared
    // first), which must live until StopRecording; one recording at a time. Replay prints a
    // kept stretch again: the same bytes, the same flushes, the same state after it.
    void StartRecording(TPrintedStretch* into);
    void StopRecording();
    // Ends a recording that failed halfway; what it kept is not to be used.
    void AbandonRecording() noexcept { Recording_ = nullptr; }
    void Replay(const TPrintedStretchView& stretch);
    // A line feed is due before the next word (only the word-per-line mode reads it).
    bool LinePending() const { return LinePending_; }

private:
    void PrintGrammar(const char* codes);
    void WriteRecoded(const wchar16* text, size_t length);
    // The marks of the format: ASCII, written as the output encoding writes it.
    void Put(char c) {
        if (AsciiIsOneByte_) {
            Pending_.append(c);
        } else {
            Recoder_.AppendAscii(&c, 1, Pending_);
        }
    }
    void PutAscii(const char* text, size_t length) { Recoder_.AppendAscii(text, length, Pending_); }
    void LineFeed();
    void WriteIfLarge();

    const TAnalyzerOptions* Options_;
    TOutputStream* Output_;
    bool LemmaWritten_ = false;
    bool LinePending_ = false;
    TOutputRecoder Recoder_;
    bool AsciiIsOneByte_;
    Stroka Pending_;
    Stroka Number_;  // the frequency text, for an encoding that does not take ASCII as it is
    TUtf16String Escaped_;
    Stroka GrammarText_;
    TPrintedStretch* Recording_ = nullptr;
    size_t RecordedFrom_ = 0;  // Pending_ from this offset on belongs to the recording
    // The printed text of each grammar met so far (at most MaxGrammarTexts of them), by its
    // codes: a dictionary has a few thousand, and they recur word after word.
    std::unordered_map<std::string, std::string> GrammarTexts_;
    std::string GrammarKey_;
};
