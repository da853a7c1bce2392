// The two scanners: one pass over the text, looking ahead only for a joiner after a part and
// for the pattern after sentence punctuation, and moving back rather than buffering.
#include "tokenizer/char_class.h"
#include "tokenizer/text_tokenizer.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace {

constexpr uint8_t CC_END = CC_CLASS_COUNT;  // past the end of the text

constexpr uint32_t ClassMask(std::initializer_list<ECharClass> classes) {
    uint32_t mask = 0;
    for (ECharClass c : classes) {
        mask |= 1u << c;
    }
    return mask;
}

inline bool InMask(uint32_t mask, uint8_t c) {
    return c < 32 && (mask >> c & 1u) != 0;
}

constexpr uint32_t BLANKS =
    ClassMask({CC_SPACE, CC_TAB, CC_VERTICAL_SPACE, CC_NUL, CC_LINE_BREAK, CC_RETURN});
constexpr uint32_t CLOSERS = ClassMask({CC_QUOTE, CC_APOSTROPHE, CC_CLOSE_BRACKET});
constexpr uint32_t OPENERS = ClassMask({CC_QUOTE, CC_APOSTROPHE, CC_OPEN_BRACKET, CC_DASH});
constexpr uint32_t SENTENCE_PUNCTUATION = ClassMask({CC_TERMINAL, CC_FULL_STOP});
constexpr uint32_t PREFIXES = ClassMask({CC_NUMBER_SIGN, CC_DOLLAR, CC_AT});
constexpr uint32_t OTHER_RUN = ClassMask(
    {CC_MISC, CC_TAB, CC_VERTICAL_SPACE, CC_SPACE, CC_QUOTE, CC_APOSTROPHE, CC_OPEN_BRACKET,
     CC_CLOSE_BRACKET, CC_PLUS, CC_DASH, CC_SLASH, CC_UNDERSCORE, CC_SOFT_HYPHEN, CC_COMBINING});
constexpr uint32_t PARAGRAPH_FILLERS =
    OTHER_RUN | ClassMask({CC_NUMBER_SIGN, CC_DOLLAR, CC_PERCENT, CC_AT});
constexpr uint32_t PER_CHARACTER = ClassMask({CC_IDEOGRAPH, CC_HANGUL_TAIL});

uint32_t JoinerDelim(uint8_t c, bool nested) {
    switch (c) {
        case CC_APOSTROPHE:
            return DELIM_APOSTROPHE;
        case CC_DASH:
            return DELIM_HYPHEN;
        default:
            break;
    }
    if (nested) {
        return DELIM_NONE;
    }
    switch (c) {
        case CC_UNDERSCORE:
            return DELIM_UNDERSCORE;
        case CC_SLASH:
            return DELIM_SLASH;
        case CC_AT:
            return DELIM_AT;
        case CC_FULL_STOP:
            return DELIM_FULL_STOP;
        default:
            return DELIM_NONE;
    }
}

// Most apostrophe or hyphen joiners in a row inside one token.
constexpr size_t MAX_JOINER_RUN = 4;
constexpr uint32_t NO_KIND = UINT32_MAX;
// A word of more parts than the limit keeps the parts before the last one (PopOverflowPart);
// the next word starts with the part after them.
constexpr size_t KEPT_PARTS = MAX_TOKEN_PARTS - 1;
// Once this many parts are read, nothing further changes a cut word but its joins: the word's
// type is settled by the two parts after the limit.
constexpr size_t SETTLED_PARTS = MAX_TOKEN_PARTS + 2;

}  // namespace

struct TTextTokenizer::TScan {
    const wchar16* Text;
    size_t Length;
    const uint8_t* Classes;
    bool Nested;

    uint8_t At(size_t i) const { return i < Length ? Classes[Text[i]] : CC_END; }

