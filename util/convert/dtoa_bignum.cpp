#include "util/convert/dtoa_bignum.h"

#include "util/generic/allocator.h"
#include "util/generic/memory_pool.h"
#include "util/generic/temp_buf.h"
#include "util/system/guard.h"
#include "util/system/mutex.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <utility>

namespace NDtoa {

namespace {

// Hands the calling thread's scratch buffer to the pool as its first chunk. Later chunks come
// from the heap instead of stopping the process, so that arbitrarily long numeric text converts.
class TScratchAlloc : public IAllocator {
public:
    TBlock Allocate(size_t len) override {
        if (!Given_) {
            Given_ = true;
            return TBlock{Buf_.Data(), Buf_.Size()};
        }
        return TDefaultAllocator::Instance()->Allocate(len);
    }

    void Release(const TBlock& block) override {
        if (block.Data != Buf_.Data()) {
            TDefaultAllocator::Instance()->Release(block);
        }
    }

private:
    TTempBuf Buf_;
    bool Given_ = false;
};

// Built on first use and never destroyed: a number may still be converted by code that runs
// at exit (an at-exit callback, a static destructor), after the cache would otherwise be gone.
template <class T>
class TNeverDestroyed {
public:
    template <class... TArgs>
    explicit TNeverDestroyed(TArgs&&... args) {
        ::new (Storage_) T(std::forward<TArgs>(args)...);
    }
    T& Get() noexcept { return *std::launder(reinterpret_cast<T*>(Storage_)); }

private:
    alignas(T) unsigned char Storage_[sizeof(T)];
};

// The lock of the powers-of-five cache. Built on first use rather than by a namespace-scope
// initialiser, so that a conversion run by another unit's static initialiser finds it ready.
TMutex& Pow5Lock() {
    static TNeverDestroyed<TMutex> lock;
    return lock.Get();
}

// Holds the cached powers of five; used only under Pow5Lock. Its policy and allocator are its
// own, since the shared instances are destroyed at exit.
TMemoryPool& GlobalPool() {
    static TNeverDestroyed<TMemoryPool::TExpGrow> grow;
    static TNeverDestroyed<TDefaultAllocator> alloc;
    static TNeverDestroyed<TMemoryPool> pool(8192, &grow.Get(), &alloc.Get());
    return pool.Get();
}

TBigint* Pow5Head = nullptr;

TBigint* LoadLink(TBigint*& link) noexcept {
    return std::atomic_ref<TBigint*>(link).load(std::memory_order_acquire);
}

void StoreLink(TBigint*& link, TBigint* value) noexcept {
    std::atomic_ref<TBigint*>(link).store(value, std::memory_order_release);
}

int SizeClass(int words) noexcept {
    int k = 0;
    while ((1 << k) < words) {
        ++k;
    }
    return k;
}

void Trim(TBigint* b) noexcept {
    const uint32_t* x = b->X();
    while (b->Wds > 1 && x[b->Wds - 1] == 0) {
        --b->Wds;
    }
}

}  // namespace

class TParserClosure::TResHelper {
public:
    TResHelper() : Pool_(1, TMemoryPool::TExpGrow::Instance(), &Alloc_), Current_(&Pool_) {}

    void* Allocate(size_t len) { return Current_->Allocate(len); }

