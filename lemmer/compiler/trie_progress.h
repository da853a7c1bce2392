// Progress reports of the compact-trie builder and minimiser on long runs.
#pragma once

#include <cstddef>

class TOutputStream;

// One progress step for `count` items done: at every multiple of 1000000 (0 included) a line
// "<count>, RSS=<peak resident size in MiB>mb" ended by Endl; at every other multiple of 20000
// a "." without a flush; nothing otherwise. The one-argument form writes to standard error.
void ReportTrieProgress(size_t count);
void ReportTrieProgress(size_t count, TOutputStream& log);
