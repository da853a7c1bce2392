// Owners of POSIX threads: TThread runs a procedure on a thread of its own, TSimpleThread runs
// its virtual ThreadProc. The analyser itself runs on one thread and starts none.
#pragma once

#include <cstddef>
#include <cstdint>

// Owns at most one running thread. Start raises kexception "failed to create thread: " + the
// system's error text when the thread cannot be made (the object is then not running), and
// "thread already started" while a thread it started is neither joined nor detached. A thread
// that was started and neither joined nor detached is joined when the object is destroyed.
// Not thread-safe: one thread controls the object.
class TThread {
public:
    using TThreadProc = void* (*)(void* param);

    struct TParams {
        TThreadProc Proc;
        void* Data;
        size_t StackSize;  // 0: the platform's default

        TParams(TThreadProc proc, void* data, size_t stackSize = 0) noexcept
            : Proc(proc), Data(data), StackSize(stackSize) {}
    };

    TThread(TThreadProc proc, void* param);
    // The stack size is rounded up to a power of two (a size above 2^63 is kept as it is).
    explicit TThread(const TParams& params);
    ~TThread();

    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();
    // Waits for the thread and returns its result; null when no thread was running.
    void* Join();
    // Lets the thread run on its own; the object no longer controls it.
    void Detach();
    bool Running() const noexcept;
    // The identity of the running thread, equal to what SystemCurrentThreadId gives inside it.
    uint64_t Id() const noexcept;

private:
    struct TImpl;
    TImpl* Impl_;
};

// A thread whose body is ThreadProc. An exception escaping ThreadProc ends the process.
// REQUIRES: a derived class whose ThreadProc uses its own members joins in its own destructor;
// the join in ~TThread comes after those members are gone.
class TSimpleThread : public TThread {
public:
    explicit TSimpleThread(size_t stackSize = 0);
    virtual ~TSimpleThread() = default;

    virtual void* ThreadProc() = 0;

private:
    static void* Run(void* self) noexcept;
};
