#include "tokenizer/text_tokenizer.h"

#include "tokenizer/tokenizer.h"
#include "util/charset/unicode_combining_marks.h"

#include <algorithm>
#include <cstring>

namespace {

// The combining marks of the fixed list, one flag per UTF-16 unit.
struct TCombiningFlags {
    uint8_t Flags[65536] = {};
    TCombiningFlags() { BuildCombiningMarkTable(Flags); }
};

const uint8_t* CombiningFlags() {
    static const TCombiningFlags flags;
    return flags.Flags;
}

constexpr wchar16 REPLACEMENT_UNIT = 0xFFFD;

}  // namespace

TTextTokenizer::TTextTokenizer(ITokenHandler* handler, TSentenceBreakChecker* checker,
                               bool paragraphBreaks, bool splitTokens)
    : Handler_(handler),
      Checker_(checker),
      ParagraphBreaks_(paragraphBreaks),
      SplitTokens_(splitTokens) {}

void TTextTokenizer::PushPart() {
    TTokenPart& open = OpenPart_;
    if (Parts_.empty()) {
        Type_ = open.Kind == PART_LETTERS ? TOKEN_WORD : TOKEN_INTEGER;
    } else if (Type_ != TOKEN_MIXED && open.Kind != Parts_.back().Kind) {
        Type_ = TOKEN_MIXED;
    }
    if (Parts_.size() >= MAX_TOKEN_PARTS) {
        // The last part absorbs everything up to the end of this one.
        TTokenPart& last = Parts_.back();
        last.Len = open.End() - last.Pos;
        last.SuffixLen = 0;
        last.Kind = PART_OVERFLOW;
        last.Join = JOIN_NONE;
        last.Delim = DELIM_NONE;
        PrefixCount_ = 0;
    } else {
        Parts_.push_back(TTokenPart{open.Pos, open.Len, 0, 0, open.Kind, JOIN_NONE, DELIM_NONE});
        TTokenPart& last = Parts_.back();
        if (PrefixCount_ != 0) {
            last.PrefixLen = static_cast<uint16_t>(PrefixCount_);
            PrefixCount_ = 0;
        }
        // A suffix followed by another part: decide which of its characters are joiners.
        if (Parts_.size() >= 2) {
            TTokenPart& prev = Parts_[Parts_.size() - 2];
            const uint64_t gap = last.Pos - prev.End();
            if (gap == 2 && prev.SuffixLen == 1 && last.PrefixLen == 1) {
                if (SuffixChar_ == u'+') {
                    prev.SuffixLen = 0;
                    prev.Delim = DELIM_PLUS;
                } else if (SuffixChar_ == u'#') {
                    prev.Delim = DELIM_AT;
                    last.PrefixLen = 0;
                }
            } else if (gap == 2 && prev.SuffixLen == 2) {
                prev.SuffixLen = 1;
                prev.Delim = DELIM_PLUS;
            } else if (gap == 3 && prev.SuffixLen == 2 && last.PrefixLen == 1) {
                if (prev.Delim == DELIM_PLUS) {
                    prev.SuffixLen = 1;
                } else if (prev.Delim == DELIM_AT) {
                    prev.SuffixLen = 1;
                    prev.Delim = DELIM_PLUS;
                }
            } else if (gap == 1 && prev.SuffixLen == 1 && prev.Delim == DELIM_PLUS) {
                prev.SuffixLen = 0;
            }
        }
    }
    open.Pos = 0;
    open.Len = 0;
    PrefixChar_ = 0;
    SuffixChar_ = 0;
}

void TTextTokenizer::FinishParts() {
    if (!Parts_.empty()) {
        Parts_.back().Delim = DELIM_NONE;
    }
    OpenPart_.Len = 0;
    PrefixCount_ = 0;
    PrefixChar_ = 0;
    SuffixChar_ = 0;
}

