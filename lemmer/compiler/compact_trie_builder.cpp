// The radix tree of the compact-trie builder, its measuring and its serialisation.
#include "lemmer/compiler/compact_trie_builder.h"

#include "lemmer/compiler/trie_progress.h"
#include "util/generic/exception.h"
#include "util/generic/memory_pool.h"
#include "util/stream/compact_trie_format.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace NCompactTrie {
namespace {
constexpr size_t kInlineValueSize = 8;
constexpr size_t kValuePoolBlock = 1000000;
constexpr size_t kSaveChunk = 65536;

// Label bytes in a reference-counted block: splitting an arc makes two sub-ranges of
// one block, so the bytes of a key are stored once.
class TLabel {
public:
    TLabel() = default;
    TLabel(const TLabel& other) : Block_(other.Block_), Data_(other.Data_), Len_(other.Len_) {
        if (Block_) {
            ++Block_->Refs;
        }
    }
    TLabel(TLabel&& other) noexcept
        : Block_(std::exchange(other.Block_, nullptr)), Data_(other.Data_), Len_(other.Len_) {}
    TLabel& operator=(TLabel other) noexcept {
        std::swap(Block_, other.Block_);
        std::swap(Data_, other.Data_);
        std::swap(Len_, other.Len_);
        return *this;
    }
    ~TLabel() {
        if (Block_ && --Block_->Refs == 0) {
            std::free(Block_);
        }
    }

    static TLabel Copy(const char* data, size_t len) {
        auto* block = static_cast<TBlock*>(std::malloc(sizeof(TBlock) + len));
        if (!block) {
            ThrowBadAlloc();
        }
        block->Refs = 1;
        char* bytes = reinterpret_cast<char*>(block + 1);
        std::memcpy(bytes, data, len);
        TLabel label;
        label.Block_ = block;
        label.Data_ = bytes;
        label.Len_ = len;
        return label;
    }

    TLabel Sub(size_t begin, size_t end) const {
        TLabel label(*this);
        label.Data_ += begin;
        label.Len_ = end - begin;
        return label;
    }

    const char* Data() const { return Data_; }
    size_t Size() const { return Len_; }
    unsigned char First() const { return static_cast<unsigned char>(Data_[0]); }

private:
    struct TBlock {
        size_t Refs;
    };
    TBlock* Block_ = nullptr;
    const char* Data_ = nullptr;
    size_t Len_ = 0;
};

enum EPayload : uint32_t {
    PayloadAbsent = 0,
    PayloadInside = 1,
    PayloadOnHeap = 2,
    PayloadInPool = 3,
};

// Collects saved bytes for a stream (in chunks) or into a fixed block of memory.
class TSaveSink {
public:
    explicit TSaveSink(TOutputStream& out) : Out_(&out), Buffer_(kSaveChunk) {}
    TSaveSink(char* memory, size_t capacity) : Memory_(memory), Capacity_(capacity) {}

    void Write(const char* data, size_t len) {
        if (len == 0) {
            return;
        }
        if (Out_) {
            if (len > Buffer_.size() - Used_) {
                Flush();
            }
            if (len > Buffer_.size()) {
                Out_->Write(data, len);
            } else {
                std::memcpy(Buffer_.data() + Used_, data, len);
                Used_ += len;
            }
        } else {
            // Memory is sized by measuring: overflowing it means the two disagree.
            if (len > Capacity_ - Written_) {
                CheckSavedSize(Capacity_, Written_ + len);
            }
            std::memcpy(Memory_ + Written_, data, len);
        }
        Written_ += len;
    }

    void Flush() {
        if (Out_ && Used_) {
            Out_->Write(Buffer_.data(), Used_);
            Used_ = 0;
        }
    }

    uint64_t Written() const { return Written_; }

private:
    TOutputStream* Out_ = nullptr;
    std::vector<char> Buffer_;
    size_t Used_ = 0;
    char* Memory_ = nullptr;
    size_t Capacity_ = 0;
    uint64_t Written_ = 0;
};
}  // namespace

struct TBuilderArc {
    TLabel Label;
    TBuilderNode* Node = nullptr;
    uint64_t LeftOffset = 0;
    uint64_t RightOffset = 0;
};

