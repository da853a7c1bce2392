// Gathering, compressing and shuffling the entropy pool, and the stream seeded from it.
#include "util/system/entropy.h"

#include "util/generic/bsd_random.h"
#include "util/generic/buffer.h"
#include "util/generic/exception.h"
#include "util/generic/string.h"
#include "util/stream/buffer_stream.h"
#include "util/stream/buffered.h"
#include "util/stream/zlib.h"
#include "util/system/exec_path.h"
#include "util/system/guard.h"
#include "util/system/hostname.h"
#include "util/system/mutex.h"
#include "util/system/singleton.h"
#include "util/system/sys_info.h"
#include "util/system/thread_id.h"
#include "util/system/time.h"

#include <unistd.h>

#include <cstring>
#include <utility>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

namespace {
uint64_t TimeStampCounter() noexcept {
#if defined(__x86_64__) || defined(__i386__)
    return __rdtsc();
#else
    return MicroSeconds();
#endif
}

// The host name, or an empty text when the system does not tell it.
Stroka HostName() {
    try {
        return Stroka(GetHostName());
    } catch (const TSystemError&) {
        return Stroka();
    }
}

template <class T>
void Put(std::vector<char>& out, const T& value) {
    const char* bytes = reinterpret_cast<const char*>(&value);
    out.insert(out.end(), bytes, bytes + sizeof(value));
}

void PutText(std::vector<char>& out, const Stroka& text) {
    Put(out, static_cast<uint32_t>(text.size()));
    out.insert(out.end(), text.data(), text.data() + text.size());
}

// zlib format, level 6, memory level 8.
void Compress(const std::vector<char>& raw, TBuffer& out) {
    TBufferOutput sink(out);
    TZLibCompress compress(&sink, EZLibStreamType::ZLib, 6);
    compress.Write(raw.data(), raw.size());
    compress.Finish();
}

uint64_t MurmurHash64A(const void* key, size_t len, uint64_t seed) noexcept {
    constexpr uint64_t m = 0xc6a4a7935bd1e995ULL;
    constexpr int r = 47;
    uint64_t h = seed ^ (len * m);
    const unsigned char* data = static_cast<const unsigned char*>(key);
    const unsigned char* end = data + (len / 8) * 8;
    for (; data != end; data += 8) {
        uint64_t k;
        std::memcpy(&k, data, 8);
        k *= m;
        k ^= k >> r;
        k *= m;
        h ^= k;
        h *= m;
    }
    const size_t tail = len & 7;
    if (tail != 0) {
        for (size_t i = tail; i > 0; --i) {
            h ^= uint64_t(data[i - 1]) << (8 * (i - 1));
        }
        h *= m;
    }
    h ^= h >> r;
    h *= m;
    h ^= h >> r;
    return h;
}

struct TEntropyPool {
    TEntropyPool() {
        std::vector<char> raw;
        Put(raw, TimeStampCounter());
        Put(raw, MicroSeconds());
        Put(raw, SystemCurrentThreadId());
        Put(raw, NSystemInfo::CachedNumberOfCpus());
        PutText(raw, HostName());
        PutText(raw, GetExecPath());
        Put(raw, reinterpret_cast<uintptr_t>(&Pool));
        double averages[3] = {0.0, 0.0, 0.0};
        if (NSystemInfo::LoadAverage(averages, 3) != 3) {
            averages[0] = averages[1] = averages[2] = 0.0;
        }
        raw.insert(raw.end(), reinterpret_cast<const char*>(averages),
                   reinterpret_cast<const char*>(averages) + sizeof(averages));
        Compress(raw, Pool);

        char* data = Pool.Data();
        const size_t len = Pool.Size();
        const uint64_t hash = MurmurHash64A(data, len, 0);
        std::memcpy(data, &hash, std::min(sizeof(hash), len));

        TBsdRandom rng;
        rng.Srandom(static_cast<unsigned long>(
            static_cast<long>(static_cast<signed char>(data[0])) + static_cast<long>(len)));
        for (size_t i = 0; i < len; ++i) {
            std::swap(data[i], data[static_cast<size_t>(rng.Random()) % len]);
        }
    }

    TBuffer Pool;
};

class TEntropyPoolStream : public TInputStream {
public:
    TEntropyPoolStream() : Buffered_(&Input_) {
        const TBuffer& pool = EntropyPool();
        const size_t words = pool.Size() / 8;
        std::vector<unsigned long> key(words == 0 ? 1 : words, 0);
        std::memcpy(key.data(), pool.Data(), words * 8);
        Input_.Generator().SeedByArray(key.data(), key.size());
    }

protected:
    size_t DoRead(void* buffer, size_t length) override {
        TGuard<TMutex> guard(Mutex_);
        return Buffered_.Read(buffer, length);
    }

private:
    TMutex Mutex_;
    TMersenneInput Input_;
    TBufferedInput Buffered_;
};
}  // namespace

size_t TMersenneInput::DoRead(void* buffer, size_t length) {
    unsigned char* out = static_cast<unsigned char*>(buffer);
    for (size_t done = 0; done < length; done += 8) {
        const unsigned long value = Generator_.GenRand();
        const size_t take = std::min<size_t>(8, length - done);
        for (size_t i = 0; i < take; ++i) {
            out[done + i] = static_cast<unsigned char>(value >> (8 * i));
        }
    }
    return length;
}

TInputStream& EntropySource() {
    return *SingletonWithPriority<TEntropyPoolStream, 8192>();
}

const TBuffer& EntropyPool() {
    return Singleton<TEntropyPool>()->Pool;
}
