#include "lemmer/dictionary/embedded_dictionary.h"

#include "lemmer/dictionary/dictionary_check.h"
#include "lemmer/dictionary/dictionary_loader.h"
#include "util/stream/buffered.h"
#include "util/stream/zlib.h"
#include "util/system/atexit.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The pool grows in equal blocks of this size: the dictionary's tables are many and mostly
// small, and a steady size wastes at most one block's tail.
constexpr size_t HolderBlockSize = 0x80000;
// One decoded chunk, and the inflater's input buffer.
constexpr size_t ChunkBufferSize = 12000;
constexpr size_t InflateBufferSize = 8192;
// The loader reads its texts a unit at a time; inflating that little per call is slow, so the
// inflated bytes reach it through a buffer.
constexpr size_t LoadBufferSize = 1 << 16;
// Runs after callbacks of higher priority that may still analyse words.
constexpr uint64_t HolderAtExitPriority = 65536;

constinit NLemmer::NPrivate::TEmbeddedDictionarySite RussianSite;

// Counts the bytes read through it from a stream it does not own.
class TCountingInput : public TInputStream {
public:
    explicit TCountingInput(TInputStream* slave) noexcept : Slave_(slave) {}

    uint64_t Count() const noexcept { return Count_; }

protected:
    size_t DoRead(void* buffer, size_t length) override {
        const size_t got = Slave_->Read(buffer, length);
        Count_ += got;
        return got;
    }

private:
    TInputStream* Slave_;
    uint64_t Count_ = 0;
};

// The container's bytes inflated, as the loader takes them.
struct TInflatedChain {
    explicit TInflatedChain(TChunkAccessor chunks)
        : Decoded(chunks, ChunkBufferSize),
          Inflated(&Decoded, EZLibStreamType::Auto, InflateBufferSize),
          Buffered(&Inflated, LoadBufferSize) {}

    TStringDataInputStream Decoded;
    TZLibDecompress Inflated;
    TBufferedInput Buffered;
};

void LoadHashed(TEmbeddedDictionaryHolder& holder, TChunkAccessor chunks) {
    TInflatedChain chain(chunks);
    TInputMd5Stream hashed(&chain.Buffered);
    hashed.Context().Init();
    NByk::LoadDictionary(holder.Dictionary, hashed, holder.Pool);
    hashed.Context().End(holder.Dictionary.Fingerprint);
    hashed.Context().Init();
}

// The MD5 of the first `count` inflated bytes of the container, read again.
void HashInflatedPrefix(TChunkAccessor chunks, uint64_t count, char* fingerprint) {
    TInflatedChain chain(chunks);
    TInputMd5Stream hashed(&chain.Buffered);
    hashed.Context().Init();
    char buffer[1 << 14];
    while (count != 0) {
        const size_t got = hashed.Read(buffer, std::min<uint64_t>(count, sizeof(buffer)));
        if (got == 0) {
            break;
        }
        count -= got;
    }
    hashed.Context().End(fingerprint);
}

void LoadCounted(TEmbeddedDictionaryHolder& holder, TChunkAccessor chunks,
                 const NLemmer::NPrivate::TInflatedDigest& digest) {
    uint64_t loaded = 0;
    bool packed = false;  // the loader read exactly the bytes the packer noted
    {
        TInflatedChain chain(chunks);
        TCountingInput counted(&chain.Buffered);
        // The build refuses a packed dictionary that fails the checks (dictionary_check), so
        // they are not run again at every start over the bytes it packed; other bytes are
        // checked below.
        NByk::LoadDictionary(holder.Dictionary, counted, holder.Pool, NByk::ELoadChecks::None);
        loaded = counted.Count();
        // Reading on to the end of the stream makes zlib finish the last member, and so compare
        // and report its CRC-32: what tells these bytes from others of the same size.
        char after;
        packed = loaded == digest.Size && chain.Buffered.Read(&after, 1) == 0 &&
                 chain.Inflated.FinishedMembersCrc32() == digest.Crc32 &&
                 std::strlen(digest.Md5) == sizeof(holder.Dictionary.Fingerprint) - 1;
    }
    char* fingerprint = holder.Dictionary.Fingerprint;
    if (packed) {
        std::memcpy(fingerprint, digest.Md5, sizeof(holder.Dictionary.Fingerprint));
    } else {
        NByk::CheckDictionary(holder.Dictionary);
        // Bytes after the dictionary were never read, so they are not part of its fingerprint.
        HashInflatedPrefix(chunks, loaded, fingerprint);
    }
}

