// The Russian dictionary inside the executable: gzip data of the binary dictionary form packed as
// base64 chunks by the build (data/russian-dictionary.bin.gz, lemmix_embed_data). It is decoded,
// inflated and loaded on first use, kept until the process ends, and identified by the MD5 of
// the inflated bytes the loader read (its fingerprint, part of the Russian language's
// DictionaryFingerprint).
//
//     const NByk::TDictionary* d = GetEmbeddedRussianDictionary();  // builds on the first call
#pragma once

#include "lemmer/dictionary/dictionary.h"
#include "util/digest/md5.h"
#include "util/generic/memory_pool.h"
#include "util/stream/embedded_data.h"
#include "util/stream/input.h"
#include "util/system/huge_page_allocator.h"
#include "util/system/spinlock.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

// Chunk `index` of the packed dictionary; the empty text after the last one; the size, the MD5
// and the CRC-32 of the inflated data, computed when it was packed (generated, in a library of
// its own that links after the code: lemmer/CMakeLists.txt).
const char* GetEmbeddedRussianDictionaryChunk(uint64_t index);
uint64_t GetEmbeddedRussianDictionaryChunkInflatedSize();
const char* GetEmbeddedRussianDictionaryChunkInflatedMd5();
uint32_t GetEmbeddedRussianDictionaryChunkInflatedCrc32();

// Passes the bytes of a stream it does not own through an MD5 context: every byte a read
// returns, and only those, is hashed.
class TInputMd5Stream : public TInputStream {
public:
    explicit TInputMd5Stream(TInputStream* slave) noexcept : Slave_(slave) {}
    ~TInputMd5Stream() override;

    MD5& Context() noexcept { return Context_; }

protected:
    size_t DoRead(void* buffer, size_t length) override;

private:
    TInputStream* Slave_;
    MD5 Context_;
};

// The record the embedded dictionary lives in: where the pool takes its memory (huge pages
// where the kernel has them: the tables are some megabytes, written once and then read at
// random), the pool that holds its tables, then the dictionary itself.
struct alignas(8) TEmbeddedDictionaryHolder {
    TEmbeddedDictionaryHolder() noexcept;

    THugePageAllocator Allocator;
    TMemoryPool Pool;
    NByk::TDictionary Dictionary;
};

// The embedded Russian dictionary, built on the first call; later calls return the same one.
// Thread-safe. A failed build (a malformed chunk, corrupt gzip data, a dictionary that does not
// load) raises the error unchanged, frees what it took, and leaves the next call to try again.
const NByk::TDictionary* GetEmbeddedRussianDictionary();

// Builds the dictionary unless another caller has meanwhile; returns the holder.
TEmbeddedDictionaryHolder* BuildEmbeddedRussianDictionary();

// Releases the dictionary and every chunk of its pool; the at-exit registry calls it.
void DestroyEmbeddedRussianDictionary(TEmbeddedDictionaryHolder* holder) noexcept;

namespace NLemmer::NPrivate {

// Where one embedded dictionary is built and published. Constant-initialised, so it may be used
// during static initialisation; must live until exit once something was built in it.
struct TEmbeddedDictionarySite {
    std::atomic<TEmbeddedDictionaryHolder*> Holder{nullptr};
    TSpinLockWord Lock{0};
    alignas(TEmbeddedDictionaryHolder) unsigned char Storage[sizeof(TEmbeddedDictionaryHolder)]{};
};

// What a container inflates to, as the packer noted it: the size in bytes, the MD5 as 32
// lower-case hexadecimal digits and the CRC-32.
struct TInflatedDigest {
    uint64_t Size = 0;
    const char* Md5 = "";
    uint32_t Crc32 = 0;
};

// The building behind GetEmbeddedRussianDictionary over any chunk container; tests give it
// fixture containers and sites of their own. With the container's digest the loaded bytes are
// counted instead of hashed, and when they are the bytes the packer noted (every byte read, of
// gzip members whose CRC-32 zlib computed and found equal to the note) the loader's checks are
// left to the build, which ran them over the file it packed, and the digest is the fingerprint.
// Any other bytes are checked as a whole and hashed.
TEmbeddedDictionaryHolder* BuildEmbeddedDictionary(TEmbeddedDictionarySite& site,
                                                   TChunkAccessor chunks,
                                                   const TInflatedDigest* digest = nullptr);

// Destroys the site's dictionary, if built, and unpublishes it, so that a later call builds anew
// rather than reading freed memory; what the at-exit registry runs. Callers must no longer use
// the dictionary.
void ReleaseEmbeddedDictionary(TEmbeddedDictionarySite& site) noexcept;

inline const NByk::TDictionary* GetEmbeddedDictionary(TEmbeddedDictionarySite& site,
                                                      TChunkAccessor chunks,
                                                      const TInflatedDigest* digest = nullptr) {
    TEmbeddedDictionaryHolder* holder = site.Holder.load(std::memory_order_acquire);
    if (holder == nullptr) {
        holder = BuildEmbeddedDictionary(site, chunks, digest);
    }
    return &holder->Dictionary;
}

}  // namespace NLemmer::NPrivate
