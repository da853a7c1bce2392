// The two passes of the compact-trie minimiser: find the byte-identical subtrees (longest
// first, the copy at the largest offset stays), then write the trie from its end backwards,
// leaving out the other copies and pointing at the kept one.
#include "lemmer/compiler/compact_trie_minimizer.h"

#include "lemmer/compiler/trie_progress.h"
#include "util/stream/compact_trie.h"
#include "util/stream/compact_trie_packer.h"
#include "util/stream/output.h"
#include "util/stream/std_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

using NCompactTrie::PackedIntSize;
using NCompactTrie::PackIntBigEndian;
using NCompactTrie::UnpackIntBigEndian;

size_t TPackedValueSkipper::SkipLeaf(const char* packed) const {
    return NCompactTrie::PackedValueSize(static_cast<unsigned char>(packed[0]));
}

namespace {
constexpr size_t kBlockSize = 65536;

// One node of the input: a flags byte, a label byte, the offsets, the value.
struct TNodeInfo {
    unsigned Flags = 0;
    unsigned char Label = 0;
    uint64_t Left = 0;   // relative to the flags byte; 0 = none
    uint64_t Right = 0;  // relative to the flags byte; 0 = none
    size_t Value = 0;    // position of the packed value
    size_t ValueLen = 0;
    size_t Header = 0;  // where the forward region starts, relative to the flags byte