// A node: either its arcs (sorted by first label byte, unique first bytes) or, once frozen,
// their serialised region; and its packed value.
struct TBuilderNode {
    std::vector<TBuilderArc> Arcs;
    bool IsFrozen = false;
    char* Frozen = nullptr;
    size_t FrozenLen = 0;
    EPayload Payload = PayloadAbsent;
    uint32_t ValueLen = 0;
    union {
        char Inside[kInlineValueSize];
        char* Outside;
    } Value;

    bool HasValue() const { return Payload != PayloadAbsent; }
    const char* ValueData() const {
        return Payload == PayloadInside ? Value.Inside : Value.Outside;
    }
    bool SubtreeIsEmpty() const { return IsFrozen ? FrozenLen == 0 : Arcs.empty(); }
};

// Fixed-size node blocks from a pool; released nodes are reused, last released first.
class TBuilderNodeAllocator {
public:
    TBuilderNodeAllocator() : Pool_(sizeof(TBuilderNode), TMemoryPool::TExpGrow::Instance()) {}

    TBuilderNode* New() {
        void* place;
        if (!Free_.empty()) {
            place = Free_.back();
            Free_.pop_back();
        } else {
            place = Pool_.Allocate(sizeof(TBuilderNode));
        }
        return ::new (place) TBuilderNode();
    }

    void Delete(TBuilderNode* node) {
        node->~TBuilderNode();
        Free_.push_back(node);
    }

private:
    TMemoryPool Pool_;
    std::vector<void*> Free_;
};

void CheckSavedSize(uint64_t measured, uint64_t written) {
    if (measured != written) {
        throw kexception() << "something wrong";
    }
}

namespace {
uint64_t MeasureSubtree(TBuilderNode* node);

// Sizes the record chain of one arc and fixes its sibling offsets; leftSize and
// rightSize are the sizes of the regions of its smaller and greater siblings, which follow
// the chain in this order.
uint64_t MeasureArc(TBuilderArc& arc, uint64_t leftSize, uint64_t rightSize) {
    const TBuilderNode* node = arc.Node;
    const uint64_t core = 2 + (node->HasValue() ? node->ValueLen : 0);
    const uint64_t tree = MeasureSubtree(arc.Node) + 2 * (arc.Label.Size() - 1);
    uint64_t beyond[2];
    size_t offsets = 0;
    if (leftSize) {
        beyond[offsets++] = 0;
    }
    if (rightSize) {
        beyond[offsets++] = leftSize;
    }
    const uint64_t self = SolveRecordSize(core + tree, beyond, offsets);
    arc.LeftOffset = leftSize ? self : 0;
    arc.RightOffset = rightSize ? self + leftSize : 0;
    return self + leftSize + rightSize;
}

// Arcs lo to hi-1 as a search tree in pre-order: the middle one (the upper middle for
// an even count), then the smaller ones, then the greater ones.
uint64_t MeasureRange(std::vector<TBuilderArc>& arcs, size_t lo, size_t hi) {
    if (lo >= hi) {
        return 0;
    }
    const size_t mid = (lo + hi) / 2;
    const uint64_t left = MeasureRange(arcs, lo, mid);
    const uint64_t right = MeasureRange(arcs, mid + 1, hi);
    return MeasureArc(arcs[mid], left, right);
}

uint64_t MeasureSubtree(TBuilderNode* node) {
    return node->IsFrozen ? node->FrozenLen : MeasureRange(node->Arcs, 0, node->Arcs.size());
}

uint64_t SaveSubtree(const TBuilderNode* node, TSaveSink& sink);

uint64_t SaveArc(const TBuilderArc& arc, TSaveSink& sink) {
    const uint64_t before = sink.Written();
    const TBuilderNode* node = arc.Node;
    const size_t len = arc.Label.Size();
    // One record per label byte; only the first has sibling offsets, only the last a value.
    for (size_t i = 0; i < len; ++i) {
        TArcHeader header;
        header.Label = static_cast<unsigned char>(arc.Label.Data()[i]);
        if (i == 0) {
            header.Left = arc.LeftOffset;
            header.Right = arc.RightOffset;
        }
        const bool last = i + 1 == len;
        header.HasValue = last && node->HasValue();
        header.HasForward = !last || !node->SubtreeIsEmpty();
        char record[kMaxArcHeaderSize];
        sink.Write(record, EncodeArcHeader(header, record));
    }
    if (node->HasValue()) {
        sink.Write(node->ValueData(), node->ValueLen);
    }
    SaveSubtree(node, sink);
    return sink.Written() - before;
}

uint64_t SaveRange(const std::vector<TBuilderArc>& arcs, size_t lo, size_t hi, TSaveSink& sink) {
    uint64_t written = 0;
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        written += SaveArc(arcs[mid], sink);
        written += SaveRange(arcs, lo, mid, sink);
        lo = mid + 1;
    }
    return written;
}

