#include "analyzer/printed_word_cache.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

namespace NLemmix {

namespace {

// Record header: output length (u32), flush count (u16), pending line (u8), a padding byte.
constexpr size_t HeaderBytes = 8;

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
        if (Block_ < Blocks_.size()) {
            ++Block_;
        }
        // Blocks grow with the arena up to BlockBytes, so that a short run takes little; a
        // block kept from the generation before is reused when it is large enough.
        const size_t size =
            std::max(need, std::min({BlockBytes, ArenaLimit_, std::max(FirstBlockBytes, Used_)}));
        if (Block_ == Blocks_.size()) {
            // Room first, so that no block is lost when the list cannot grow.
            Blocks_.reserve(std::max<size_t>(Blocks_.size() * 2, 16));
            Blocks_.push_back(BlockMemory_.Allocate(size));
        } else if (Blocks_[Block_].Len < size) {
            const IAllocator::TBlock larger = BlockMemory_.Allocate(size);
            BlockMemory_.Release(Blocks_[Block_]);
            Blocks_[Block_] = larger;
        }
        BlockUsed_ = 0;
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

void TPrintedWordCache::TGeneration::Grow() {
    const size_t count = std::max<size_t>(SlotCount_ * 2, 1024);
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

size_t TPrintedWordCache::TGeneration::Cost() const {
    return Used_ + SlotCount_ * sizeof(TSlot);
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
        generation.SetArenaLimit(HalfBudget_);
    }
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
        if (Newer_->Cost() + Key_.size() + Record_.size() > HalfBudget_) {
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
    if (Newer_->Cost() + Key_.size() + Record_.size() > HalfBudget_) {
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
