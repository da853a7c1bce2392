#include "lemmer/dictionary/embedded_dictionary.h"

#include "lemmer/dictionary/dictionary_loader.h"
#include "util/stream/buffered.h"
#include "util/stream/zlib.h"
#include "util/system/atexit.h"

#include <algorithm>
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
    : Pool(HolderBlockSize, TMemoryPool::TLinearGrow::Instance(), TDefaultAllocator::Instance()) {}

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
                                                   TChunkAccessor chunks) {
    TSpinLockGuard guard(site.Lock);
    if (TEmbeddedDictionaryHolder* built = site.Holder.load(std::memory_order_acquire)) {
        return built;
    }
    auto* holder = ::new (static_cast<void*>(site.Storage)) TEmbeddedDictionaryHolder();
    try {
        {
            TStringDataInputStream decoded(chunks, ChunkBufferSize);
            TZLibDecompress inflated(&decoded, EZLibStreamType::Auto, InflateBufferSize);
            TBufferedInput buffered(&inflated, LoadBufferSize);
            TInputMd5Stream hashed(&buffered);
            hashed.Context().Init();
            NByk::LoadDictionary(holder->Dictionary, hashed, holder->Pool);
            hashed.Context().End(holder->Dictionary.Fingerprint);
            hashed.Context().Init();
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

TEmbeddedDictionaryHolder* BuildEmbeddedRussianDictionary() {
    return NLemmer::NPrivate::BuildEmbeddedDictionary(RussianSite,
                                                      &GetEmbeddedRussianDictionaryChunk);
}

const NByk::TDictionary* GetEmbeddedRussianDictionary() {
    return NLemmer::NPrivate::GetEmbeddedDictionary(RussianSite,
                                                    &GetEmbeddedRussianDictionaryChunk);
}