uint64_t SaveSubtree(const TBuilderNode* node, TSaveSink& sink) {
    if (node->IsFrozen) {
        sink.Write(node->Frozen, node->FrozenLen);
        return node->FrozenLen;
    }
    return SaveRange(node->Arcs, 0, node->Arcs.size(), sink);
}

[[noreturn]] void ThrowBadOrder() {
    throw kexception() << "Bad input order - expected input strings to be prefix-grouped.";
}
}  // namespace
}  // namespace NCompactTrie

using NCompactTrie::TBuilderArc;

TCompactTrieBuilderImpl::TCompactTrieBuilderImpl(uint32_t flags)
    : ValuePool_(std::make_unique<TMemoryPool>(NCompactTrie::kValuePoolBlock,
                                               TMemoryPool::TLinearGrow::Instance())),
      NodeAllocator_(std::make_unique<NCompactTrie::TBuilderNodeAllocator>()),
      Flags_(flags) {
    Root_ = NewNode();
}

TCompactTrieBuilderImpl::~TCompactTrieBuilderImpl() {
    DeleteNode(Root_);
}

TCompactTrieBuilderImpl::TNode* TCompactTrieBuilderImpl::NewNode() {
    return NodeAllocator_->New();
}

void TCompactTrieBuilderImpl::DeleteNode(TNode* node) {
    for (TBuilderArc& arc : node->Arcs) {
        DeleteNode(arc.Node);
    }
    node->Arcs.clear();
    ClearValue(node);
    std::free(node->Frozen);
    NodeAllocator_->Delete(node);
}

void TCompactTrieBuilderImpl::ClearValue(TNode* node) {
    if (node->Payload == NCompactTrie::PayloadOnHeap) {
        std::free(node->Value.Outside);
    }
    node->Payload = NCompactTrie::PayloadAbsent;
    node->ValueLen = 0;
}

void TCompactTrieBuilderImpl::SetValue(TNode* node, const char* packedValue, size_t valueLen) {
    ClearValue(node);
    char* place;
    if (valueLen <= NCompactTrie::kInlineValueSize) {
        node->Payload = NCompactTrie::PayloadInside;
        place = node->Value.Inside;
    } else if (Flags_ & NCompactTrie::PrefixGroupedInput) {
        // Frozen subtrees release their nodes, so their values must be freeable one by one.
        place = static_cast<char*>(std::malloc(valueLen));
        if (!place) {
            ThrowBadAlloc();
        }
        node->Payload = NCompactTrie::PayloadOnHeap;
        node->Value.Outside = place;
    } else {
        place = static_cast<char*>(ValuePool_->Allocate(valueLen));
        node->Payload = NCompactTrie::PayloadInPool;
        node->Value.Outside = place;
    }
    std::memcpy(place, packedValue, valueLen);
    node->ValueLen = static_cast<uint32_t>(valueLen);
}

bool TCompactTrieBuilderImpl::Add(const char* key, size_t keyLen, const char* packedValue,
                                  size_t valueLen) {
    TNode* node = FindOrAddNode(key, keyLen);
    const bool isNew = !node->HasValue();
    SetValue(node, packedValue, valueLen);
    return isNew;
}

TCompactTrieBuilderImpl::TNode* TCompactTrieBuilderImpl::FindOrAddNode(const char* key,
                                                                       size_t keyLen) {
    ++EntryCount_;
    if (Flags_ & NCompactTrie::ReportProgress) {
        if (ProgressLog_) {
            ReportTrieProgress(EntryCount_, *ProgressLog_);
        } else {
            ReportTrieProgress(EntryCount_);
        }
    }
    if (keyLen == 0) {
        // The empty key is stored as the one-byte key 0x00.
        key = "";
        keyLen = 1;
    }
    TNode* node = Root_;
    while (keyLen) {
        size_t passed = 0;
        TNode* next = FollowArc(node, key, keyLen, &passed);
        if (!next) {
            TNode* leaf = NewNode();
            ++NodeCount_;
            try {
                LinkArc(node, key, keyLen, leaf);
            } catch (...) {
                DeleteNode(leaf);
                throw;
            }
            node = leaf;
            break;
        }
        node = next;
        key += passed;
        keyLen -= passed;
    }
    if (node->HasValue() && (Flags_ & NCompactTrie::UniqueKeys)) {
        throw kexception() << "Duplicate key";
    }
    return node;
}

