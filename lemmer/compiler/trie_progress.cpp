// Progress steps of the compact-trie tools.
#include "lemmer/compiler/trie_progress.h"

#include "util/stream/output.h"
#include "util/stream/std_stream.h"
#include "util/system/rusage.h"

void ReportTrieProgress(size_t count, TOutputStream& log) {
    if (count % 1000000 == 0) {
        TRusage usage;
        usage.Fill();
        log << static_cast<unsigned long>(count) << ", RSS=" << (usage.MaxRss >> 20) << "mb"
            << Endl;
    } else if (count % 20000 == 0) {
        log << ".";
    }
}

void ReportTrieProgress(size_t count) {
    ReportTrieProgress(count, StdErrStream());
}
