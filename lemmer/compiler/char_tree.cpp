#include "lemmer/compiler/char_tree.h"

#include "lemmer/compiler/compiler_errors.h"
#include "lemmer/compiler/dictionary_storage.h"

#include <algorithm>
#include <cstring>

namespace {

bool SameRange(TUtf16Range a, TUtf16Range b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(wchar16)) == 0);
}

// Units shared from the start; stops at a unit 0 of a.
uint64_t SharedLength(const TUtf16String& a, const TUtf16String& b) {
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    while (i < n && a[i] == b[i] && a[i] != 0) {
        ++i;
    }
    return i;
}

}  // namespace

uint64_t SourceChildCount(const TSourceTree& tree, uint64_t s) {
    if (!tree[s].HasChildren) {
        return 0;
    }
    uint64_t count = 1;
    for (uint64_t child = s + 1; tree[child].NextSibling != TSourceNode::NoSibling;
         child = tree[child].NextSibling) {
        ++count;
    }
    return count;
}

namespace NCharTreeDetail {

void ThrowFirstNotEmpty() {
    throw NByk::TCompileError() << "TCharTree::Compile: Fetcher must return empty string at first";
}

void StartTree(TSourceTree& tree, std::vector<uint64_t>& depth, uint32_t rootValue, size_t hint) {
    tree.reserve(hint);
    depth.reserve(hint);
    TSourceNode root;
    root.Value = rootValue;
    tree.push_back(root);
    depth.push_back(~uint64_t(0));
}

void AppendKey(TSourceTree& tree, std::vector<uint64_t>& depth, const TUtf16String& previous,
               const TUtf16String& current, uint32_t value) {
    const size_t n = std::min(previous.size(), current.size());
    size_t i = 0;
    while (i < n && previous[i] == current[i]) {
        ++i;
    }
    const bool increasing =
        i < n ? static_cast<uint16_t>(current[i]) > static_cast<uint16_t>(previous[i])
              : current.size() > previous.size();
    if (!increasing) {
        throw NByk::TCompileError() << "TCharTree::Compile: Fetcher must return increasing strings";
    }
    const uint64_t shared = SharedLength(previous, current);
    const uint64_t count = tree.size();
    if (shared == previous.size()) {
        tree.back().HasChildren = true;
    } else {
        for (uint64_t k = count; k-- > 0;) {
            if (depth[k] < shared) {
                break;
            }
            if (depth[k] == shared) {
                tree[k].NextSibling = count;
                break;
            }
        }
    }
    for (uint64_t p = shared; p < current.size(); ++p) {
        TSourceNode node;
        node.Char = current[p];
        const bool last = p + 1 == current.size();
        node.HasChildren = !last;
        node.Value = last ? value : TSourceNode::NoValue;
        tree.push_back(node);
        depth.push_back(p);
    }
}

}  // namespace NCharTreeDetail

bool TEndingRuns::Same(const TAffixKey& a, const TAffixKey& b) {
    return SameRange(a.Prefix, b.Prefix) && SameRange(a.ReversedSuffix, b.ReversedSuffix);
}

void TEndingRuns::Key(const TAffixKey& affix, TUtf16String& key) {
    key.assign(affix.ReversedSuffix.data(), affix.ReversedSuffix.size());
    key.append(static_cast<wchar16>(0xFFFF));
    key.append(affix.Prefix.data(), affix.Prefix.size());
}

void THeapCharTree::Init(uint32_t n) {
    Nodes_ = std::make_unique<NByk::TCharTreeNode[]>(n);
    Tree_.Nodes = Nodes_.get();
    Tree_.Capacity = n;
    Tree_.Count = 0;
}

namespace {

void BuildFlexNode(NByk::TCharTree& tree, uint32_t o, const TSourceTree& source, uint64_t s) {
    const uint64_t c = SourceChildCount(source, s);
    if (c > 65535) {
        throw NByk::TCompileError()
            << "TFlexTrie::BuildNode: Suddenly, there are too much children.";
    }
    const uint32_t first = c > 0 ? tree.Count : NByk::TCharTreeNode::NoChild;
    if (c > uint64_t(tree.Capacity) - tree.Count) {
        throw NByk::TCompileError() << "TFlexTrie::Build: the tree has too few node slots";
    }
    tree.Count += static_cast<uint32_t>(c);
    NByk::TCharTreeNode& node = tree.Nodes[o];
    node.Char = source[s].Char;
    node.ChildCount = static_cast<uint16_t>(c);
    node.FirstChild = first;
    node.Value = source[s].Value;
    uint64_t child = s + 1;
    for (uint64_t k = 0; k < c; ++k) {
        BuildFlexNode(tree, first + static_cast<uint32_t>(k), source, child);
        child = source[child].NextSibling;
    }
}

}  // namespace

void BuildFlexTree(NByk::TCharTree& tree, const TSourceTree& source) {
    if (tree.Capacity < 1 || tree.Capacity < source.size()) {
        throw NByk::TCompileError() << "TFlexTrie::Build: the tree has too few node slots";
    }
    tree.Count = 1;
    BuildFlexNode(tree, 0, source, 0);
}

NByk::TCharTree* BuildEndingTree(const TAffixKey* affixes, uint32_t count,
                                 TDictionaryStorage& storage) {
    TEndingFetcher fetcher(affixes, count);
    const std::unique_ptr<TSourceTree> source = CompileCharTree(fetcher, count);
    TMemoryPool& pool = *storage.Pool();
    auto* tree = pool.New<NByk::TCharTree>();
    const size_t n = source->size();
    const size_t bytes = (n * sizeof(NByk::TCharTreeNode) + 7) / 8 * 8;
    void* nodes = pool.Allocate(bytes);
    std::memset(nodes, 0, bytes);
    tree->Nodes = static_cast<NByk::TCharTreeNode*>(nodes);
    tree->Capacity = static_cast<uint32_t>(n);
    tree->Count = 0;
    BuildFlexTree(*tree, *source);
    return tree;
}