bool TTextTokenizer::PopOverflowPart(size_t& length) {
    if (Parts_.size() != MAX_TOKEN_PARTS || Parts_.back().Kind != PART_OVERFLOW) {
        return false;
    }
    Parts_.pop_back();
    TTokenPart& last = Parts_.back();
    length = last.End() + last.SuffixLen;
    if (last.Delim == DELIM_PLUS && last.SuffixLen == 0) {
        last.SuffixLen = 1;
        ++length;
    }
    last.Delim = DELIM_NONE;
    return true;
}

void TTextTokenizer::EmitWord(const wchar16* text, size_t length, const wchar16* sourceEnd) {
    if (std::find(text, text + length, u'%') != text + length) {
        TokenizePercentEncoded(text, length, sourceEnd);
    } else if (!Built_) {
        wchar16 buffer[MAX_WORD_TOKEN_LENGTH + 1];
        const size_t rebuilt = RebuildToken(text, buffer);
        Built_ = true;
        ProcessRun(buffer, rebuilt, Type_, length, sourceEnd);
    } else {
        ProcessRun(text, length, Type_, length, sourceEnd);
    }
    Parts_.clear();
    Built_ = true;
}

void TTextTokenizer::EmitOther(const wchar16* text, size_t length) {
    Parts_.clear();
    OpenPart_.Len = 0;
    PrefixCount_ = 0;
    ProcessRun(text, length, TOKEN_OTHER, length, text + length);
}

void TTextTokenizer::EmitPerCharacter(const wchar16* begin, const wchar16* end) {
    for (const wchar16* p = begin; p != end; ++p) {
        Parts_.clear();
        Parts_.push_back(TTokenPart{0, 1, 0, 0, PART_LETTERS, JOIN_NONE, DELIM_NONE});
        Type_ = TOKEN_WORD;
        Built_ = true;
        EmitWord(p, 1, p + 1);
    }
}

void TTextTokenizer::EmitSurrogates(const wchar16* begin, const wchar16* end) {
    static const wchar16 replacement = REPLACEMENT_UNIT;
    for (const wchar16* p = begin; p != end;) {
        if (*p >= 0xD800 && *p <= 0xDBFF && p + 1 != end && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            Parts_.clear();
            Parts_.push_back(TTokenPart{0, 2, 0, 0, PART_LETTERS, JOIN_NONE, DELIM_NONE});
            Type_ = TOKEN_WORD;
            Built_ = true;
            EmitWord(p, 2, p + 2);
            p += 2;
        } else {
            Parts_.clear();
            ProcessRun(&replacement, 1, TOKEN_OTHER, 1, p + 1);
            ++p;
        }
    }
}

void TTextTokenizer::EmitPunctuation(const wchar16* text, size_t length, size_t punctEnd) {
    const int32_t type = Checker_->Check(text, length);
    Parts_.clear();
    ProcessRun(text, punctEnd, type, punctEnd, text + punctEnd);
}

