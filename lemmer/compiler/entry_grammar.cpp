// Grammar features and entry checks of the entry parser: grammeme names to codes, the common
// grammar, the category rules and the alphabet check with normalisation.
#include "lemmer/compiler/compiler_errors.h"
#include "lemmer/compiler/entry_line_buffer.h"
#include "lemmer/compiler/entry_parser.h"

#include "lemmer/grammar/grammeme_table.h"

#include "util/charset/encoder.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t MinCode = 0x7F;
constexpr uint8_t MaxCode = 0xF9;
constexpr uint32_t PartOfSpeechMask = 1;

bool IsSeparator(char b) noexcept {
    return b == '=' || b == ',' || b == ' ';
}

// The units of bytes of the internal code page, for quoting a feature name.
TUtf16String DecodeInternalCodePage(const char* bytes, size_t length) {
    const CodePage& page = *CodePageByCharset(CODES_KORVEL);
    TUtf16String text;
    for (size_t i = 0; i < length; ++i) {
        text.append(static_cast<wchar16>(page.Unicode[static_cast<unsigned char>(bytes[i])]));
    }
    return text;
}

uint32_t CategoryMask(uint8_t code) noexcept {
    return TGrammemeTable::Instance().GetCategoryMask(code);
}

const char HexDigits[] = "0123456789abcdef";

}  // namespace

char* TEntryParser::AppendCodes(const uint8_t* codes, size_t count) {
    if (Buffer_->Left() < count) {
        throw NByk::TBufferExhaustedException() << "Exhaustion while storing grammar codes";
    }
    char* at = Buffer_->Current();
    if (count) {
        std::memcpy(at, codes, count);
    }
    Buffer_->Proceed(count);
    return at;
}

uint8_t TEntryParser::FeatureCode(const char* name, size_t length) const {
    const size_t key = static_cast<size_t>(std::find(name, name + length, '\0') - name);
    const uint32_t code = key ? TGrammemeTable::Instance().FindCode(name, key) : 0;
    if (code == 0) {
        throw NByk::TInvalidEntryException()
            << "Invalid grammar feature \"" << DecodeInternalCodePage(name, length)
            << "\"; entry \"" << Lemma_ << "\" skipped.";
    }
    return static_cast<uint8_t>(code);
}

TCharRange TEntryParser::ParseGrammar(TUtf16Range text) {
    static const Encoder& encoder = *EncoderByCharset(CODES_KORVEL);
    uint8_t codes[MaxGrammarCodes];
    size_t count = 0;
    char name[MaxFeatureName + 2];
    size_t nameLength = 0;
    const auto endName = [&] {
        const uint8_t code = FeatureCode(name, nameLength);
        if (count == MaxGrammarCodes) {
            throw NByk::TInvalidEntryException()
                << "Too many grammar features (more than " << MaxGrammarCodes
                << ") in one form; entry \"" << Lemma_ << "\" skipped.";
        }
        codes[count++] = code;
        nameLength = 0;
    };
    for (size_t i = 0; i < text.Length; ++i) {
        const char b = encoder.Code(text.Data[i]);
        if (IsSeparator(b) && nameLength != 0) {
            endName();
            continue;
        }
        name[nameLength++] = b;
        if (nameLength > MaxFeatureName) {
            throw NByk::TInvalidEntryException()
                << "Too long grammar feature \"" << DecodeInternalCodePage(name, nameLength)
                << "...\"; entry \"" << Lemma_ << "\" skipped.";
        }
    }
    if (nameLength != 0) {
        endName();
    }
    if (count == 0) {
        throw NByk::TInvalidEntryException()
            << "No grammar categories assigned to one of the forms; entry \"" << Lemma_
            << "\" skipped.";
    }
    std::sort(codes, codes + count);
    count = static_cast<size_t>(std::unique(codes, codes + count) - codes);
    for (size_t i = 0; i < count; ++i) {
        if (codes[i] < MinCode || codes[i] > MaxCode) {
            throw NByk::TInvalidEntryException()
                << "Invalid grammar code 0x" << HexDigits[codes[i] >> 4]
                << HexDigits[codes[i] & 0xF] << "; entry \"" << Lemma_ << "\" skipped.";
        }
    }
    return TCharRange(AppendCodes(codes, count), count);
}

