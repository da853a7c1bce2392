#include "tokenizer/sentence_break.h"

#include "lemmer/alphabet/unicode_services.h"
#include "tokenizer/abbreviations.h"
#include "util/charset/unicode_utf16.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsLatinCapital(wchar16 u) {
    return u >= u'A' && u <= u'Z';
}

// Lower-cases text[0, length) in place, code point by code point; a mapping that would need
// more room than the text has stops there.
void LowerInPlace(wchar16* text, size_t length) {
    size_t pos = 0;
    while (pos < length) {
        size_t units = 0;
        const uint32_t cp = ReadUtf16CodePoint(text, length, pos, &units);
        wchar16 out[2];
        const size_t written = WriteUtf16CodePoint(UnicodeToLower(cp), out);
        if (written > units && pos + written > length) {
            return;
        }
        std::copy(out, out + written, text + pos);
        pos += units;
    }
}

}  // namespace

TSentenceBreakChecker::TSentenceBreakChecker(int32_t mode)
    : Abbreviations_(mode == 1 ? nullptr : &TAbbreviations::Instance()) {}

bool TSentenceBreakChecker::HasDotJoinedParts() const {
    if (PartCount_ < 2) {
        return false;
    }
    return std::all_of(Parts_, Parts_ + PartCount_ - 1,
                       [](const TTokenPart& p) { return p.Delim == DELIM_FULL_STOP; });
}

void TSentenceBreakChecker::OnToken(const TTokenView& token, int32_t type) {
    if (type >= TOKEN_WORD && type <= TOKEN_MIXED) {
        Type_ = type;
        Length_ = std::min(token.Length, MAX_WORD_TOKEN_LENGTH);
        if (Length_ != 0) {
            std::memcpy(Buffer_, token.Text, Length_ * sizeof(wchar16));
        }
        PartCount_ = std::min(token.Parts.size(), MAX_TOKEN_PARTS);
        std::copy(token.Parts.begin(), token.Parts.begin() + PartCount_, Parts_);
        ++WordCount_;
    } else if (type == TOKEN_SENTENCE || type == TOKEN_PARAGRAPH) {
        WordCount_ = 0;
    }
}

int32_t TSentenceBreakChecker::Check(const wchar16* text, size_t length) {
    if (text[0] == u':') {
        return TOKEN_OTHER;
    }
    if (text[0] != u'.') {
        return TOKEN_SENTENCE;
    }
    if (Type_ == TOKEN_INTEGER && WordCount_ == 1) {
        return TOKEN_OTHER;
    }
    if (Length_ == 1) {
        return TOKEN_OTHER;
    }
    if (PartCount_ == 0) {
        return TOKEN_SENTENCE;
    }
    const TTokenPart& last = Parts_[PartCount_ - 1];
    // A part reaching past the stored text (never made by the tokeniser) counts as what fits.
    const size_t pos = std::min<uint64_t>(last.Pos, Length_);
    const size_t q = std::min<uint64_t>(last.Len, Length_ - pos);
    if (q == 0) {
        return TOKEN_SENTENCE;
    }
    const wchar16 following = text[length - 1];
    if (q == 1) {
        if (Type_ == TOKEN_INTEGER) {
            return TOKEN_SENTENCE;
        }
        if ((Type_ == TOKEN_WORD || last.Kind == PART_DIGITS) && HasDotJoinedParts()) {
            return TOKEN_OTHER;
        }
        if (Type_ != TOKEN_WORD) {
            return TOKEN_SENTENCE;
        }
        if (PartCount_ == 2 && Parts_[0].Len == 1 && Parts_[1].Len == 1 &&
            Parts_[0].Pos < Length_ && IsLatinCapital(Buffer_[Parts_[0].Pos]) &&
            IsLatinCapital(Buffer_[pos]) && IsLatinCapital(following)) {
            return TOKEN_OTHER;
        }
        return TOKEN_SENTENCE;
    }
    if (Type_ != TOKEN_WORD || Abbreviations_ == nullptr) {
        return TOKEN_SENTENCE;
    }
    wchar16* key = Buffer_ + pos;
    LowerInPlace(key, q);
    if (Abbreviations_->Common.Contains(key, q)) {
        return TOKEN_OTHER;
    }
    if (GetUnicodeCharInfo(following)->Category() == UC_DIGIT &&
        Abbreviations_->BeforeDigit.Contains(key, q)) {
        return TOKEN_OTHER;
    }
    return TOKEN_SENTENCE;
}