TCompactTrieBuilderImpl::TNode* TCompactTrieBuilderImpl::FollowArc(TNode* node, const char* key,
                                                                   size_t keyLen, size_t* passed) {
    if (node->IsFrozen) {
        NCompactTrie::ThrowBadOrder();
    }
    const auto first = static_cast<unsigned char>(key[0]);
    auto& arcs = node->Arcs;
    auto it = std::lower_bound(
        arcs.begin(), arcs.end(), first,
        [](const TBuilderArc& arc, unsigned char b) { return arc.Label.First() < b; });
    if (it == arcs.end() || it->Label.First() != first) {
        return nullptr;
    }
    const size_t labelLen = it->Label.Size();
    const size_t limit = std::min(labelLen, keyLen);
    size_t common = 1;
    while (common < limit && key[common] == it->Label.Data()[common]) {
        ++common;
    }
    *passed = common;
    if (common == labelLen) {
        return it->Node;
    }
    // The key ends or turns off inside the label: split the arc where they part.
    TNode* middle = NewNode();
    ++NodeCount_;
    TBuilderArc rest;
    rest.Label = it->Label.Sub(common, labelLen);
    rest.Node = it->Node;
    try {
        // An arc set that cannot grow is left as it was.
        middle->Arcs.insert(middle->Arcs.end(), std::move(rest));
    } catch (...) {
        DeleteNode(middle);
        throw;
    }
    it->Label = it->Label.Sub(0, common);
    it->Node = middle;
    return middle;
}

void TCompactTrieBuilderImpl::LinkArc(TNode* node, const char* label, size_t labelLen,
                                      TNode* child) {
    if (node->IsFrozen) {
        NCompactTrie::ThrowBadOrder();
    }
    auto& arcs = node->Arcs;
    if ((Flags_ & NCompactTrie::PrefixGroupedInput) && !arcs.empty()) {
        Freeze(arcs.back().Node);
    }
    TBuilderArc arc;
    arc.Label = NCompactTrie::TLabel::Copy(label, labelLen);
    arc.Node = child;
    const auto first = static_cast<unsigned char>(label[0]);
    auto it =
        std::lower_bound(arcs.begin(), arcs.end(), first,
                         [](const TBuilderArc& a, unsigned char b) { return a.Label.First() < b; });
    arcs.insert(it, std::move(arc));
}

void TCompactTrieBuilderImpl::Freeze(TNode* node) {
    if (node->IsFrozen) {
        return;
    }
    const uint64_t size = NCompactTrie::MeasureRange(node->Arcs, 0, node->Arcs.size());
    char* buffer = nullptr;
    if (size) {
        buffer = static_cast<char*>(std::malloc(size));
        if (!buffer) {
            ThrowBadAlloc();
        }
    }
    try {
        NCompactTrie::TSaveSink sink(buffer, size);
        NCompactTrie::SaveRange(node->Arcs, 0, node->Arcs.size(), sink);
        NCompactTrie::CheckSavedSize(size, sink.Written());
    } catch (...) {
        std::free(buffer);
        throw;
    }
    for (TBuilderArc& arc : node->Arcs) {
        DeleteNode(arc.Node);
    }
    std::vector<TBuilderArc>().swap(node->Arcs);
    node->IsFrozen = true;
    node->Frozen = buffer;
    node->FrozenLen = size;
}

uint64_t TCompactTrieBuilderImpl::Save(TOutputStream& out) {
    const uint64_t measured = NCompactTrie::MeasureSubtree(Root_);
    NCompactTrie::TSaveSink sink(out);
    NCompactTrie::SaveSubtree(Root_, sink);
    sink.Flush();
    NCompactTrie::CheckSavedSize(measured, sink.Written());
    return measured;
}

void TCompactTrieBuilderImpl::Clear() {
    DeleteNode(Root_);
    Root_ = nullptr;
    ValuePool_->Clear();
    NodeAllocator_ = std::make_unique<NCompactTrie::TBuilderNodeAllocator>();
    Root_ = NewNode();
}
