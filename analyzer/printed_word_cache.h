// A bounded cache of what the printer wrote for a word token, so that a word seen again in a
// run is neither analysed nor printed again. A token's output is a pure function of the token
// (its text and parts), the run's options and whether a line feed is due before it (the
// word-per-line mode), so the run's cache keys on the token and that state alone.
#pragma once

#include "analyzer/analysis_printer.h"
#include "analyzer/token_handler.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace NLemmix {

// Keeps the entries of the run in two generations: a hit in the older one moves the entry to
// the newer one, and when the newer one has used half the budget the older one is dropped
// and the newer one takes its place, so the words seen often stay. A token longer than
// MaxKeyUnits or an output longer than MaxEntryBytes is not kept. Owns its entries; the
// printer belongs to the run. Not thread-safe.
class TPrintedWordCache : public IWordOutputCache {
public:
    static constexpr size_t MaxKeyUnits = 128;
    static constexpr size_t MaxEntryBytes = 4096;

    // `budget` bounds the bytes of keys and outputs, with a fixed charge per entry; below two
    // entries' worth nothing is kept.
    TPrintedWordCache(TAnalysisPrinter* printer, size_t budget);

    bool ReplayOrRecord(const TTokenView& token) override;
    void EndRecord() override;
    void AbandonRecord() noexcept override;

    size_t Hits() const { return Hits_; }
    size_t Misses() const { return Misses_; }

private:
    struct THash {
        using is_transparent = void;
        // Not noexcept: the table then keeps each hash, and a lookup hashes only the key.
        size_t operator()(std::u16string_view key) const {
            return std::hash<std::u16string_view>()(key);
        }
    };
    using TMap = std::unordered_map<std::u16string, TPrintedStretch, THash, std::equal_to<>>;

    void MakeKey(const TTokenView& token);
    static size_t Cost(const std::u16string& key, const TPrintedStretch& entry);

    TAnalysisPrinter* Printer_;
    size_t HalfBudget_;
    TMap Newer_;
    TMap Older_;
    size_t NewerCost_ = 0;
    std::u16string Key_;  // the key of the token being looked up, reused
    bool Recording_ = false;
    TPrintedStretch Record_;
    size_t Hits_ = 0;
    size_t Misses_ = 0;
};

}  // namespace NLemmix
