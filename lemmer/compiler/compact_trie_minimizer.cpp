// The two passes of the compact-trie minimiser: find the byte-identical subtrees (longest
// first, the copy at the largest offset stays), then write the trie from its end backwards,
// leaving out the other copies and pointing at the kept one.
#include "lemmer/compiler/compact_trie_minimizer.h"

#include "lemmer/compiler/trie_progress.h"
#include "util/stream/compact_trie.h"
#include "util/stream/compact_trie_format.h"
#include "util/stream/output.h"
#include "util/stream/std_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

size_t TPackedValueSkipper::SkipLeaf(const char* packed) const {
    return NCompactTrie::PackedValueSize(static_cast<unsigned char>(packed[0]));
}

namespace {
constexpr size_t kBlockSize = 65536;

// One node of the input: its arc header and where its value lies.
struct TNodeInfo {
    NCompactTrie::TArcHeader Arc;
    size_t Value = 0;  // position of the packed value
    size_t ValueLen = 0;
    size_t Header = 0;  // where the forward region starts, relative to the flags byte

    bool HasValue() const { return Arc.HasValue; }
    bool HasForward() const { return Arc.HasForward; }
};

// Reads a node whose header is known to lie inside the data; `valueLen` is its value's size.
TNodeInfo ReadNode(const char* data, size_t offset, size_t valueLen) {
    TNodeInfo node;
    node.Arc = NCompactTrie::DecodeArcHeader(data + offset);
    node.Header = node.Arc.Size;
    if (node.HasValue()) {
        node.Value = offset + node.Header;
        node.ValueLen = valueLen;
        node.Header += valueLen;
    }
    return node;
}

// Reads a node already checked (see CheckInput).
TNodeInfo ReadNode(const char* data, size_t offset, const ILeafSkipper& skipper) {
    const size_t header = NCompactTrie::ArcHeaderSize(static_cast<unsigned char>(data[offset]));
    const bool hasValue = static_cast<unsigned char>(data[offset]) & NCompactTrie::kHasValue;
    return ReadNode(data, offset, hasValue ? skipper.SkipLeaf(data + offset + header) : 0);
}

[[noreturn]] void ThrowMalformed(const char* what, uint64_t offset) {
    throw TCompactTrieError() << "cannot minimize a malformed trie: " << what << " at offset "
                              << offset;
}

// Checks that the input is a trie as the builder writes it: every node's subtree is exactly
// the node, its forward region, its left region and its right region, in this order, each
// inside the subtree; values lie inside their node; there are no jump records. Both passes
// rely on this.
void CheckInput(const char* data, size_t length, const ILeafSkipper& skipper) {
    std::vector<std::pair<uint64_t, uint64_t>> pending = {{0, length}};  // (offset, size)
    while (!pending.empty()) {
        const auto [offset, size] = pending.back();
        pending.pop_back();
        if (size < 2) {
            ThrowMalformed("node cut off", offset);
        }
        const auto flags = static_cast<unsigned char>(data[offset]);
        if (NCompactTrie::IsJump(flags)) {
            ThrowMalformed("jump record or stray byte", offset);
        }
        const uint64_t fixed = NCompactTrie::ArcHeaderSize(flags);
        if (fixed > size) {
            ThrowMalformed("offsets cut off", offset);
        }
        size_t valueLen = 0;
        if (flags & NCompactTrie::kHasValue) {
            if (fixed >= size) {
                ThrowMalformed("value cut off", offset);
            }
            valueLen = skipper.SkipLeaf(data + offset + fixed);
            if (valueLen == 0 || valueLen > size - fixed) {
                ThrowMalformed("value cut off", offset);
            }
        }
        const TNodeInfo node = ReadNode(data, offset, valueLen);
        const uint64_t left = node.Arc.Left;
        const uint64_t right = node.Arc.Right;
        const uint64_t leftEnd = right ? right : size;
        const uint64_t forwardEnd = left ? left : leftEnd;
        if (right >= size || left >= leftEnd || forwardEnd < node.Header) {
            ThrowMalformed("offset outside its region", offset);
        }
        if (node.HasForward()) {
            if (forwardEnd == node.Header) {
                ThrowMalformed("empty forward region", offset);
            }
            pending.emplace_back(offset + node.Header, forwardEnd - node.Header);
        } else if (forwardEnd != node.Header) {
            ThrowMalformed("bytes after a node without a forward region", offset);
        }
        if (left) {
            pending.emplace_back(offset + left, leftEnd - left);
        }
        if (right) {
            pending.emplace_back(offset + right, size - right);
        }
    }
}

struct TCandidate {
    uint64_t Offset;
    uint64_t Length;
};

// The start offset of every duplicate subtree mapped to that of its kept copy.
using TMergeMap = std::unordered_map<uint64_t, uint64_t>;

class TMinimizer {
public:
    TMinimizer(const char* data, size_t length, bool verbose, const ILeafSkipper& skipper,
               TOutputStream& log)
        : Data_(data), Length_(length), Verbose_(verbose), Skipper_(skipper), Log_(log) {}

