#include "tokenizer/abbreviations.h"

#include "util/charset/utf8.h"
#include "util/digest/city_hash.h"
#include "util/system/singleton.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

constexpr size_t PRIMES[] = {
    7ul,          17ul,         29ul,         53ul,        97ul,        193ul,       389ul,
    769ul,        1543ul,       3079ul,       6151ul,      12289ul,     24593ul,     49157ul,
    98317ul,      196613ul,     393241ul,     786433ul,    1572869ul,   3145739ul,   6291469ul,
    12582917ul,   25165843ul,   50331653ul,   100663319ul, 201326611ul, 402653189ul, 805306457ul,
    1610612741ul, 3221225473ul, 4294967291ul,
};

// Entries are matched against the last part of a word only, so the ones holding "-" or "."
// (a joiner between parts) can never match; they stay for the list's sake. "тeх" has a Latin e.
constexpr std::string_view COMMON[] = {
    "агр",   "акад", "ал",  "алл", "арх",  "б-р",  "бол",   "бул",  "бульв", "вл",    "верхн",
    "вып",   "гг",   "ген", "гр",  "деп",  "дер",  "дир",   "дор",  "доц",   "зав",   "зам",
    "им",    "канд", "каб", "кв",  "кв-л", "км",   "кн",    "корп", "корр",  "кр",    "лит",
    "маг",   "м-н.", "мех", "мин", "мкр",  "наб",  "напр",  "нов",  "нс",    "пав",   "пер",
    "пер-к", "пл",   "пос", "пп",  "пр",   "пр-д", "пр-зд", "пр-т", "пр-кт", "просп", "проф",
    "ред",   "св",   "см",  "сов", "спец", "ср",   "ст",    "твц",  "тоц",   "трк",   "тц",
    "тeх",   "техн", "тов", "тт",  "туп",  "укр",  "ул",    "чл",   "эт",    "co",    "corp",
    "dr",    "inc",  "ltd", "mr",  "mrs",  "ms",   "st",    "vs",
};

constexpr std::string_view BEFORE_DIGIT[] = {
    "авг", "апр",  "влад", "дек",  "доб", "ил",  "кл", "ком", "кор", "млн", "млрд", "оф",
    "рис", "сент", "стр",  "табл", "тел", "тыс", "шк", "янв", "no",  "pp",  "vol",
};

void Fill(TAbbreviationSet& set, const std::string_view* words, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const TUtf16String word = DecodeUtf8(words[i].data(), words[i].size());
        set.Add(word.data(), word.size());
    }
}

}  // namespace

TAbbreviationSet::TAbbreviationSet() : Buckets_(PRIMES[0], NO_NODE) {}

size_t TAbbreviationSet::BucketCountFor(size_t count) {
    const size_t* p = std::lower_bound(std::begin(PRIMES), std::end(PRIMES), count);
    return p == std::end(PRIMES) ? PRIMES[std::size(PRIMES) - 1] : *p;
}

size_t TAbbreviationSet::BucketOf(const wchar16* word, size_t length, size_t bucketCount) const {
    return CityHash64(reinterpret_cast<const char*>(word), length * sizeof(wchar16)) % bucketCount;
}

void TAbbreviationSet::Rehash(size_t count) {
    if (Buckets_.size() >= count) {
        return;
    }
    const size_t size = BucketCountFor(count);
    if (Buckets_.size() >= size) {
        return;
    }
    std::vector<uint32_t> buckets(size, NO_NODE);
    for (uint32_t head : Buckets_) {
        while (head != NO_NODE) {
            TNode& node = Nodes_[head];
            const uint32_t next = node.Next;
            const size_t b = BucketOf(Units_.data() + node.Offset, node.Length, size);
            node.Next = buckets[b];
            buckets[b] = head;
            head = next;
        }
    }
    Buckets_.swap(buckets);
}

void TAbbreviationSet::Add(const wchar16* word, size_t length) {
    Rehash(Count_ + 1);
    if (Contains(word, length)) {
        return;
    }
    const size_t b = BucketOf(word, length, Buckets_.size());
    const uint32_t offset = static_cast<uint32_t>(Units_.size());
    Units_.insert(Units_.end(), word, word + length);
    Nodes_.push_back({Buckets_[b], offset, static_cast<uint32_t>(length)});
    Buckets_[b] = static_cast<uint32_t>(Nodes_.size() - 1);
    ++Count_;
}

bool TAbbreviationSet::Contains(const wchar16* word, size_t length) const {
    for (uint32_t i = Buckets_[BucketOf(word, length, Buckets_.size())]; i != NO_NODE;
         i = Nodes_[i].Next) {
        const TNode& node = Nodes_[i];
        if (node.Length == length && (length == 0 || std::memcmp(Units_.data() + node.Offset, word,
                                                                 length * sizeof(wchar16)) == 0)) {
            return true;
        }
    }
    return false;
}

TAbbreviations::TAbbreviations() {
    Fill(Common, COMMON, std::size(COMMON));
    Fill(BeforeDigit, BEFORE_DIGIT, std::size(BEFORE_DIGIT));
}

const TAbbreviations& TAbbreviations::Instance() {
    return *Singleton<TAbbreviations>();
}