void ReleaseSite(void* context) {
    NLemmer::NPrivate::ReleaseEmbeddedDictionary(
        *static_cast<NLemmer::NPrivate::TEmbeddedDictionarySite*>(context));
}

}  // namespace

TInputMd5Stream::~TInputMd5Stream() = default;

size_t TInputMd5Stream::DoRead(void* buffer, size_t length) {
    if (length == 0) {
        return 0;
    }
    const size_t got = Slave_->Read(buffer, length);
    const char* p = static_cast<const char*>(buffer);
    for (size_t done = 0; done < got;) {
        const size_t piece = std::min<size_t>(got - done, UINT32_MAX);
        Context_.Update(p + done, static_cast<uint32_t>(piece));
        done += piece;
    }
    return got;
}

TEmbeddedDictionaryHolder::TEmbeddedDictionaryHolder() noexcept
    : Pool(HolderBlockSize, TMemoryPool::TLinearGrow::Instance(), &Allocator) {}

void DestroyEmbeddedRussianDictionary(TEmbeddedDictionaryHolder* holder) noexcept {
    holder->~TEmbeddedDictionaryHolder();
}

namespace NLemmer::NPrivate {

void ReleaseEmbeddedDictionary(TEmbeddedDictionarySite& site) noexcept {
    TSpinLockGuard guard(site.Lock);
    if (TEmbeddedDictionaryHolder* holder = site.Holder.load(std::memory_order_acquire)) {
        site.Holder.store(nullptr, std::memory_order_release);
        DestroyEmbeddedRussianDictionary(holder);
    }
}

TEmbeddedDictionaryHolder* BuildEmbeddedDictionary(TEmbeddedDictionarySite& site,
                                                   TChunkAccessor chunks,
                                                   const TInflatedDigest* digest) {
    TSpinLockGuard guard(site.Lock);
    if (TEmbeddedDictionaryHolder* built = site.Holder.load(std::memory_order_acquire)) {
        return built;
    }
    auto* holder = ::new (static_cast<void*>(site.Storage)) TEmbeddedDictionaryHolder();
    try {
        if (digest != nullptr) {
            LoadCounted(*holder, chunks, *digest);
        } else {
            LoadHashed(*holder, chunks);
        }
        AtExit(&ReleaseSite, &site, HolderAtExitPriority);
    } catch (...) {
        DestroyEmbeddedRussianDictionary(holder);
        throw;
    }
    site.Holder.store(holder, std::memory_order_release);
    return holder;
}

}  // namespace NLemmer::NPrivate

namespace {

const NLemmer::NPrivate::TInflatedDigest* RussianDigest() {
    static const NLemmer::NPrivate::TInflatedDigest digest{
        GetEmbeddedRussianDictionaryChunkInflatedSize(),
        GetEmbeddedRussianDictionaryChunkInflatedMd5(),
        GetEmbeddedRussianDictionaryChunkInflatedCrc32()};
    return &digest;
}

}  // namespace

TEmbeddedDictionaryHolder* BuildEmbeddedRussianDictionary() {
    return NLemmer::NPrivate::BuildEmbeddedDictionary(
        RussianSite, &GetEmbeddedRussianDictionaryChunk, RussianDigest());
}

const NByk::TDictionary* GetEmbeddedRussianDictionary() {
    return NLemmer::NPrivate::GetEmbeddedDictionary(RussianSite, &GetEmbeddedRussianDictionaryChunk,
                                                    RussianDigest());
}
