// The process-wide entropy stream from which every thread seeds its random-number generators.
//
// EntropyPool gathers a few host-dependent values (time-stamp counter, time, thread, processor
// count, host name, executable path, an address, load averages), compresses them and shuffles
// the bytes; EntropySource is an endless stream of MT19937-64 output seeded from that pool. Both
// are built once per process on first use. Nothing here is reproducible between runs.
#pragma once

#include "util/generic/mersenne.h"
#include "util/stream/input.h"

class TBuffer;

// An endless stream of MT19937-64 output, each output giving its 8 bytes in little-endian
// order; a read of n bytes takes ceil(n / 8) outputs and drops the surplus bytes of the last.
// Not thread-safe.
class TMersenneInput : public TInputStream {
public:
    TMersenneInput() noexcept = default;

    TRndGen<unsigned long>& Generator() noexcept { return Generator_; }

protected:
    size_t DoRead(void* buffer, size_t length) override;

private:
    TRndGen<unsigned long> Generator_;
};

// The process-wide entropy stream. Thread-safe: reads are serialised by a mutex. Destroyed at
// exit at priority 8192, after the usual singletons.
TInputStream& EntropySource();

// The process-wide pool of shuffled host data that seeds EntropySource.
const TBuffer& EntropyPool();
