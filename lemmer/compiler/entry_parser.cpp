// Reading entries: lines, trimming, and the syntax of lemma and wordform lines.
#include "lemmer/compiler/entry_parser.h"

#include "lemmer/compiler/compiler_errors.h"
#include "lemmer/compiler/entry_line_buffer.h"
#include "lemmer/compiler/source_line_decoder.h"

#include "util/charset/unicode_table.h"

namespace {

// Categories trimmed at both ends of a line: space separators, U+200B, U+2028, U+2029 and
// the controls U+0009 to U+000D.
constexpr uint32_t TrimMask = 0x2F00000;
// Categories dropped everywhere: format characters, joiners, direction marks, U+FEFF.
constexpr uint32_t DropMask = 0x78000000;

bool InMask(wchar16 unit, uint32_t mask) {
    const uint32_t category = UnicodeCategory(unit);
    return category < 32 && ((mask >> category) & 1) != 0;
}

bool IsReserved(wchar16 u) noexcept {
    switch (u) {
        case u'[':
        case u']':
        case u'(':
        case u')':
        case u'{':
        case u'}':
        case u' ':
        case u',':
        case u'=':
            return true;
        default:
            return false;
    }
}

bool HasReserved(TUtf16Range text) noexcept {
    for (size_t i = 0; i < text.Length; ++i) {
        if (IsReserved(text.Data[i])) {
            return true;
        }
    }
    return false;
}

bool IsBlank(wchar16 u) noexcept {
    return u == u' ' || u == u'\t';
}

// Trims and drops in place; returns the kept text.
TUtf16Range TrimAndDrop(wchar16* units, size_t count) {
    size_t begin = 0;
    while (begin < count && InMask(units[begin], TrimMask)) {
        ++begin;
    }
    if (begin == count) {
        return TUtf16Range(units, 0);
    }
    size_t end = count;
    while (InMask(units[end - 1], TrimMask)) {
        --end;
    }
    size_t kept = 0;
    for (size_t i = begin; i < end; ++i) {
        if (!InMask(units[i], DropMask)) {
            units[kept++] = units[i];
        }
    }
    return TUtf16Range(units, kept);
}

[[noreturn]] void ThrowExhausted(const char* what) {
    throw NByk::TBufferExhaustedException() << what;
}

}  // namespace

TEntryParser::TEntryParser(const TCompilerSettings* settings, uint64_t firstLine, size_t bufferSize)
    : Settings_(settings),
      Buffer_(std::make_unique<TLineBuffer>(bufferSize)),
      LineCount_(firstLine) {
    if (!CanDecodeSource(settings->CodePage)) {
        kexception e;
        e << "Can not decode dictionary source lines from code page " << settings->CodePage;
        if (ValidCharset(settings->CodePage)) {
            e << " (" << NameByCharset(settings->CodePage) << ")";
        }
        throw e;
    }
}

TEntryParser::~TEntryParser() = default;

void TEntryParser::Reset() noexcept {
    Lemma_ = TUtf16Range();
    CommonGrammar_ = TCharRange();
    Wordforms_.clear();
    Buffer_->Reset();
}

void TEntryParser::Parse(TInputStream& in) {
    Reset();
    ReadEntry(in);
    CheckEntry();
}

TUtf16Range TEntryParser::ReadLine(TInputStream& in) {
    TLineBuffer& buf = *Buffer_;
    const size_t start = buf.Filled();
    unsigned char* raw = reinterpret_cast<unsigned char*>(buf.Current());
    const size_t room = buf.Left();
    size_t stored = 0;
    while (stored < room) {
        if (in.Read(raw + stored, 1) == 0) {
            break;
        }
        if (raw[stored++] == '\n') {
            break;
        }
    }
    if (stored == 0) {
        throw NByk::TEndOfStreamException();
    }
    ++LineCount_;
    // A line that reaches the end of the free space is refused even when it ends there: its
    // units would find no room.
    if (stored == room) {
        ThrowExhausted("Exhaustion while reading input stream");
    }
    buf.Proceed(stored);

    // Output that fills the capacity is refused even when the line is whole; so is a line cut
    // short by the capacity (a surrogate pair or an iconv sequence without room), which would
    // otherwise lose its end unseen.
    const size_t capacity = buf.Left() / sizeof(wchar16);
    wchar16* room16 = buf.UnitRoom();
    const CodePage& page = *CodePageByCharset(Settings_->CodePage);
    TLineDecodeResult decoded;
    if (page.SingleByte()) {
        decoded = DecodeSingleByte(page, raw, stored, room16, capacity);
    } else if (Settings_->CodePage == CODES_UTF8) {
        decoded = DecodeSourceUtf8(raw, stored, room16, capacity);
    } else {
        decoded = DecodeWithIconv(page, raw, stored, room16, capacity);
    }
    if (!decoded.Complete || decoded.Units == capacity) {
        buf.SetPos(start);
        ThrowExhausted("Exhaustion while converting to unicode");
    }
    wchar16* units = buf.CommitLineUnits(decoded.Units);
    if (decoded.Malformed && !Skipping_) {
        throw NByk::TInvalidEntryException()
            << "Invalid UTF-8 (an overlong form or an encoded surrogate)"
            << "; entry \"" << Lemma_ << "\" skipped.";
    }
    return TrimAndDrop(units, decoded.Units);
}

