#include "analyzer/printed_word_cache.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

namespace NLemmix {

namespace {

// Record header: output length (u32), flush count (u16), pending line (u8), a padding byte.
constexpr size_t HeaderBytes = 8;

// A kept block of a region is never given back for a larger one: blocks of SmallBytes or more
// take any entry (a key of MaxKeyUnits units and as many parts, a record of MaxEntryBytes
// flush offsets and output bytes).
static_assert(2 + TPrintedWordCache::MaxKeyUnits * (sizeof(wchar16) + sizeof(TTokenPart)) +
                  HeaderBytes + TPrintedWordCache::MaxEntryBytes * (sizeof(uint32_t) + 1) <
              THugePageAllocator::SmallBytes);

template <class T>
T Load(const char* at) {
    T value;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

template <class T>
void Store(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof(value));
}

// A token of one part that is the whole text, with no marks: the common word.
bool IsPlainWord(const TTokenView& token) {
    if (token.Parts.size() != 1) {
        return false;
    }
    TTokenPart plain;
    plain.Len = token.Length;
    return token.Parts[0] == plain;
}

}  // namespace

TPrintedWordCache::TGeneration::~TGeneration() {
    for (const IAllocator::TBlock& block : Blocks_) {
        BlockMemory_.Release(block);
    }
    if (Slots_ != nullptr) {
        SlotMemory_.Release({Slots_, SlotCount_ * sizeof(TSlot)});
    }
}

std::string_view TPrintedWordCache::TGeneration::Find(uint64_t hash, std::string_view key) const {
    if (SlotCount_ == 0) {
        return {};
    }
    const size_t mask = SlotCount_ - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const TSlot& slot = Slots_[i];
        if (slot.Offset == Free) {
            return {};
        }
        if (slot.Hash == hash && slot.KeyBytes == key.size()) {
            const char* entry = At(slot.Offset);
            if (std::memcmp(entry, key.data(), key.size()) == 0) {
                return std::string_view(entry + slot.KeyBytes, slot.RecordBytes);
            }
        }
    }
}

bool TPrintedWordCache::TGeneration::HasRoomFor(size_t bytes) const {
    const size_t slots = (Count_ + 1) * 2 > SlotCount_ ? GrownSlotCount() : SlotCount_;
    size_t held = Arena_ + slots * sizeof(TSlot);
    const bool inBlock = Block_ < Blocks_.size() && BlockUsed_ + bytes <= Blocks_[Block_].Len;
    const size_t next = NextBlock();
    if (!inBlock && (next == Blocks_.size() || Blocks_[next].Len < bytes)) {
        held += bytes;  // a new block, or a larger one for a kept block too small
    }
    return held <= Budget_;
}

void TPrintedWordCache::TGeneration::Insert(uint64_t hash, std::string_view key,
                                            std::string_view record) {
    if ((Count_ + 1) * 2 > SlotCount_) {
        Grow();
    }
    const size_t mask = SlotCount_ - 1;
    size_t i = hash & mask;
    while (Slots_[i].Offset != Free) {
        i = (i + 1) & mask;
    }
    const size_t need = key.size() + record.size();
    if (Block_ == Blocks_.size() || BlockUsed_ + need > Blocks_[Block_].Len) {
        MoveToBlockFor(need);
    }
    char* at = static_cast<char*>(Blocks_[Block_].Data) + BlockUsed_;
    std::memcpy(at, key.data(), key.size());
    std::memcpy(at + key.size(), record.data(), record.size());
    Slots_[i] = {hash, static_cast<uint32_t>((Block_ << BlockShift) | BlockUsed_),
                 static_cast<uint16_t>(key.size()), static_cast<uint16_t>(record.size())};
    BlockUsed_ += need;
    Used_ += need;
    ++Count_;
}

void TPrintedWordCache::TGeneration::MoveToBlockFor(size_t bytes) {
    Block_ = NextBlock();
    BlockUsed_ = 0;
    if (Block_ < Blocks_.size() && Blocks_[Block_].Len >= bytes) {
        return;  // kept from the fill before
    }
    // Blocks grow with the arena up to BlockBytes, so that a short run takes little. A block
    // takes no more than the budget has left, in whole pieces as a region carves them, and
    // leaves what the table adds if it must grow before the block is full (entries of the mean
    // size so far) where that still leaves room for the entry: a block that took the table's
    // room would end the generation half empty.
    const size_t wanted = std::min(BlockBytes, std::max(FirstBlockBytes, Used_));
    const size_t held = Arena_ + SlotCount_ * sizeof(TSlot);
    size_t room = Budget_ > held ? Budget_ - held : 0;
    if (Count_ > 0 && (Count_ + wanted / (Used_ / Count_) + 1) * 2 > SlotCount_) {
        const size_t growth = (GrownSlotCount() - SlotCount_) * sizeof(TSlot);
        if (room >= growth + bytes) {
            room -= growth;
        }
    }
    const size_t piece = THugePageAllocator::PieceAlignment;
    const size_t size = std::max(bytes, std::min(wanted, room) / piece * piece);
    if (Block_ == Blocks_.size()) {
        // Room first, so that no block is lost when the list cannot grow.
        Blocks_.reserve(std::max<size_t>(Blocks_.size() * 2, 16));
        Blocks_.push_back(BlockMemory_.Allocate(size));
    } else {
        // Only a block cut short by the budget is smaller than an entry, and such a block is
        // below SmallBytes: it goes back to malloc, not to a region that would keep it.
        const IAllocator::TBlock larger = BlockMemory_.Allocate(size);
        BlockMemory_.Release(Blocks_[Block_]);
        Arena_ -= Blocks_[Block_].Len;
        Blocks_[Block_] = larger;
    }
    Arena_ += size;
}

