// Minimiser of compact tries: rewrites a trie saved by TCompactTrieBuilder so that every
// subtree occurring more than once, byte for byte, is stored once; the other places refer to
// the kept copy through their left or right offsets or, for a forward region, through a jump
// record. TCompactTrie reads the result like any other trie.
//
//     TBufferOutput out;
//     TCompactTrieMinimizer::WriteMinimizedTree(out, data, length, false, TPackedValueSkipper());
#pragma once

#include <cstddef>

class TOutputStream;

// Tells the length of the packed value that starts at a given byte.
class ILeafSkipper {
public:
    virtual size_t SkipLeaf(const char* packed) const = 0;

protected:
    ~ILeafSkipper() = default;
};

// For values packed by TCompactTriePacker<unsigned long>: the length from the first byte.
class TPackedValueSkipper : public ILeafSkipper {
public:
    size_t SkipLeaf(const char* packed) const override;
};

// Stateless; one call is one run on the calling thread.
class TCompactTrieMinimizer {
public:
    // Reads the unminimised trie data[0, length), writes the minimised trie to `out` (a few
    // large writes at the end, no flush) and returns its size. Null data or length 0 write
    // nothing and return 0. The input is checked first: a trie that is not as the builder
    // writes it (a record, offset or value outside its region, a jump record, bytes no record
    // accounts for) raises TCompactTrieError and nothing reaches `out`. With `verbose`, the
    // leader count, "Writing down the minimized tree..." and the node count go to `log` (the
    // standard error stream in the five-argument form), each ended by Endl, with progress
    // steps between them.
    static size_t WriteMinimizedTree(TOutputStream& out, const char* data, size_t length,
                                     bool verbose, const ILeafSkipper& skipper);
    static size_t WriteMinimizedTree(TOutputStream& out, const char* data, size_t length,
                                     bool verbose, const ILeafSkipper& skipper, TOutputStream& log);
};