    // Escapes ("%" and two hexadecimal digits) in a row at i; the nested scanner knows none.
    size_t EscapeRun(size_t i) const {
        size_t n = 0;
        while (!Nested && At(i) == CC_PERCENT && IsHexDigitClass(At(i + 1)) &&
               IsHexDigitClass(At(i + 2))) {
            ++n;
            i += 3;
        }
        return n;
    }

    // The kind of the part that word material at i starts, or NO_KIND.
    uint32_t MaterialKind(size_t i) const {
        const uint8_t c = At(i);
        if (IsLetterClass(c)) {
            return PART_LETTERS;
        }
        if (IsDigitClass(c)) {
            return PART_DIGITS;
        }
        return EscapeRun(i) >= 2 ? PART_LETTERS : NO_KIND;
    }
    bool IsMaterial(size_t i) const { return MaterialKind(i) != NO_KIND; }

    size_t SkipCombining(size_t i) const {
        while (At(i) == CC_COMBINING) {
            ++i;
        }
        return i;
    }
};

void TTextTokenizer::Execute(const wchar16* text, size_t length, size_t extraSource) {
    Run(text, length, extraSource, false);
}

void TTextTokenizer::ExecuteNested(const wchar16* text, size_t length, size_t extraSource) {
    Run(text, length, extraSource, true);
}

size_t TTextTokenizer::ScanPartBody(const TScan& s, size_t pos, uint32_t kind) const {
    for (;;) {
        const uint8_t c = s.At(pos);
        if (kind == PART_LETTERS ? IsLetterClass(c) : IsDigitClass(c)) {
            ++pos;
        } else if (kind == PART_LETTERS && s.EscapeRun(pos) >= 2) {
            pos += 3 * s.EscapeRun(pos);
        } else {
            return pos;
        }
        pos = s.SkipCombining(pos);
    }
}

