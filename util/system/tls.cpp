// Per-thread storage tables behind NTls keys, and the master that owns the POSIX key.
#include "util/system/tls.h"

#include "util/system/atexit.h"
#include "util/system/spinlock.h"
#include "util/system/verify.h"

#include <pthread.h>

#include <atomic>
#include <vector>

namespace {
// One value of one key in one thread. Nodes of a thread form a list in creation order, so
// that the thread's values can be destroyed last-created first.
struct TStoredValue {
    TStoredValue* Next;
    TStoredValue* Prev;
    void* Value;
    NTls::TDtor Dtor;
    size_t Index;
};

struct TPerThreadStorage {
    TPerThreadStorage() noexcept {
        List.Next = &List;
        List.Prev = &List;
    }

    TStoredValue* Node(size_t index, NTls::TDtor dtor) {
        if (index >= Values.size()) {
            Values.resize(index + 1, nullptr);
        }
        TStoredValue*& slot = Values[index];
        if (slot == nullptr) {
            TStoredValue* node = new TStoredValue{&List, List.Prev, nullptr, dtor, index};
            List.Prev->Next = node;
            List.Prev = node;
            slot = node;
        }
        return slot;
    }

    // Destroys the values newest first. The slot of a value is cleared before its
    // destructor runs, so a destructor that reaches its own key again sees a fresh value.
    void DestroyValues() noexcept {
        while (List.Prev != &List) {
            TStoredValue* node = List.Prev;
            node->Prev->Next = &List;
            List.Prev = node->Prev;
            Values[node->Index] = nullptr;
            if (node->Dtor != nullptr && node->Value != nullptr) {
                node->Dtor(node->Value);
            }
            delete node;
        }
    }

    std::vector<TStoredValue*> Values;
    TStoredValue List{};
};

// The calling thread's table, cached so that the POSIX key is read once per thread.
thread_local TPerThreadStorage* CachedStorage = nullptr;

class TGenericTlsBase {
public:
    virtual ~TGenericTlsBase() = default;
    virtual TPerThreadStorage* MyStorageSlow() = 0;
};

class TMasterTls : public TGenericTlsBase {
public:
    TMasterTls() noexcept {
        if (pthread_key_create(&Key_, Dtor) != 0) {
            Panic("util/system/tls", __LINE__, "TMasterTls", "!pthread_key_create(&Key_, Dtor)",
                  "pthread_key_create failed");
        }
    }

    ~TMasterTls() override {
        Dtor(pthread_getspecific(Key_));
        pthread_setspecific(Key_, nullptr);
        if (pthread_key_delete(Key_) != 0) {
            Panic("util/system/tls", __LINE__, "~TMasterTls", "!pthread_key_delete(Key_)",
                  "pthread_key_delete failed");
        }
    }

    TPerThreadStorage* MyStorageSlow() override {
        void* ret = pthread_getspecific(Key_);
        if (ret == nullptr) {
            ret = new TPerThreadStorage();
            if (pthread_setspecific(Key_, ret) != 0) {
                Panic("util/system/tls", __LINE__, "MyStorageSlow",
                      "!pthread_setspecific(Key_, ret)", "pthread_setspecific failed");
            }
        }
        return static_cast<TPerThreadStorage*>(ret);
    }

private:
    // Runs on the thread whose table it is: at that thread's exit, or on the main thread
    // when the master is destroyed at exit.
    static void Dtor(void* data) noexcept {
        TPerThreadStorage* storage = static_cast<TPerThreadStorage*>(data);
        if (storage == nullptr) {
            return;
        }
        storage->DestroyValues();
        if (CachedStorage == storage) {
            CachedStorage = nullptr;
        }
        delete storage;
    }

    pthread_key_t Key_;
};

// The master is a lazily built singleton of its own kind: its accessor forgets it when it is
// destroyed at exit, so that a thread-local access from a later at-exit callback builds a new
// master instead of reaching a destroyed one.
constexpr uint64_t MasterPriority = 512;
std::atomic<TMasterTls*> Master{nullptr};
TSpinLockWord MasterLock{0};
alignas(TMasterTls) unsigned char MasterStorage[sizeof(TMasterTls)];

void DestroyMaster(void* master) noexcept {
    Master.store(nullptr, std::memory_order_release);
    static_cast<TMasterTls*>(master)->~TMasterTls();
}

TMasterTls* GetMaster() {
    TMasterTls* master = Master.load(std::memory_order_acquire);
    if (master != nullptr) {
        return master;
    }
    TSpinLockGuard guard(MasterLock);
    master = Master.load(std::memory_order_relaxed);
    if (master == nullptr) {
        master = ::new (static_cast<void*>(MasterStorage)) TMasterTls();
        try {
            AtExit(DestroyMaster, master, MasterPriority);
        } catch (...) {
            master->~TMasterTls();
            throw;
        }
        Master.store(master, std::memory_order_release);
    }
    return master;
}

TPerThreadStorage* MyStorage() {
    if (CachedStorage == nullptr) {
        CachedStorage = GetMaster()->MyStorageSlow();
    }
    return CachedStorage;
}

std::atomic<uint64_t> KeyCounter{0};
}  // namespace

struct NTls::TKey::TImpl {
    uint64_t Index;
    TDtor Dtor;
};

NTls::TKey::TKey(TDtor dtor) : Impl_(new TImpl{KeyCounter.fetch_add(1), dtor}) {}

NTls::TKey::TKey(TKey&& other) noexcept : Impl_(other.Impl_) {
    other.Impl_ = nullptr;
}

NTls::TKey::~TKey() {
    delete Impl_;
}

void* NTls::TKey::Get() const {
    return MyStorage()->Node(Impl_->Index, Impl_->Dtor)->Value;
}

void NTls::TKey::Set(void* value) const {
    MyStorage()->Node(Impl_->Index, Impl_->Dtor)->Value = value;
}
