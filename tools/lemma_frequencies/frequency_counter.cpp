#include "tools/lemma_frequencies/frequency_counter.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <iterator>
#include <string_view>

namespace {

// The part-of-speech names a key may end with.
constexpr std::u16string_view PartsOfSpeech[] = {u"S",    u"V",    u"A",   u"ADV",    u"COM",
                                                 u"INTJ", u"PART", u"PR",  u"ADVPRO", u"CONJ",
                                                 u"SPRO", u"APRO", u"NUM", u"ANUM"};

std::string Utf8(const std::u16string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace

void TFrequencyCounter::PrintWord(const wchar16*, size_t, TAnalysisRecord* first,
                                  TAnalysisRecord* last) {
    ++Words_;
    Keys_.clear();
    for (TAnalysisRecord* record = first; record != last; ++record) {
        if (record->Flags & AF_NOT_FROM_DICTIONARY) {
            continue;  // guesses: see the counting rule
        }
        wchar16 key[NLemmix::LemmaFrequencyKeyCapacity];
        const size_t length = NLemmix::LemmaFrequencyKey(*record, key);
        std::u16string text(key, key + length);
        const std::u16string name = length == 0 ? u"" : text.substr(text.rfind(u'=') + 1);
        if (std::find(std::begin(PartsOfSpeech), std::end(PartsOfSpeech), name) ==
            std::end(PartsOfSpeech)) {
            ++Skipped_[name];
            continue;
        }
        if (std::find(Keys_.begin(), Keys_.end(), text) == Keys_.end()) {
            Keys_.push_back(std::move(text));
        }
    }
    for (const std::u16string& key : Keys_) {
        Counts_[key] += 1.0 / static_cast<double>(Keys_.size());
    }
}

std::vector<std::pair<std::string, uint64_t>> FrequencyRows(
    const std::unordered_map<std::u16string, double>& counts, uint64_t words) {
    assert(words > 0);
    std::vector<std::pair<std::string, uint64_t>> rows;
    rows.reserve(counts.size());
    const double perWord = 1e8 / static_cast<double>(words);
    for (const auto& [key, count] : counts) {
        const long long value = std::llround(count * perWord);
        rows.emplace_back(Utf8(key), std::max<long long>(1, value));
    }
    std::sort(rows.begin(), rows.end());  // UTF-8 bytes: code point order
    return rows;
}

void WriteFrequencyRows(const std::vector<std::pair<std::string, uint64_t>>& rows,
                        TOutputStream& out) {
    for (const auto& [key, value] : rows) {
        out << Stroka(key.data(), key.size()) << "\t" << value << "\n";
    }
}
