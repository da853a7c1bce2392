// A bounded cache of what the printer wrote for a word token, so that a word seen again in a
// run is neither analysed nor printed again. A token's output is a pure function of the token
// (its text and parts), the run's options and whether a line feed is due before it (the
// word-per-line mode), so the run's cache keys on the token and that state alone.
#pragma once

#include "analyzer/analysis_printer.h"
#include "analyzer/token_handler.h"
#include "util/system/huge_page_allocator.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace NLemmix {

// Keeps the entries of the run in two generations: a hit in the older one copies the entry to
// the newer one, and when the newer one has used half the budget the older one is dropped
// and the newer one takes its place, so the words seen often stay. A token longer than
// MaxKeyUnits or an output longer than MaxEntryBytes is not kept. Owns its entries; the
// printer belongs to the run. Not thread-safe.
class TPrintedWordCache : public IWordOutputCache {
public:
    static constexpr size_t MaxKeyUnits = 128;
    static constexpr size_t MaxEntryBytes = 4096;

    // `budget` bounds the bytes the entries and their tables take (up to 2 GiB are used).
    TPrintedWordCache(TAnalysisPrinter* printer, size_t budget);

    bool ReplayOrRecord(const TTokenView& token) override;
    void EndRecord() override;
    void AbandonRecord() noexcept override;

    size_t Hits() const { return Hits_; }
    size_t Misses() const { return Misses_; }

private:
    // One generation: an open-addressing table over an arena holding each entry's key and
    // record (output length, flush count, pending line, flush offsets, output bytes). The arena
    // is a list of blocks that are filled in turn and never moved, so every page it takes is
    // written once; blocks and table come from huge pages where the kernel has them (a first
    // touch of a page costs far more than what is written to it).
    class TGeneration {
    public:
        TGeneration() = default;
        ~TGeneration();
        TGeneration(const TGeneration&) = delete;
        TGeneration& operator=(const TGeneration&) = delete;

        // The record of the key, empty when there is none.
        std::string_view Find(uint64_t hash, std::string_view key) const;
        void Insert(uint64_t hash, std::string_view key, std::string_view record);
        size_t Cost() const;
        void Clear();
        // No block grows beyond min(`bytes`, BlockBytes) unless one entry needs more.
        void SetArenaLimit(size_t bytes) { ArenaLimit_ = bytes; }

    private:
        static constexpr uint32_t Free = UINT32_MAX;
        static constexpr int BlockShift = 20;
        static constexpr size_t BlockBytes = size_t(1) << BlockShift;
        static constexpr size_t FirstBlockBytes = size_t(64) << 10;
        // Keys and records are far shorter than 64 KiB (MaxKeyUnits, MaxEntryBytes).
        struct TSlot {
            uint64_t Hash = 0;
            uint32_t Offset = Free;  // block index << BlockShift | offset in the block
            uint16_t KeyBytes = 0;
            uint16_t RecordBytes = 0;
        };
        void Grow();
        const char* At(uint32_t offset) const {
            return static_cast<const char*>(Blocks_[offset >> BlockShift].Data) +
                   (offset & (BlockBytes - 1));
        }

        // Declared first, destroyed last: the table and the blocks come from them. The table
        // has one of its own, as each table it replaces is given back.
        THugePageAllocator BlockMemory_;
        THugePageAllocator SlotMemory_{THugePageAllocator::HugePageBytes};
        TSlot* Slots_ = nullptr;
        size_t SlotCount_ = 0;  // a power of two, or 0
        std::vector<IAllocator::TBlock> Blocks_;
        size_t Block_ = 0;      // the block being filled; Blocks_.size() before the first
        size_t BlockUsed_ = 0;  // its bytes in use
        size_t Used_ = 0;       // bytes of all entries
        size_t ArenaLimit_ = 0;
        size_t Count_ = 0;
    };

    void MakeKey(const TTokenView& token);
    void Replay(std::string_view record);

    TAnalysisPrinter* Printer_;
    size_t HalfBudget_;
    TGeneration Generations_[2];
    TGeneration* Newer_ = &Generations_[0];
    TGeneration* Older_ = &Generations_[1];
    std::string Key_;  // the key of the token being looked up, reused
    uint64_t KeyHash_ = 0;
    bool Recording_ = false;
    TPrintedStretch Stretch_;
    std::string Record_;  // the record being built, reused
    size_t Hits_ = 0;
    size_t Misses_ = 0;
};

}  // namespace NLemmix
