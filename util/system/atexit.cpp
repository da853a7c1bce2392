// The at-exit registry: records in a balanced tree ordered by (priority, registration number),
// cut from a memory pool whose first chunk is an inline buffer, so that the registrations made
// during static initialisation cost no heap allocation.
#include "util/system/atexit.h"

#include "util/generic/memory_pool.h"
#include "util/system/spinlock.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

namespace {
constexpr uint64_t LargestPriority = ~uint64_t(0);

struct TRecord {
    TRecord* Left;
    TRecord* Right;
    int64_t Height;
    TAtExitFunc Func;
    void* Context;
    uint64_t Priority;
    uint64_t Number;

    bool operator<(const TRecord& other) const noexcept {
        if (Priority != other.Priority) {
            return Priority < other.Priority;
        }
        return Number < other.Number;
    }
};

// The amount asked from the pool per record: the inline buffer then holds 50 records.
constexpr size_t RecordSize = 80;
static_assert(sizeof(TRecord) <= RecordSize);

// An AVL tree of records; only insertion and removal of the largest record are needed.
class TRecordTree {
public:
    bool Empty() const noexcept { return Root_ == nullptr; }

    void Insert(TRecord* record) noexcept {
        record->Left = record->Right = nullptr;
        record->Height = 1;
        Root_ = Insert(Root_, record);
    }

    TRecord* PopLargest() noexcept {
        TRecord* largest = nullptr;
        Root_ = RemoveLargest(Root_, &largest);
        return largest;
    }

private:
    static int64_t Height(const TRecord* node) noexcept { return node ? node->Height : 0; }

    static void Update(TRecord* node) noexcept {
        node->Height = 1 + std::max(Height(node->Left), Height(node->Right));
    }

    static TRecord* RotateRight(TRecord* node) noexcept {
        TRecord* top = node->Left;
        node->Left = top->Right;
        top->Right = node;
        Update(node);
        Update(top);
        return top;
    }

    static TRecord* RotateLeft(TRecord* node) noexcept {
        TRecord* top = node->Right;
        node->Right = top->Left;
        top->Left = node;
        Update(node);
        Update(top);
        return top;
    }

    static TRecord* Balance(TRecord* node) noexcept {
        Update(node);
        const int64_t skew = Height(node->Left) - Height(node->Right);
        if (skew > 1) {
            if (Height(node->Left->Left) < Height(node->Left->Right)) {
                node->Left = RotateLeft(node->Left);
            }
            return RotateRight(node);
        }
        if (skew < -1) {
            if (Height(node->Right->Right) < Height(node->Right->Left)) {
                node->Right = RotateRight(node->Right);
            }
            return RotateLeft(node);
        }
        return node;
    }

    static TRecord* Insert(TRecord* node, TRecord* record) noexcept {
        if (node == nullptr) {
            return record;
        }
        if (*record < *node) {
            node->Left = Insert(node->Left, record);
        } else {
            node->Right = Insert(node->Right, record);
        }
        return Balance(node);
    }

    static TRecord* RemoveLargest(TRecord* node, TRecord** largest) noexcept {
        if (node->Right == nullptr) {
            *largest = node;
            return node->Left;
        }
        node->Right = RemoveLargest(node->Right, largest);
        return Balance(node);
    }

    TRecord* Root_ = nullptr;
};

// The registry pool's allocator and growth policy in one object. Its first chunk is an
// inline buffer, so that registering during static initialisation needs no malloc.
class TMyAllocator : public TMemoryPool::TExpGrow, public TDefaultAllocator {
public:
    TBlock Allocate(size_t len) override {
        if (InlineFree_ && len <= sizeof(Inline_)) {
            InlineFree_ = false;
            return {Inline_, sizeof(Inline_)};
        }
        return TDefaultAllocator::Allocate(len);
    }

    void Release(const TBlock& block) override {
        if (block.Data == Inline_) {
            InlineFree_ = true;
        } else {
            TDefaultAllocator::Release(block);
        }
    }

private:
    alignas(8) char Inline_[4096];
    bool InlineFree_ = true;
};

class TAtExit {
public:
    TAtExit() noexcept : Pool_(80, &Allocator_, &Allocator_) {}

    void Register(TAtExitFunc func, void* context, uint64_t priority) {
        Lock_.Acquire();
        try {
            TRecord* record = static_cast<TRecord*>(Pool_.Allocate(RecordSize));
            record->Func = func;
            record->Context = context;
            record->Priority = priority;
            record->Number = ++Counter_;
            Tree_.Insert(record);
        } catch (...) {
            Lock_.Release();
            throw;
        }
        Lock_.Release();
    }

    void Run() noexcept {
        Lock_.Acquire();
        while (!Tree_.Empty()) {
            TRecord* record = Tree_.PopLargest();
            try {
                record->Func(record->Context);
            } catch (...) {
                // A failing destructor must not keep the others from running.
            }
        }
        Lock_.Release();
    }

private:
    uint64_t Counter_ = 0;
    TRecursiveSpinLock Lock_;
    TMyAllocator Allocator_;
    TMemoryPool Pool_;
    TRecordTree Tree_;
};

std::atomic<TAtExit*> Registry{nullptr};
TSpinLockWord RegistryLock{0};
alignas(TAtExit) unsigned char RegistryStorage[sizeof(TAtExit)];

TAtExit* GetRegistry() {
    TAtExit* registry = Registry.load(std::memory_order_acquire);
    if (registry != nullptr) {
        return registry;
    }
    TSpinLockGuard guard(RegistryLock);
    registry = Registry.load(std::memory_order_relaxed);
    if (registry == nullptr) {
        std::atexit(RunAtExitCallbacks);
        registry = ::new (static_cast<void*>(RegistryStorage)) TAtExit();
        Registry.store(registry, std::memory_order_release);
    }
    return registry;
}

void CallTraditional(void* func) {
    reinterpret_cast<TTraditionalAtExitFunc>(func)();
}
}  // namespace

void AtExit(TAtExitFunc func, void* context, uint64_t priority) {
    GetRegistry()->Register(func, context, priority);
}

void AtExit(TAtExitFunc func, void* context) {
    AtExit(func, context, LargestPriority);
}

void AtExit(TTraditionalAtExitFunc func, uint64_t priority) {
    AtExit(CallTraditional, reinterpret_cast<void*>(func), priority);
}

void AtExit(TTraditionalAtExitFunc func) {
    AtExit(func, LargestPriority);
}

void RunAtExitCallbacks() noexcept {
    TAtExit* registry = Registry.load(std::memory_order_acquire);
    if (registry == nullptr) {
        return;
    }
    registry->Run();
    registry->~TAtExit();
    Registry.store(nullptr, std::memory_order_release);
}