size_t TTextTokenizer::ScanWord(const TScan& s, size_t start) {
    Parts_.clear();
    Built_ = true;
    OpenPart_ = TTokenPart{};
    PrefixCount_ = 0;
    SuffixChar_ = 0;
    size_t pos = start;
    if (!s.Nested && InMask(PREFIXES, s.At(pos))) {
        PrefixCount_ = 1;
        PrefixChar_ = s.Text[pos];
        ++pos;
    }
    size_t end = pos;
    size_t joinerRun = 0;
    // The rest of a run is a chain of part starts, each following from the one before; this scan
    // and the last one take the same steps from a start where their joiner counts agree, which
    // they do after a joiner that clears the count, or from the start if the last scan had a
    // count of 0 there. Only the joins ahead are still wanted: the last scan's are taken over.
    const bool restKnown = !s.Nested && pos == RunRest_.Start;
    bool countCleared = false;
    size_t parts = 0;
    TRunRest rest;
    for (;;) {
        const size_t partStart = pos;
        if (parts == KEPT_PARTS) {
            rest.Start = pos;
            rest.JoinerRun = joinerRun;
        }
        if (parts >= SETTLED_PARTS && restKnown && pos < RunRest_.End &&
            (countCleared || RunRest_.JoinerRun == 0)) {
            if (RunRest_.LastJoin != TRunRest::None && RunRest_.LastJoin >= pos) {
                Built_ = false;
                rest.LastJoin = RunRest_.LastJoin;
            }
            end = RunRest_.End;
            break;
        }
        pos = s.SkipCombining(pos);
        const uint32_t kind = s.MaterialKind(pos);
        pos = ScanPartBody(s, pos, kind);
        OpenPart_.Pos = partStart - start;
        OpenPart_.Len = pos - partStart;
        OpenPart_.Kind = kind;
        PushPart();
        ++parts;
        ++ScannedParts_;
        end = pos;
        if (s.IsMaterial(pos)) {
            continue;  // letters and digits touch
        }
        TTokenPart& last = Parts_.back();
        const uint8_t c = s.At(pos);
        if (c == CC_PLUS || c == CC_NUMBER_SIGN) {
            const size_t n = c == CC_PLUS && s.At(pos + 1) == CC_PLUS ? 2 : 1;
            last.SuffixLen = static_cast<uint16_t>(n);
            SuffixChar_ = s.Text[pos + n - 1];
            if (c == CC_PLUS) {
                last.Delim = DELIM_PLUS;  // a plus sign before a part is a joiner after all
            }
            pos += n;
            end = pos;
            const bool touching = s.IsMaterial(pos);
            const bool prefixed =
                !touching && !s.Nested && InMask(PREFIXES, s.At(pos)) && s.IsMaterial(pos + 1);
            if (!touching && !prefixed) {
                break;
            }
            // With a part after it, PushPart turns a plus sign into a plus joiner and a number
            // sign before a prefix into an at joiner: joiners of another kind, which start a
            // new count. A number sign that the part touches stays a suffix.
            if (c == CC_PLUS || prefixed) {
                joinerRun = 0;
                countCleared = true;
            }
            if (prefixed) {
                PrefixCount_ = 1;
                PrefixChar_ = s.Text[pos];
                ++pos;
            }
            continue;
        }
        if (c == CC_DASH) {
            // A hyphen at a line end glues the word across exactly one line break.
            size_t q = pos + 1;
            const uint8_t after = s.At(q);
            if (after == CC_RETURN || after == CC_LINE_BREAK) {
                ++q;
                if (after == CC_RETURN && s.At(q) == CC_LINE_BREAK && s.Text[q] == u'\n') {
                    ++q;
                }
                while (s.At(q) == CC_SPACE) {
                    ++q;
                }
                if (!s.IsMaterial(q) || ++joinerRun > MAX_JOINER_RUN) {
                    break;
                }
                last.Join = JOIN_HYPHEN_LINE_BREAK;
                last.Delim = DELIM_HYPHEN;
                Built_ = false;
                rest.LastJoin = pos;
                pos = q;
                continue;
            }
        }
        if (c == CC_SOFT_HYPHEN && s.IsMaterial(pos + 1)) {
            last.Join = JOIN_SOFT_HYPHEN;
            Built_ = false;
            rest.LastJoin = pos;
            ++pos;
            continue;
        }
        const uint32_t delim = JoinerDelim(c, s.Nested);
        if (delim == DELIM_NONE || !s.IsMaterial(pos + 1)) {
            break;
        }
        if (delim == DELIM_APOSTROPHE || delim == DELIM_HYPHEN) {
            if (++joinerRun > MAX_JOINER_RUN) {
                break;
            }
        } else {
            joinerRun = 0;
            countCleared = true;
        }
        last.Delim = delim;
        ++pos;
    }
    FinishParts();
    if (!s.Nested) {
        // A word of more parts than the limit is cut, and the next one starts in its run.
        rest.End = end;
        RunRest_ = parts > MAX_TOKEN_PARTS ? rest : TRunRest{};
    }
    return end;
}

size_t TTextTokenizer::ScanPunctuation(const TScan& s, size_t start) {
    size_t pos = start + 1;
    while (InMask(SENTENCE_PUNCTUATION, s.At(pos)) || s.At(pos) == CC_HANGUL_TAIL) {
        ++pos;
    }
    const size_t runEnd = pos;
    if (s.At(pos) != CC_DASH) {
        while (InMask(CLOSERS, s.At(pos))) {
            ++pos;
        }
        const size_t blanks = pos;
        while (InMask(BLANKS, s.At(pos))) {
            ++pos;
        }
        if (pos != blanks) {
            size_t punctEnd = SIZE_MAX;
            while (InMask(OPENERS, s.At(pos))) {
                punctEnd = std::min(punctEnd, pos);
                ++pos;
                while (InMask(BLANKS, s.At(pos))) {
                    ++pos;
                }
            }
            const uint8_t c = s.At(pos);
            if (IsUpperClass(c) || IsDigitClass(c)) {
                punctEnd = std::min(punctEnd, pos);
                EmitPunctuation(s.Text + start, pos - start + 1, punctEnd - start);
                return punctEnd;
            }
        }
    }
    EmitOther(s.Text + start, runEnd - start);
    return runEnd;
}