    void FindDuplicates();
    void WriteNodes();
    size_t HandOver(TOutputStream& out);

private:
    struct TWalk {
        TNodeInfo Node;
        uint64_t Offset = 0;
        uint64_t Forward = 0;  // relative offset of the forward region, 0 = none
        unsigned Step = 0;     // 1 right, 2 left, 3 forward considered
    };

    TWalk ReadWalk(uint64_t offset) const {
        TWalk walk;
        walk.Node = ReadNode(Data_, offset, Skipper_);
        walk.Offset = offset;
        walk.Forward = walk.Node.HasForward() ? walk.Node.Header : 0;
        return walk;
    }

    // The kept copy of a shared subtree, or 0 when the subtree at `offset` is not shared.
    uint64_t MergeTarget(uint64_t offset) const {
        auto it = Merge_.find(offset);
        return it == Merge_.end() ? 0 : it->second;
    }

    // Where a written node points: the bytes between its end and each target, which is in
    // place already; none for an absent sibling or an unshared forward region.
    struct TTargets {
        std::optional<uint64_t> Forward;
        std::optional<uint64_t> Left;
        std::optional<uint64_t> Right;
    };
    // The node's size, its offsets' widths included, and that of its jump record.
    struct TLayout {
        uint64_t Size = 0;
        size_t JumpSize = 0;
    };

    uint64_t OutputDistance(uint64_t inputDistance) const;
    // Bytes between the end of the node about to be written and the output of `target`.
    uint64_t Beyond(uint64_t target) const { return Written_ - OutputDistance(Length_ - target); }
    TTargets FindTargets(const TWalk& walk) const;
    static TLayout SolveLayout(const TNodeInfo& node, const TTargets& targets);
    size_t EncodeNode(const TWalk& walk, const TTargets& targets, const TLayout& layout,
                      char* out) const;
    void WriteNode(const TWalk& walk);
    void Place(const char* node, size_t size);
    void NoteDelta(uint64_t offset);

    const char* Data_;
    const uint64_t Length_;
    const bool Verbose_;
    const ILeafSkipper& Skipper_;
    TOutputStream& Log_;

