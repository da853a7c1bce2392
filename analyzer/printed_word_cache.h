// A bounded cache of what the printer wrote for a word token, so that a word seen again in a
// run is neither analysed nor printed again. A token's output is a pure function of the token
// (its text and parts), the run's options and whether a line feed is due before it (the
// word-per-line mode), so the run's cache keys on the token and that state alone.
#pragma once

#include "analyzer/analysis_printer.h"
#include "analyzer/token_handler.h"
#include "util/system/huge_page_allocator.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace NLemmix {

// Keeps the entries of the run in two generations: a hit in the older one copies the entry to
// the newer one, and when the newer one has no room left in half the budget the older one is
// dropped and the newer one takes its place, so the words seen often stay. A token longer than
// MaxKeyUnits or an output longer than MaxEntryBytes is not kept. Owns its entries; the
// printer belongs to the run. Not thread-safe.
class TPrintedWordCache : public IWordOutputCache {
public:
    static constexpr size_t MaxKeyUnits = 128;
    static constexpr size_t MaxEntryBytes = 4096;

    // `budget` bounds the memory the entries and their tables hold (up to 2 GiB are used); a
    // generation holds one entry even when that alone is more than its half, and while a
    // table grows the one it replaces is held too.
    TPrintedWordCache(TAnalysisPrinter* printer, size_t budget);

    bool ReplayOrRecord(const TTokenView& token) override;
    void EndRecord() override;
    void AbandonRecord() noexcept override;

    size_t Hits() const { return Hits_; }
    size_t Misses() const { return Misses_; }
    // The memory the generations have taken and not given back, as their allocators count it
    // (for tests).
    size_t HeldBytes() const;

private:
    // One generation: an open-addressing table over an arena holding each entry's key and
    // record (output length, flush count, pending line, flush offsets, output bytes). The arena
    // is a list of blocks that are filled in turn and never moved, so every page it takes is
    // written once; blocks and table come from huge pages where the kernel has them (a first
    // touch of a page costs far more than what is written to it). A cleared generation keeps
    // its blocks and table and fills them again: a huge-page block given back would keep its
    // region mapped until the region's last block goes.
    class TGeneration {
    public:
        TGeneration() = default;
        ~TGeneration();
        TGeneration(const TGeneration&) = delete;
        TGeneration& operator=(const TGeneration&) = delete;

        // The record of the key, empty when there is none.
        std::string_view Find(uint64_t hash, std::string_view key) const;
        // Whether an entry of `bytes` fits without the generation holding more than its budget.
        bool HasRoomFor(size_t bytes) const;
        // Takes the entry even when it does not fit: a generation holds at least one.
        void Insert(uint64_t hash, std::string_view key, std::string_view record);
        void Clear();
        void SetBudget(size_t bytes) { Budget_ = bytes; }
        size_t HeldBytes() const { return BlockMemory_.HeldBytes() + SlotMemory_.HeldBytes(); }

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
        size_t GrownSlotCount() const { return std::max<size_t>(SlotCount_ * 2, 1024); }
        // The block after the one being filled (the first before any), or Blocks_.size().
        size_t NextBlock() const { return Block_ == Blocks_.size() ? Block_ : Block_ + 1; }
        void Grow();
        void MoveToBlockFor(size_t bytes);
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
        size_t Arena_ = 0;      // bytes of all blocks, those kept for later fills included
        size_t Budget_ = 0;
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