void TEntryParser::CheckCommonGrammar() {
    uint8_t common[MaxGrammarCodes];
    const TCharRange first = Wordforms_.front().Grammar;
    size_t count = first.Length;
    std::memcpy(common, first.Data, count);
    for (size_t f = 1; f < Wordforms_.size() && count != 0; ++f) {
        const TCharRange g = Wordforms_[f].Grammar;
        size_t kept = 0;
        for (size_t i = 0; i < count; ++i) {
            if (std::memchr(g.Data, common[i], g.Length)) {
                common[kept++] = common[i];
            }
        }
        count = kept;
    }
    if (count == 0) {
        throw NByk::TInvalidEntryException()
            << "No common grammar in wordforms; entry \"" << Lemma_ << "\" skipped.";
    }
    for (TWordform& form : Wordforms_) {
        // The grammar views point into the line buffer, which the parser owns.
        char* codes = const_cast<char*>(form.Grammar.Data);
        size_t kept = 0;
        for (size_t i = 0; i < form.Grammar.Length; ++i) {
            if (!std::memchr(common, static_cast<unsigned char>(codes[i]), count)) {
                codes[kept++] = codes[i];
            }
        }
        form.Grammar.Length = kept;
    }
    CommonGrammar_ = TCharRange(AppendCodes(common, count), count);
}

void TEntryParser::CheckEntry() {
    CheckGrammar();
    CheckAlphabets();
}

void TEntryParser::CheckGrammar() const {
    const TCharRange common = CommonGrammar_;
    const uint8_t pos = common.Length ? static_cast<uint8_t>(common.Data[0]) : 0;
    if (CategoryMask(pos) != PartOfSpeechMask) {
        throw NByk::TInvalidEntryException()
            << "Part of speech is not specified; entry \"" << Lemma_ << "\" skipped.";
    }
    uint32_t seen = PartOfSpeechMask;
    for (size_t i = 1; i < common.Length; ++i) {
        const uint32_t mask = CategoryMask(static_cast<uint8_t>(common.Data[i]));
        if (mask & seen) {
            throw NByk::TInvalidEntryException()
                << "Non-unique grammar classes in common grammar; entry \"" << Lemma_
                << "\" skipped.";
        }
        seen |= mask;
    }
    for (const TWordform& form : Wordforms_) {
        uint32_t formSeen = seen;
        for (size_t i = 0; i < form.Grammar.Length; ++i) {
            const uint32_t mask = CategoryMask(static_cast<uint8_t>(form.Grammar.Data[i]));
            if (mask & formSeen) {
                throw NByk::TInvalidEntryException()
                    << "Repeated grammar class " << mask << " in form \"" << form.Prefix << "["
                    << form.Stem << "]" << form.Suffix << "\"; entry \"" << Lemma_ << "\" skipped.";
            }
            formSeen |= mask;
        }
    }
}

void TEntryParser::CheckAlphabets() {
    CheckAlphabet(Lemma_);
    for (TWordform& form : Wordforms_) {
        CheckAlphabet(form.Stem);
        CheckAlphabet(form.Prefix);
        CheckAlphabet(form.Suffix);
    }
}

void TEntryParser::CheckAlphabet(TUtf16Range& text) {
    text = NormalizeText(text);
    const NLemmer::TAlphabetWordNormalizer* normalizer = Settings_->Normalizer;
    if (normalizer && !normalizer->IsAlphabetic(text.Data, text.Length)) {
        throw NByk::TInvalidEntryException() << "Found non-alphabetical character in string \""
                                             << text << "\"; entry \"" << Lemma_ << "\" skipped.";
    }
}

TUtf16Range TEntryParser::NormalizeText(TUtf16Range text) {
    const NLemmer::TAlphabetWordNormalizer* normalizer = Settings_->Normalizer;
    if (!normalizer || text.Length == 0) {
        return text;
    }
    const size_t capacity = 2 * text.Length + 1;
    const size_t pos = Buffer_->Filled();
    if (!Buffer_->AlignForUnits() || Buffer_->LeftUnits() < capacity) {
        Buffer_->SetPos(pos);
        throw NByk::TBufferExhaustedException() << "Exhaustion while converting article";
    }
    wchar16* out = Buffer_->CurrentUnits();
    const NLemmer::TNormalizeResult r =
        normalizer->NormalizeWord(text.Data, text.Length, out, capacity, 0x1F);
    if (!r.Valid || (r.Length == text.Length && std::equal(out, out + r.Length, text.Data))) {
        Buffer_->SetPos(pos);
        return text;
    }
    Buffer_->Proceed(r.Length * sizeof(wchar16));
    return TUtf16Range(out, r.Length);
}