void TPrintedWordCache::TGeneration::Grow() {
    const size_t count = GrownSlotCount();
    TSlot* slots = static_cast<TSlot*>(SlotMemory_.Allocate(count * sizeof(TSlot)).Data);
    std::uninitialized_fill(slots, slots + count, TSlot());
    const size_t mask = count - 1;
    for (size_t k = 0; k < SlotCount_; ++k) {
        const TSlot& slot = Slots_[k];
        if (slot.Offset != Free) {
            size_t i = slot.Hash & mask;
            while (slots[i].Offset != Free) {
                i = (i + 1) & mask;
            }
            slots[i] = slot;
        }
    }
    if (Slots_ != nullptr) {
        SlotMemory_.Release({Slots_, SlotCount_ * sizeof(TSlot)});
    }
    Slots_ = slots;
    SlotCount_ = count;
}

void TPrintedWordCache::TGeneration::Clear() {
    // The storage stays: the next generation grows to about the same size.
    std::fill(Slots_, Slots_ + SlotCount_, TSlot());
    Block_ = 0;
    BlockUsed_ = 0;
    Used_ = 0;
    Count_ = 0;
}

TPrintedWordCache::TPrintedWordCache(TAnalysisPrinter* printer, size_t budget)
    : Printer_(printer), HalfBudget_(std::min<size_t>(budget, size_t(2) << 30) / 2) {
    for (TGeneration& generation : Generations_) {
        generation.SetBudget(HalfBudget_);
    }
}

size_t TPrintedWordCache::HeldBytes() const {
    return Generations_[0].HeldBytes() + Generations_[1].HeldBytes();
}

void TPrintedWordCache::MakeKey(const TTokenView& token) {
    // The line state, the text, then the parts' records as they are (they have no padding),
    // left out for a plain word.
    const bool plain = IsPlainWord(token);
    Key_.assign(1, Printer_->LinePending() ? '1' : '0');
    Key_.push_back(plain ? 'p' : 'P');
    Key_.append(reinterpret_cast<const char*>(token.Text), token.Length * sizeof(wchar16));
    if (!plain) {
        Key_.append(reinterpret_cast<const char*>(token.Parts.data()),
                    token.Parts.size() * sizeof(TTokenPart));
    }
    KeyHash_ = std::hash<std::string_view>()(Key_);
}

void TPrintedWordCache::Replay(std::string_view record) {
    const uint32_t bytes = Load<uint32_t>(record.data());
    const uint16_t flushes = Load<uint16_t>(record.data() + 4);
    TPrintedStretchView view;
    view.LinePendingAfter = record[6] != 0;
    view.Flushes = record.data() + HeaderBytes;
    view.FlushCount = flushes;
    view.Bytes = record.substr(HeaderBytes + flushes * sizeof(uint32_t), bytes);
    Printer_->Replay(view);
}

bool TPrintedWordCache::ReplayOrRecord(const TTokenView& token) {
    Recording_ = false;
    if (HalfBudget_ == 0 || token.Length > MaxKeyUnits) {
        return false;
    }
    MakeKey(token);
    if (const std::string_view record = Newer_->Find(KeyHash_, Key_); !record.empty()) {
        ++Hits_;
        Replay(record);
        return true;
    }
    if (const std::string_view record = Older_->Find(KeyHash_, Key_); !record.empty()) {
        ++Hits_;
        // Replayed before it is copied: the replay may raise, and then nothing moves.
        Replay(record);
        Record_.assign(record);
        if (!Newer_->HasRoomFor(Key_.size() + Record_.size())) {
            // Dropping the older generation drops `record` too: it was copied first.
            std::swap(Newer_, Older_);
            Newer_->Clear();
        }
        Newer_->Insert(KeyHash_, Key_, Record_);
        return true;
    }
    ++Misses_;
    Recording_ = true;
    Printer_->StartRecording(&Stretch_);
    return false;
}

void TPrintedWordCache::EndRecord() {
    if (!Recording_) {
        return;
    }
    Recording_ = false;
    Printer_->StopRecording();
    if (Stretch_.Bytes.size() > MaxEntryBytes || Stretch_.Flushes.size() > MaxEntryBytes) {
        return;
    }
    Record_.clear();
    Store<uint32_t>(Record_, static_cast<uint32_t>(Stretch_.Bytes.size()));
    Store<uint16_t>(Record_, static_cast<uint16_t>(Stretch_.Flushes.size()));
    Record_.push_back(Stretch_.LinePendingAfter ? 1 : 0);
    Record_.push_back(0);
    for (const size_t at : Stretch_.Flushes) {
        Store<uint32_t>(Record_, static_cast<uint32_t>(at));
    }
    Record_.append(Stretch_.Bytes);
    if (!Newer_->HasRoomFor(Key_.size() + Record_.size())) {
        std::swap(Newer_, Older_);
        Newer_->Clear();
    }
    Newer_->Insert(KeyHash_, Key_, Record_);
}

void TPrintedWordCache::AbandonRecord() noexcept {
    if (Recording_) {
        Recording_ = false;
        Printer_->AbandonRecording();
    }
}

}  // namespace NLemmix