size_t TTextTokenizer::RebuildToken(const wchar16* text, wchar16* out) {
    constexpr size_t limit = MAX_WORD_TOKEN_LENGTH;
    // Parts are measured where they stand in the scanned text. Rebuilding only ever drops units,
    // so whatever ends inside the capacity there fits the output buffer too.
    constexpr size_t capacity = MAX_WORD_TOKEN_LENGTH + 1;
    TTokenPart result[MAX_TOKEN_PARTS];
    size_t count = 0;

    TTokenPart first = Parts_[0];
    if (first.End() > limit) {
        first.Len = first.Pos < limit ? limit - first.Pos : 0;
        first.Pos = std::min<uint64_t>(first.Pos, limit);
        first.SuffixLen = 0;
    }
    size_t o = first.End();
    std::copy(text, text + o, out);
    size_t src = o;
    result[count++] = first;

    size_t k = 1;
    for (; k < Parts_.size() && count < MAX_TOKEN_PARTS; ++k) {
        const TTokenPart& next = Parts_[k];
        if (next.End() >= capacity) {
            break;
        }
        TTokenPart& prev = result[count - 1];
        const size_t between = next.Pos > src ? next.Pos - src : 0;
        size_t copied = between;
        bool glue = false;
        if (prev.Join == JOIN_HYPHEN_LINE_BREAK) {
            glue = prev.Kind == PART_LETTERS && next.Kind == PART_LETTERS;
            copied = glue ? 0 : std::min<size_t>(between, 1);
            if (!glue) {
                prev.Delim = DELIM_HYPHEN;
            }
        } else if (prev.Join == JOIN_SOFT_HYPHEN) {
            glue = prev.Kind == next.Kind;
            copied = 0;
        }
        std::copy(text + src, text + src + copied, out + o);
        o += copied;
        const size_t suffix = next.End() + next.SuffixLen > capacity ? 0 : next.SuffixLen;
        if (glue) {
            prev.Len += next.Len;
            prev.SuffixLen = static_cast<uint16_t>(suffix);
            prev.Join = next.Join;
            prev.Delim = next.Delim;
        } else {
            TTokenPart part = next;
            part.Pos = o;
            part.SuffixLen = static_cast<uint16_t>(suffix);
            result[count++] = part;
        }
        std::copy(text + next.Pos, text + next.End() + suffix, out + o);
        o += next.Len + suffix;
        src = next.End() + next.SuffixLen;
    }
    if (k == 1 && first.SuffixLen != 0) {
        // The first part's suffix travels with the units before the next part; with none
        // taken it is copied here, or dropped when it would pass the capacity.
        if (first.End() + first.SuffixLen > capacity) {
            result[0].SuffixLen = 0;
        } else {
            std::copy(text + o, text + o + first.SuffixLen, out + o);
            o += first.SuffixLen;
        }
    }
    result[count - 1].Delim = DELIM_NONE;
    Parts_.assign(result, result + count);
    Type_ = GetTokenTypeByParts(Parts_.data(), Parts_.size());
    return o;
}

size_t TTextTokenizer::CutToLimit(size_t limit) {
    size_t keep = 0;
    for (size_t i = 0; i < Parts_.size(); ++i) {
        if (Parts_[i].Pos < limit) {
            keep = i;
        }
    }
    Parts_.resize(std::min(keep + 1, MAX_TOKEN_PARTS));
    TTokenPart& last = Parts_.back();
    if (last.Pos > limit) {
        last.Pos = limit;
    }
    if (last.End() > limit) {
        last.Len = limit - last.Pos;
        last.SuffixLen = 0;
    } else if (last.End() + last.SuffixLen > limit) {
        last.SuffixLen = static_cast<uint16_t>(limit - last.End());
    }
    last.Delim = DELIM_NONE;
    return last.End() + last.SuffixLen;
}

size_t TTextTokenizer::DropAndCut(size_t n, size_t limit) {
    // Parts wholly inside the dropped units go; the first that remains starts at 0.
    while (Parts_.size() > 1 && Parts_.front().End() + Parts_.front().SuffixLen <= n) {
        Parts_.erase_front();
    }
    TTokenPart& first = Parts_.front();
    const uint64_t end = std::max<uint64_t>(first.End(), n);
    first.Len = end - n;
    first.Pos = 0;
    first.PrefixLen = 0;
    if (first.Len > limit) {
        first.Len = limit;
        first.SuffixLen = 0;
        first.Delim = DELIM_NONE;
        Parts_.resize(1);
        return limit;
    }
    for (size_t i = 1; i < Parts_.size(); ++i) {
        Parts_[i].Pos -= n;
    }
    return CutToLimit(limit);
}

void TTextTokenizer::HandOn(const wchar16* text, size_t length, std::span<const TTokenPart> parts,
                            size_t sourceLength, int32_t type) {
    const TTokenView view{text, length, parts};
    Checker_->OnToken(view, type);
    Handler_->OnToken(view, sourceLength, type);
}