    bool HasValue() const { return Flags & 0x80; }
    bool HasForward() const { return Flags & 0x40; }
};

// Reads a node already known to lie inside the data (see TInputCheck).
TNodeInfo ReadNode(const char* data, size_t offset, const ILeafSkipper& skipper) {
    TNodeInfo node;
    node.Flags = static_cast<unsigned char>(data[offset]);
    node.Label = static_cast<unsigned char>(data[offset + 1]);
    const size_t leftWidth = (node.Flags >> 3) & 7;
    const size_t rightWidth = node.Flags & 7;
    node.Left = UnpackIntBigEndian(data + offset + 2, leftWidth);
    node.Right = UnpackIntBigEndian(data + offset + 2 + leftWidth, rightWidth);
    node.Header = 2 + leftWidth + rightWidth;
    if (node.HasValue()) {
        node.Value = offset + node.Header;
        node.ValueLen = skipper.SkipLeaf(data + node.Value);
        node.Header += node.ValueLen;
    }
    return node;
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
        const unsigned flags = static_cast<unsigned char>(data[offset]);
        if (flags < 0x40) {
            ThrowMalformed("jump record or stray byte", offset);
        }
        const uint64_t fixed = 2 + ((flags >> 3) & 7) + (flags & 7);
        if (fixed > size) {
            ThrowMalformed("offsets cut off", offset);
        }
        TNodeInfo node;
        uint64_t header = fixed;
        if (flags & 0x80) {
            if (fixed >= size) {
                ThrowMalformed("value cut off", offset);
            }
            const size_t valueLen = skipper.SkipLeaf(data + offset + fixed);
            if (valueLen == 0 || valueLen > size - fixed) {
                ThrowMalformed("value cut off", offset);
            }
            header += valueLen;
        }
        node = ReadNode(data, offset, skipper);
        const uint64_t leftEnd = node.Right ? node.Right : size;
        const uint64_t forwardEnd = node.Left ? node.Left : leftEnd;
        if (node.Right >= size || node.Left >= leftEnd || forwardEnd < header) {
            ThrowMalformed("offset outside its region", offset);
        }
        if (node.HasForward()) {
            if (forwardEnd == header) {
                ThrowMalformed("empty forward region", offset);
            }
            pending.emplace_back(offset + header, forwardEnd - header);
        } else if (forwardEnd != header) {
            ThrowMalformed("bytes after a node without a forward region", offset);
        }
        if (node.Left) {
            pending.emplace_back(offset + node.Left, leftEnd - node.Left);
        }
        if (node.Right) {
            pending.emplace_back(offset + node.Right, size - node.Right);
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

    uint64_t OutputDistance(uint64_t inputDistance) const;
    uint64_t Reference(uint64_t target) const {
        return Written_ + 1 - OutputDistance(Length_ - target);
    }
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
                const uint64_t leftEnd = node.Right ? node.Right : size;
                const uint64_t forwardEnd = node.Left ? node.Left : leftEnd;
                if (node.Right) {
                    candidates[size - node.Right].push_back(
                        {leader.Offset + node.Right, size - node.Right});
                }
                if (node.Left) {
                    candidates[leftEnd - node.Left].push_back(
                        {leader.Offset + node.Left, leftEnd - node.Left});
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
            const uint64_t relative = top.Step == 1   ? top.Node.Right
                                      : top.Step == 2 ? top.Node.Left
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

void TMinimizer::WriteNode(const TWalk& walk) {
    const TNodeInfo& node = walk.Node;
    const uint64_t base = node.ValueLen + 2;
    uint64_t fv = 0, lv = 0, rv = 0;
    if (walk.Forward) {
        if (const uint64_t target = MergeTarget(walk.Offset + walk.Forward)) {
            fv = Reference(target);
        }
    }
    if (node.Left) {
        const uint64_t child = walk.Offset + node.Left;
        const uint64_t target = MergeTarget(child);
        lv = Reference(target ? target : child);
    }
    if (node.Right) {
        const uint64_t child = walk.Offset + node.Right;
        const uint64_t target = MergeTarget(child);
        rv = Reference(target ? target : child);
    }

    // The node's size, whose offsets' widths depend on it: estimate, then settle.
    const uint64_t s1 = lv ? PackedIntSize(lv + base) : 0;
    const uint64_t s2 = rv ? PackedIntSize(base + s1 + rv) : 0;
    uint64_t estimate = base + s1 + s2;
    uint64_t jump = 0;
    if (fv) {
        jump = PackedIntSize(fv) + 1;
        estimate += jump;
    }
    uint64_t size;
    for (;;) {
        size = base + (lv ? PackedIntSize(estimate + lv) : 0) +
               (rv ? PackedIntSize(estimate + rv) : 0);
        if (!fv) {
            break;
        }
        const uint64_t jump2 = PackedIntSize(fv - 1 + jump) + 1;
        size += jump2;
        if (size == estimate || jump2 == jump) {
            break;
        }
        jump = jump2;
        estimate = size;
    }

    const uint64_t left = lv ? lv + size - 1 : 0;
    const uint64_t right = rv ? rv + size - 1 : 0;
    const size_t leftWidth = PackedIntSize(left);
    const size_t rightWidth = PackedIntSize(right);
    Scratch_.resize(node.ValueLen + 64);
    char* out = Scratch_.data();
    size_t pos = 0;
    out[pos++] = static_cast<char>((node.HasValue() ? 0x80 : 0) | (walk.Forward ? 0x40 : 0) |
                                   (leftWidth << 3) | rightWidth);
    out[pos++] = static_cast<char>(node.Label);
    pos += PackIntBigEndian(left, leftWidth, out + pos);
    pos += PackIntBigEndian(right, rightWidth, out + pos);
    if (node.ValueLen) {
        std::memcpy(out + pos, Data_ + node.Value, node.ValueLen);
        pos += node.ValueLen;
    }
    if (fv) {
        const uint64_t forward = fv + size - 1;
        const uint64_t distance = forward - pos;
        const size_t width = PackedIntSize(distance);
        out[pos++] = static_cast<char>(width & 7);
        pos += PackIntBigEndian(distance, width, out + pos);
    }
    if (pos != size) {
        throw TCompactTrieError() << "minimized node at input offset " << walk.Offset << " took "
                                  << pos << " bytes instead of " << size;
    }
    Written_ += size;
    NoteDelta(walk.Offset);
    Place(out, size);
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