TUtf16Range TEntryParser::ReadNonEmptyLine(TInputStream& in) {
    for (;;) {
        const TUtf16Range line = ReadLine(in);
        if (line.Length != 0) {
            return line;
        }
    }
}

void TEntryParser::SkipToEmptyLine(TInputStream& in) {
    // The skipped lines are not kept: each one reuses the same room of the buffer.
    const size_t pos = Buffer_->Filled();
    Skipping_ = true;
    try {
        for (;;) {
            Buffer_->SetPos(pos);
            if (ReadLine(in).Length == 0) {
                break;
            }
        }
    } catch (...) {
        Skipping_ = false;
        Buffer_->SetPos(pos);
        throw;
    }
    Skipping_ = false;
    Buffer_->SetPos(pos);
}

void TEntryParser::ParseLemma(TInputStream& in) {
    Lemma_ = ReadNonEmptyLine(in);
    if (HasReserved(Lemma_)) {
        throw NByk::TInvalidEntryException()
            << "There are some bad characters in lemma \"" << Lemma_ << "\"; skipped.";
    }
}

TUtf16Range TEntryParser::ExtractUntil(TUtf16Range& rest, wchar16 delimiter, const char* partName,
                                       const char* missingMessage) {
    size_t i = 0;
    while (i < rest.Length && rest.Data[i] != delimiter) {
        ++i;
    }
    if (i == rest.Length) {
        throw NByk::TInvalidEntryException()
            << missingMessage << "; entry \"" << Lemma_ << "\" skipped.";
    }
    const TUtf16Range text(rest.Data, i);
    if (HasReserved(text)) {
        throw NByk::TInvalidEntryException()
            << "There are some bad characters in " << partName << "\"" << text << "\"; entry \""
            << Lemma_ << "\" skipped.";
    }
    rest = TUtf16Range(rest.Data + i + 1, rest.Length - i - 1);
    return text;
}

void TEntryParser::ParseSuffix(TUtf16Range& rest, TUtf16Range& suffix) {
    size_t i = 0;
    while (i < rest.Length && !IsBlank(rest.Data[i])) {
        ++i;
    }
    if (i == rest.Length) {
        throw NByk::TInvalidEntryException() << "No space found after stem"
                                             << "; entry \"" << Lemma_ << "\" skipped.";
    }
    suffix = TUtf16Range(rest.Data, i);
    if (HasReserved(suffix)) {
        throw NByk::TInvalidEntryException()
            << "There are some bad characters in "
            << "suffix"
            << "\"" << suffix << "\"; entry \"" << Lemma_ << "\" skipped.";
    }
    while (i < rest.Length && IsBlank(rest.Data[i])) {
        ++i;
    }
    rest = TUtf16Range(rest.Data + i, rest.Length - i);
}

void TEntryParser::ParseWordform(TUtf16Range line) {
    TWordform form;
    TUtf16Range rest = line;
    form.Prefix = ExtractUntil(rest, u'[', "prefix", "Wordform doesn't have opening bracket");
    form.Stem = ExtractUntil(rest, u']', "stem", "Unclosed bracket in wordform");
    ParseSuffix(rest, form.Suffix);
    form.Grammar = ParseGrammar(rest);
    Wordforms_.push_back(form);
    if (Wordforms_.size() > MaxWordforms) {
        throw NByk::TInvalidEntryException()
            << "Too much wordforms; entry \"" << Lemma_ << "\" skipped.";
    }
}

void TEntryParser::ReadEntry(TInputStream& in) {
    bool lemmaRead = false;
    try {
        ParseLemma(in);
        lemmaRead = true;
        for (;;) {
            const TUtf16Range line = ReadLine(in);
            if (line.Length == 0) {
                break;
            }
            ParseWordform(line);
        }
    } catch (const NByk::TInvalidEntryException&) {
        try {
            SkipToEmptyLine(in);
        } catch (const NByk::TEndOfStreamException&) {
            // The rejected entry was the last one: it is still reported; the next Parse meets
            // the end of the input.
        }
        throw;
    } catch (const NByk::TEndOfStreamException&) {
        if (!lemmaRead && Wordforms_.empty()) {
            throw;
        }
    }
    if (Wordforms_.empty()) {
        throw NByk::TInvalidEntryException()
            << "No forms specified; entry \"" << Lemma_ << "\" skipped.";
    }
    CheckCommonGrammar();
}