void TTextTokenizer::ProcessRun(const wchar16* text, size_t length, int32_t type,
                                size_t sourceLength, const wchar16* sourceEnd) {
    const bool word = type >= TOKEN_WORD && type <= TOKEN_MIXED && !Parts_.empty();
    if (word && length > MAX_WORD_TOKEN_LENGTH) {
        const uint8_t* combining = CombiningFlags();
        size_t run = 0;
        while (run < length && combining[text[run]] != 0) {
            ++run;
        }
        if (run <= MAX_WORD_TOKEN_LENGTH) {
            length = CutToLimit(MAX_WORD_TOKEN_LENGTH);
        } else {
            // Marks without a base this long are no word: they go on by themselves.
            const TTokenPart marks{0, run, 0, 0, PART_LETTERS, JOIN_NONE, DELIM_NONE};
            HandOn(text, run, std::span<const TTokenPart>(&marks, 1), run, TOKEN_OTHER);
            text += run;
            sourceLength -= run;
            length = DropAndCut(run, MAX_WORD_TOKEN_LENGTH);
        }
        if (type == TOKEN_MIXED) {
            const uint32_t kind = Parts_.front().Kind;
            const bool oneKind =
                std::all_of(Parts_.begin(), Parts_.end(),
                            [kind](const TTokenPart& p) { return p.Kind == kind; });
            if (oneKind) {
                type = kind == PART_LETTERS ? TOKEN_WORD
                       : kind == PART_MIXED ? TOKEN_MIXED
                                            : TOKEN_INTEGER;
            }
        }
    }
    sourceLength += TakeExtraSource(sourceEnd);

    if (!SplitTokens_ || Parts_.empty()) {
        HandOn(text, length, Parts_, sourceLength, type);
    } else if (Parts_.size() == 1) {
        TTokenPart& part = Parts_[0];
        const size_t prefix = std::min<size_t>(part.PrefixLen, part.Pos);
        if (prefix != 0) {
            HandOn(text, prefix, {}, prefix, TOKEN_OTHER);
            text += prefix;
            length -= prefix;
            sourceLength -= prefix;
            part.Pos -= prefix;
            part.PrefixLen = 0;
        }
        HandOn(text, length, Parts_, sourceLength, type);
    } else {
        SplitToken(text, length, sourceLength, type);
    }
}

bool TTextTokenizer::GroupEnds(size_t j, size_t first, size_t entries) const {
    const size_t last = Parts_.size() - 1;
    if (j == last) {
        return true;
    }
    const TTokenPart& part = Parts_[j];
    const TTokenPart& next = Parts_[j + 1];
    if (part.SuffixLen != 0 || next.PrefixLen != 0) {
        return true;
    }
    const uint32_t d = part.Delim;
    if (d == DELIM_NONE) {
        // Touching parts stay together unless digits with a full stop would follow or lead.
        if (next.Kind == PART_DIGITS && next.Delim == DELIM_FULL_STOP && j + 2 <= last &&
            Parts_[j + 2].Kind == PART_DIGITS) {
            return true;
        }
        return j != first && part.Kind == PART_DIGITS && Parts_[j - 1].Kind == PART_DIGITS &&
               Parts_[j - 1].Delim == DELIM_FULL_STOP;
    }
    if (part.Kind == PART_DIGITS) {
        if (d != DELIM_FULL_STOP || next.Kind != PART_DIGITS) {
            return true;
        }
        // At most one full stop between digits.
        return entries == 2 && Parts_[j - 1].Delim == DELIM_FULL_STOP;
    }
    if ((d != DELIM_APOSTROPHE && d != DELIM_HYPHEN) || part.Kind != next.Kind) {
        return true;
    }
    return (j > first && Parts_[j - 1].Delim == DELIM_NONE) ||
           (j + 1 != last && next.Delim == DELIM_NONE);
}