    // Makes the next allocations come from the process-wide pool, for a cache entry.
    void UseGlobalPool(bool global) noexcept { Current_ = global ? &GlobalPool() : &Pool_; }

private:
    TScratchAlloc Alloc_;
    TMemoryPool Pool_;
    TMemoryPool* Current_;
};

TParserClosure::~TParserClosure() {
    if (Helper_) {
        Helper_->~TResHelper();
    }
}

TParserClosure::TResHelper& TParserClosure::Helper() {
    static_assert(sizeof(TResHelper) <= sizeof(Storage_), "the closure's storage is too small");
    if (!Helper_) {
        Helper_ = ::new (Storage_) TResHelper();
    }
    return *Helper_;
}

void* TParserClosure::Allocate(size_t len) {
    return Helper().Allocate(len);
}

TBigint* Balloc(TParserClosure& c, int k) {
    const size_t words = size_t(1) << k;
    void* mem = c.Allocate(sizeof(TBigint) + words * sizeof(uint32_t));
    TBigint* b = ::new (mem) TBigint{nullptr, k, int(words), 0, 1};
    b->X()[0] = 0;
    return b;
}

TBigint* FromUint64(TParserClosure& c, uint64_t v) {
    TBigint* b = Balloc(c, 1);
    b->X()[0] = uint32_t(v);
    b->X()[1] = uint32_t(v >> 32);
    b->Wds = b->X()[1] ? 2 : 1;
    return b;
}

TBigint* Copy(TParserClosure& c, const TBigint* b) {
    TBigint* r = Balloc(c, b->K);
    r->Sign = b->Sign;
    r->Wds = b->Wds;
    std::memcpy(r->X(), b->X(), b->Wds * sizeof(uint32_t));
    return r;
}

TBigint* MultAdd(TParserClosure& c, TBigint* b, uint32_t m, uint32_t a) {
    uint32_t* x = b->X();
    uint64_t carry = a;
    for (int i = 0; i < b->Wds; ++i) {
        const uint64_t y = uint64_t(x[i]) * m + carry;
        x[i] = uint32_t(y);
        carry = y >> 32;
    }
    if (carry) {
        if (b->Wds >= b->MaxWds) {
            TBigint* bigger = Balloc(c, b->K + 1);
            bigger->Wds = b->Wds;
            std::memcpy(bigger->X(), x, b->Wds * sizeof(uint32_t));
            b = bigger;
        }
        b->X()[b->Wds++] = uint32_t(carry);
    }
    return b;
}

TBigint* Mult(TParserClosure& c, const TBigint* a, const TBigint* b) {
    if (a->Wds < b->Wds) {
        std::swap(a, b);
    }
    const int wc = a->Wds + b->Wds;
    TBigint* r = Balloc(c, SizeClass(wc));
    uint32_t* rx = r->X();
    std::memset(rx, 0, wc * sizeof(uint32_t));
    const uint32_t* ax = a->X();
    const uint32_t* bx = b->X();
    for (int j = 0; j < b->Wds; ++j) {
        const uint64_t y = bx[j];
        if (!y) {
            continue;
        }
        uint64_t carry = 0;
        for (int i = 0; i < a->Wds; ++i) {
            const uint64_t z = ax[i] * y + rx[i + j] + carry;
            rx[i + j] = uint32_t(z);
            carry = z >> 32;
        }
        rx[j + a->Wds] = uint32_t(carry);
    }
    r->Wds = wc;
    Trim(r);
    return r;
}

TBigint* Pow5Mult(TParserClosure& c, TBigint* b, int e) {
    static const uint32_t small[] = {5, 25, 125};
    if (e & 3) {
        b = MultAdd(c, b, small[(e & 3) - 1], 0);
    }
    e >>= 2;
    if (!e) {
        return b;
    }
    TBigint* p5 = LoadLink(Pow5Head);
    if (!p5) {
        TGuard<TMutex> guard(Pow5Lock());
        p5 = LoadLink(Pow5Head);
        if (!p5) {
            c.Helper().UseGlobalPool(true);
            try {
                p5 = FromUint64(c, 625);
            } catch (...) {
                c.Helper().UseGlobalPool(false);
                throw;
            }
            c.Helper().UseGlobalPool(false);
            StoreLink(Pow5Head, p5);
        }
    }
    for (;;) {
        if (e & 1) {
            b = Mult(c, b, p5);
        }
        e >>= 1;
        if (!e) {
            break;
        }
        TBigint* next = LoadLink(p5->Next);
        if (!next) {
            TGuard<TMutex> guard(Pow5Lock());
            next = LoadLink(p5->Next);
            if (!next) {
                c.Helper().UseGlobalPool(true);
                try {
                    next = Mult(c, p5, p5);
                } catch (...) {
                    c.Helper().UseGlobalPool(false);
                    throw;
                }
                c.Helper().UseGlobalPool(false);
                StoreLink(p5->Next, next);
            }
        }
        p5 = next;
    }
    return b;
}

TBigint* LShift(TParserClosure& c, const TBigint* b, int n) {
    const int words = n >> 5;
    const int bits = n & 31;
    const int wc = b->Wds + words + 1;
    TBigint* r = Balloc(c, SizeClass(wc));
    uint32_t* rx = r->X();
    const uint32_t* bx = b->X();
    std::memset(rx, 0, words * sizeof(uint32_t));
    if (bits) {
        uint32_t carry = 0;
        for (int i = 0; i < b->Wds; ++i) {
            rx[words + i] = (bx[i] << bits) | carry;
            carry = bx[i] >> (32 - bits);
        }
        rx[words + b->Wds] = carry;
    } else {
        std::memcpy(rx + words, bx, b->Wds * sizeof(uint32_t));
        rx[words + b->Wds] = 0;
    }
    r->Wds = wc;
    Trim(r);
    return r;
}

TBigint* Pow52(TParserClosure& c, int e5, int e2) {
    TBigint* b = FromUint64(c, 1);
    if (e5 > 0) {
        b = Pow5Mult(c, b, e5);
    }
    return e2 > 0 ? LShift(c, b, e2) : b;
}

int Cmp(const TBigint* a, const TBigint* b) noexcept {
    if (a->Wds != b->Wds) {
        return a->Wds < b->Wds ? -1 : 1;
    }
    const uint32_t* ax = a->X();
    const uint32_t* bx = b->X();
    for (int i = a->Wds - 1; i >= 0; --i) {
        if (ax[i] != bx[i]) {
            return ax[i] < bx[i] ? -1 : 1;
        }
    }
    return 0;
}

int CmpSum(const TBigint* a, const TBigint* m, const TBigint* s) noexcept {
    // a + m - s least significant word first, one spare word for the carry of a + m; only the
    // final carry (the sign) and whether any word was non-zero are kept.
    const int n = std::max(std::max(a->Wds, m->Wds), s->Wds) + 1;
    int64_t carry = 0;
    bool nonZero = false;
    for (int i = 0; i < n; ++i) {
        const int64_t av = i < a->Wds ? a->X()[i] : 0;
        const int64_t mv = i < m->Wds ? m->X()[i] : 0;
        const int64_t sv = i < s->Wds ? s->X()[i] : 0;
        const int64_t t = av + mv - sv + carry;
        const uint32_t word = uint32_t(t);
        carry = (t - int64_t(word)) >> 32;
        nonZero = nonZero || word != 0;
    }
    if (carry < 0) {
        return -1;
    }
    return nonZero ? 1 : 0;
}

TBigint* Diff(TParserClosure& c, const TBigint* a, const TBigint* b) {
    int sign = 0;
    const int order = Cmp(a, b);
    if (order == 0) {
        return FromUint64(c, 0);
    }
    if (order < 0) {
        std::swap(a, b);
        sign = 1;
    }
    TBigint* r = Balloc(c, a->K);
    r->Sign = sign;
    uint32_t* rx = r->X();
    const uint32_t* ax = a->X();
    const uint32_t* bx = b->X();
    int64_t borrow = 0;
    for (int i = 0; i < a->Wds; ++i) {
        const int64_t t = int64_t(ax[i]) - (i < b->Wds ? bx[i] : 0) - borrow;
        rx[i] = uint32_t(t);
        borrow = t < 0 ? 1 : 0;
    }
    r->Wds = a->Wds;
    Trim(r);
    return r;
}

int QuoRem(TBigint* b, const TBigint* s) noexcept {
    const int n = s->Wds;
    if (b->Wds < n) {
        return 0;
    }
    uint32_t* bx = b->X();
    const uint32_t* sx = s->X();
    uint32_t q = bx[n - 1] / (sx[n - 1] + 1);
    if (q) {
        uint64_t carry = 0;
        int64_t borrow = 0;
        for (int i = 0; i < n; ++i) {
            const uint64_t p = uint64_t(sx[i]) * q + carry;
            carry = p >> 32;
            const int64_t t = int64_t(bx[i]) - int64_t(uint32_t(p)) - borrow;
            bx[i] = uint32_t(t);
            borrow = t < 0 ? 1 : 0;
        }
        Trim(b);
    }
    while (Cmp(b, s) >= 0) {
        ++q;
        int64_t borrow = 0;
        for (int i = 0; i < n; ++i) {
            const int64_t t = int64_t(bx[i]) - sx[i] - borrow;
            bx[i] = uint32_t(t);
            borrow = t < 0 ? 1 : 0;
        }
        Trim(b);
    }
    return int(q);
}

int NormalizeShift(const TBigint* s) noexcept {
    const int len = BitLength(s->X()[s->Wds - 1]);
    return (28 - len + 32) % 32;
}

}  // namespace NDtoa