size_t TTextTokenizer::ScanLineBreaks(const TScan& s, size_t start) {
    size_t breaks = 0;
    size_t pos = start;
    for (;;) {
        const uint8_t c = s.At(pos);
        if (c == CC_LINE_BREAK) {
            ++breaks;
            ++pos;
        } else if (c == CC_RETURN) {
            ++breaks;
            ++pos;
            if (s.At(pos) == CC_LINE_BREAK && s.Text[pos] == u'\n') {
                ++pos;
            }
        } else if (InMask(PARAGRAPH_FILLERS, c)) {
            ++pos;
        } else {
            break;
        }
    }
    if (breaks < 2) {
        EmitOther(s.Text + start, 1);
        return start + 1;
    }
    Parts_.clear();
    const size_t length = pos - start;
    ProcessRun(s.Text + start, length, ParagraphBreaks_ ? TOKEN_PARAGRAPH : TOKEN_OTHER, length,
               s.Text + pos);
    return pos;
}

size_t TTextTokenizer::ScanOtherRun(const TScan& s, size_t start) const {
    size_t pos = start + 1;
    while (InMask(OTHER_RUN, s.At(pos))) {
        ++pos;
    }
    return pos;
}

void TTextTokenizer::Run(const wchar16* text, size_t length, size_t extraSource, bool nested) {
    const TScan s{text, length, CharClassTable(), nested};
    RunRest_ = TRunRest{};
    if (extraSource != 0) {
        ExtraSource_ = extraSource;
        ExtraSourceEnd_ = text + length;
    }
    auto word = [&](size_t start) {
        size_t end = ScanWord(s, start);
        size_t wordLength = end - start;
        if (!nested && PopOverflowPart(wordLength)) {
            end = start + wordLength;
        }
        EmitWord(text + start, wordLength, text + end);
        return end;
    };
    auto other = [&](size_t start, size_t end) {
        EmitOther(text + start, end - start);
        return end;
    };
    size_t pos = 0;
    while (pos < length) {
        const uint8_t c = s.At(pos);
        if (s.IsMaterial(pos)) {
            pos = word(pos);
        } else if (c == CC_COMBINING && s.IsMaterial(s.SkipCombining(pos))) {
            pos = word(pos);  // marks before a letter or digit belong to its word
        } else if (nested) {
            size_t end = pos + 1;
            while (end < length && !s.IsMaterial(end)) {
                ++end;
            }
            pos = other(pos, end);
        } else if (c == CC_COMBINING) {
            pos = other(pos, ScanOtherRun(s, pos));
        } else if (InMask(PREFIXES, c)) {
            pos = s.IsMaterial(pos + 1) ? word(pos) : other(pos, pos + 1);
        } else if (c == CC_PERCENT || c == CC_NUL) {
            pos = other(pos, pos + 1);
        } else if (InMask(PER_CHARACTER, c)) {
            size_t end = pos + 1;
            while (InMask(PER_CHARACTER, s.At(end))) {
                ++end;
            }
            EmitPerCharacter(text + pos, text + end);
            pos = end;
            // A mark after such a unit is not attached to it, nor to a word that follows.
            if (s.At(pos) == CC_COMBINING) {
                pos = other(pos, ScanOtherRun(s, pos));
            }
        } else if (c == CC_SURROGATE) {
            size_t end = pos + 1;
            while (s.At(end) == CC_SURROGATE) {
                ++end;
            }
            EmitSurrogates(text + pos, text + end);
            pos = end;
        } else if (InMask(SENTENCE_PUNCTUATION, c)) {
            pos = ScanPunctuation(s, pos);
        } else if (c == CC_LINE_BREAK || c == CC_RETURN) {
            pos = ScanLineBreaks(s, pos);
        } else {
            pos = other(pos, ScanOtherRun(s, pos));
        }
    }
}