void TTextTokenizer::SplitToken(const wchar16* text, size_t length, size_t sourceLength,
                                int32_t /*type*/) {
    const size_t count = Parts_.size();
    size_t emitted = std::min<size_t>(Parts_[0].Pos, length);
    if (emitted != 0) {
        HandOn(text, emitted, {}, emitted, TOKEN_OTHER);
    }
    TTokenPart group[MAX_TOKEN_PARTS];
    for (size_t i = 0; i < count;) {
        size_t entries = 0;
        int32_t groupType = TOKEN_WORD;
        size_t j = i;
        for (;; ++j) {
            const TTokenPart& part = Parts_[j];
            if (entries == 0 || group[entries - 1].Delim != DELIM_NONE) {
                if (entries == MAX_TOKEN_PARTS) {
                    TTokenPart& last = group[entries - 1];
                    last.Len = part.End() - last.Pos;
                    last.SuffixLen = part.SuffixLen;
                    last.Kind = PART_OVERFLOW;
                    last.Delim = part.Delim;
                } else {
                    group[entries++] = part;
                    groupType = part.Kind == PART_LETTERS ? TOKEN_WORD : TOKEN_INTEGER;
                }
            } else {
                TTokenPart& last = group[entries - 1];
                last.Len = part.End() - last.Pos;
                last.SuffixLen = part.SuffixLen;
                last.Kind = PART_MIXED;
                last.Join = part.Join;
                last.Delim = part.Delim;
                groupType = TOKEN_MIXED;
            }
            if (GroupEnds(j, i, entries)) {
                break;
            }
        }
        if (groupType == TOKEN_INTEGER && entries == 2 && group[0].Kind == PART_DIGITS &&
            group[1].Kind == PART_DIGITS) {
            group[0].Len = group[1].End() - group[0].Pos;
            group[0].SuffixLen = group[1].SuffixLen;
            group[0].Kind = PART_FLOAT;
            entries = 1;
            groupType = TOKEN_FLOAT;
        }
        const TTokenPart& lastPart = Parts_[j];
        const bool nextHasPrefix = j + 1 < count && Parts_[j + 1].PrefixLen != 0;
        const bool plusBeforePrefix = nextHasPrefix && lastPart.Delim == DELIM_PLUS;
        TTokenPart& last = group[entries - 1];
        last.Delim = DELIM_NONE;
        if (last.Kind == PART_LETTERS) {
            if (plusBeforePrefix) {
                ++last.SuffixLen;
            }
        } else if (groupType == TOKEN_INTEGER && plusBeforePrefix) {
            last.SuffixLen = lastPart.SuffixLen < 2 ? lastPart.SuffixLen + 1 : lastPart.SuffixLen;
        } else {
            last.SuffixLen = 0;
        }
        // The group never reaches into the next part or past the token.
        const size_t limit = j + 1 < count ? std::min<size_t>(Parts_[j + 1].Pos, length) : length;
        const size_t start = std::min<size_t>(group[0].Pos, limit);
        size_t end = std::min<size_t>(last.End() + last.SuffixLen, limit);
        end = std::max(end, start);
        if (last.End() > end) {
            last.Len = end > last.Pos ? end - last.Pos : 0;
        }
        last.SuffixLen = static_cast<uint16_t>(end - std::min<size_t>(last.End(), end));
        for (size_t e = 0; e < entries; ++e) {
            group[e].Pos -= std::min<uint64_t>(group[e].Pos, start);
        }
        group[0].PrefixLen = 0;
        const size_t groupLength = end - start;
        const bool lastGroup = j + 1 == count;
        const size_t groupSource =
            lastGroup ? sourceLength - std::min(sourceLength, length - groupLength) : groupLength;
        if (start > emitted) {
            HandOn(text + emitted, start - emitted, {}, start - emitted, TOKEN_OTHER);
        }
        HandOn(text + start, groupLength, std::span<const TTokenPart>(group, entries), groupSource,
               groupType);
        const size_t gapEnd = lastGroup ? length : std::max(limit, end);
        if (gapEnd > end) {
            HandOn(text + end, gapEnd - end, {}, gapEnd - end, TOKEN_OTHER);
        }
        emitted = gapEnd;
        i = j + 1;
    }
}

size_t TTextTokenizer::TakeExtraSource(const wchar16* sourceEnd) {
    if (ExtraSource_ == 0 || sourceEnd != ExtraSourceEnd_) {
        return 0;
    }
    const size_t extra = ExtraSource_;
    ExtraSource_ = 0;
    return extra;
}