    TMergeMap Merge_;
    // (input distance from the end, output distance from the end) where the difference of
    // the two changes, in increasing order of the first.
    std::vector<std::pair<uint64_t, uint64_t>> Deltas_;
    std::vector<std::unique_ptr<char[]>> Blocks_;
    size_t FreeInNewest_ = 0;  // the newest block fills from its end towards its start
    uint64_t Written_ = 0;
    std::vector<char> Scratch_;
};

void TMinimizer::FindDuplicates() {
    std::map<uint64_t, std::vector<TCandidate>> candidates;  // by subtree length
    candidates[Length_].push_back({0, Length_});
    size_t leaders = 0;
    // Longest first: candidates found inside a subtree are shorter than it, and nothing
    // inside a duplicate ever becomes a candidate.
    while (!candidates.empty()) {
        auto last = std::prev(candidates.end());
        const uint64_t len = last->first;
        std::vector<TCandidate> list = std::move(last->second);
        candidates.erase(last);
        const char* data = Data_;
        std::sort(list.begin(), list.end(), [data, len](const TCandidate& a, const TCandidate& b) {
            const int order = std::memcmp(data + a.Offset, data + b.Offset, len);
            return order != 0 ? order > 0 : a.Offset > b.Offset;
        });
        for (size_t i = 0; i < list.size();) {
            const TCandidate leader = list[i];
            if (Verbose_) {
                ReportTrieProgress(++leaders, Log_);
            }
            const TNodeInfo node = ReadNode(Data_, leader.Offset, Skipper_);
            if (node.HasForward()) {
                const uint64_t size = leader.Length;
                const uint64_t left = node.Arc.Left;
                const uint64_t right = node.Arc.Right;
                const uint64_t leftEnd = right ? right : size;
                const uint64_t forwardEnd = left ? left : leftEnd;
                if (right) {
                    candidates[size - right].push_back({leader.Offset + right, size - right});
                }
                if (left) {
                    candidates[leftEnd - left].push_back({leader.Offset + left, leftEnd - left});
                }
                candidates[forwardEnd - node.Header].push_back(
                    {leader.Offset + node.Header, forwardEnd - node.Header});
            }
            size_t j = i + 1;
            while (j < list.size() &&
                   std::memcmp(Data_ + list[j].Offset, Data_ + leader.Offset, len) == 0) {
                Merge_[list[j].Offset] = leader.Offset;
                ++j;
            }
            i = j;
        }
    }
    if (Verbose_) {
        Log_ << static_cast<unsigned long>(leaders) << Endl;
        Log_ << "Writing down the minimized tree..." << Endl;
    }
}

// Children are taken right, left, forward and a node is written after them: this meets the
// nodes in decreasing input offset, the order in which the output is assembled backwards,
// so every node a written node refers to is already in place.
void TMinimizer::WriteNodes() {
    size_t nodes = 0;
    std::vector<TWalk> stack;
    stack.push_back(ReadWalk(0));
    while (!stack.empty()) {
        TWalk& top = stack.back();
        if (top.Step < 3) {
            ++top.Step;
            const uint64_t relative = top.Step == 1   ? top.Node.Arc.Right
                                      : top.Step == 2 ? top.Node.Arc.Left
                                                      : top.Forward;
            if (relative && !MergeTarget(top.Offset + relative)) {
                const uint64_t child = top.Offset + relative;
                stack.push_back(ReadWalk(child));
            }
            continue;
        }
        if (Verbose_) {
            ReportTrieProgress(++nodes, Log_);
        }
        WriteNode(top);
        stack.pop_back();
    }
    if (Verbose_) {
        Log_ << static_cast<unsigned long>(nodes) << Endl;
    }
}

uint64_t TMinimizer::OutputDistance(uint64_t inputDistance) const {
    auto it = std::upper_bound(
        Deltas_.begin(), Deltas_.end(), inputDistance,
        [](uint64_t d, const std::pair<uint64_t, uint64_t>& entry) { return d < entry.first; });
    if (it == Deltas_.begin()) {
        return inputDistance;
    }
    --it;
    return inputDistance + it->second - it->first;
}

TMinimizer::TTargets TMinimizer::FindTargets(const TWalk& walk) const {
    TTargets targets;
    if (walk.Forward) {
        // An unshared forward region is written right after the node and needs no jump.
        if (const uint64_t target = MergeTarget(walk.Offset + walk.Forward)) {
            targets.Forward = Beyond(target);
        }
    }
    const auto sibling = [&](uint64_t relative) -> std::optional<uint64_t> {
        if (!relative) {
            return std::nullopt;
        }
        const uint64_t child = walk.Offset + relative;
        const uint64_t target = MergeTarget(child);
        return Beyond(target ? target : child);
    };
    targets.Left = sibling(walk.Node.Arc.Left);
    targets.Right = sibling(walk.Node.Arc.Right);
    return targets;
}

TMinimizer::TLayout TMinimizer::SolveLayout(const TNodeInfo& node, const TTargets& targets) {
    TLayout layout;
    // The jump is the node's last record, so its target lies as far beyond it as beyond the node.
    layout.JumpSize = targets.Forward ? NCompactTrie::SolveJumpSize(*targets.Forward) : 0;
    uint64_t beyond[2];
    size_t offsets = 0;
    for (const auto& sibling : {targets.Left, targets.Right}) {
        if (sibling) {
            beyond[offsets++] = *sibling;
        }
    }
    const uint64_t fixed = 2 + node.ValueLen + layout.JumpSize;
    layout.Size = NCompactTrie::SolveRecordSize(fixed, beyond, offsets);
    return layout;
}

size_t TMinimizer::EncodeNode(const TWalk& walk, const TTargets& targets, const TLayout& layout,
                              char* out) const {
    const TNodeInfo& node = walk.Node;
    NCompactTrie::TArcHeader header;
    header.HasValue = node.HasValue();
    header.HasForward = walk.Forward != 0;
    header.Label = node.Arc.Label;
    header.Left = targets.Left ? layout.Size + *targets.Left : 0;
    header.Right = targets.Right ? layout.Size + *targets.Right : 0;
    size_t pos = NCompactTrie::EncodeArcHeader(header, out);
    if (node.ValueLen) {
        std::memcpy(out + pos, Data_ + node.Value, node.ValueLen);
        pos += node.ValueLen;
    }
    if (targets.Forward) {
        pos += NCompactTrie::EncodeJump(layout.JumpSize + *targets.Forward, out + pos);
    }
    return pos;
}

void TMinimizer::WriteNode(const TWalk& walk) {
    const TTargets targets = FindTargets(walk);
    const TLayout layout = SolveLayout(walk.Node, targets);
    Scratch_.resize(walk.Node.ValueLen + NCompactTrie::kMaxArcHeaderSize +
                    NCompactTrie::kMaxJumpSize);
    const size_t size = EncodeNode(walk, targets, layout, Scratch_.data());
    if (size != layout.Size) {
        throw TCompactTrieError() << "minimized node at input offset " << walk.Offset << " took "
                                  << size << " bytes instead of " << layout.Size;
    }
    Written_ += size;
    NoteDelta(walk.Offset);
    Place(Scratch_.data(), size);
}

void TMinimizer::NoteDelta(uint64_t offset) {
    const uint64_t in = Length_ - offset;
    const uint64_t out = Written_;
    if (Deltas_.empty()) {
        if (out != in) {
            Deltas_.emplace_back(in, out);
        }
        return;
    }
    const auto [lastIn, lastOut] = Deltas_.back();
    if (in <= lastIn) {
        // Checked input is always written in decreasing offset; this is a broken invariant.
        throw TCompactTrieError() << "elements to offset delta list added in wrong order";
    }
    if (out - in != lastOut - lastIn) {
        Deltas_.emplace_back(in, out);
    }
}

// Puts a node in front of everything assembled so far.
void TMinimizer::Place(const char* node, size_t size) {
    while (size) {
        if (FreeInNewest_ == 0) {
            Blocks_.push_back(std::make_unique<char[]>(kBlockSize));
            FreeInNewest_ = kBlockSize;
        }
        const size_t part = std::min(size, FreeInNewest_);
        FreeInNewest_ -= part;
        std::memcpy(Blocks_.back().get() + FreeInNewest_, node + size - part, part);
        size -= part;
    }
}

size_t TMinimizer::HandOver(TOutputStream& out) {
    for (size_t i = Blocks_.size(); i > 0; --i) {
        const size_t skip = i == Blocks_.size() ? FreeInNewest_ : 0;
        if (skip < kBlockSize) {
            out.Write(Blocks_[i - 1].get() + skip, kBlockSize - skip);
        }
        Blocks_[i - 1].reset();
    }
    Blocks_.clear();
    return Written_;
}
}  // namespace

size_t TCompactTrieMinimizer::WriteMinimizedTree(TOutputStream& out, const char* data,
                                                 size_t length, bool verbose,
                                                 const ILeafSkipper& skipper, TOutputStream& log) {
    if (!data || !length) {
        return 0;
    }
    CheckInput(data, length, skipper);
    TMinimizer minimizer(data, length, verbose, skipper, log);
    minimizer.FindDuplicates();
    minimizer.WriteNodes();
    return minimizer.HandOver(out);
}

size_t TCompactTrieMinimizer::WriteMinimizedTree(TOutputStream& out, const char* data,
                                                 size_t length, bool verbose,
                                                 const ILeafSkipper& skipper) {
    return WriteMinimizedTree(out, data, length, verbose, skipper, StdErrStream());
}
