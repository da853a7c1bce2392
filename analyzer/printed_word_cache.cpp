#include "analyzer/printed_word_cache.h"

#include <cstring>
#include <utility>

namespace NLemmix {

namespace {
constexpr size_t EntryCharge = 160;  // the map node, the key's and the entry's own records
constexpr size_t PartUnits = sizeof(TTokenPart) / sizeof(char16_t);
}  // namespace

TPrintedWordCache::TPrintedWordCache(TAnalysisPrinter* printer, size_t budget)
    : Printer_(printer), HalfBudget_(budget / 2) {}

size_t TPrintedWordCache::Cost(const std::u16string& key, const TPrintedStretch& entry) {
    return EntryCharge + key.size() * sizeof(char16_t) + entry.Bytes.size() +
           entry.Flushes.size() * sizeof(size_t);
}

void TPrintedWordCache::MakeKey(const TTokenView& token) {
    // The line state, the text, then the parts' records as they are (they have no padding).
    Key_.assign(1, Printer_->LinePending() ? u'1' : u'0');
    Key_.append(reinterpret_cast<const char16_t*>(token.Text), token.Length);
    const size_t at = Key_.size();
    Key_.resize(at + token.Parts.size() * PartUnits);
    std::memcpy(Key_.data() + at, token.Parts.data(), token.Parts.size() * sizeof(TTokenPart));
}

bool TPrintedWordCache::ReplayOrRecord(const TTokenView& token) {
    Recording_ = false;
    if (HalfBudget_ == 0 || token.Length > MaxKeyUnits) {
        return false;
    }
    MakeKey(token);
    if (auto found = Newer_.find(std::u16string_view(Key_)); found != Newer_.end()) {
        ++Hits_;
        Printer_->Replay(found->second);
        return true;
    }
    if (auto found = Older_.find(std::u16string_view(Key_)); found != Older_.end()) {
        ++Hits_;
        // Replayed before it moves: the replay may raise, and then the entry stays where it was.
        Printer_->Replay(found->second);
        auto node = Older_.extract(found);
        NewerCost_ += Cost(node.key(), node.mapped());
        Newer_.insert(std::move(node));
        return true;
    }
    ++Misses_;
    Recording_ = true;
    Printer_->StartRecording(&Record_);
    return false;
}

void TPrintedWordCache::EndRecord() {
    if (!Recording_) {
        return;
    }
    Recording_ = false;
    Printer_->StopRecording();
    if (Record_.Bytes.size() > MaxEntryBytes) {
        return;
    }
    const size_t cost = Cost(Key_, Record_);
    if (NewerCost_ + cost > HalfBudget_) {
        Older_ = std::move(Newer_);
        Newer_.clear();
        NewerCost_ = 0;
    }
    NewerCost_ += cost;
    Newer_.emplace(Key_, Record_);
}

void TPrintedWordCache::AbandonRecord() noexcept {
    if (Recording_) {
        Recording_ = false;
        Printer_->AbandonRecording();
    }
}

}  // namespace NLemmix
