// Buffered streams: TBufferedInput and TBufferedOutput put a fixed-size buffer in front of
// another stream (the slave, not owned) so that many small reads and writes become few large
// ones; TBuffered<T> bundles a slave of type T with its buffered stream in one object.
#pragma once

#include "util/stream/input.h"
#include "util/stream/output.h"

#include <cstddef>
#include <type_traits>
#include <utility>

// Reads ahead from the slave into its buffer. A read of more than half the buffer into an empty
// buffer goes straight to the slave. Not thread-safe. Raises what the slave raises.
class TBufferedInput : public TInputStream, public IZeroCopyInput {
public:
    TBufferedInput(TInputStream* slave, size_t bufferLength = 8192);
    ~TBufferedInput() override;

    // Bytes already buffered stay and are read first.
    void SetSlave(TInputStream* slave) noexcept;

protected:
    size_t DoRead(void* buffer, size_t length) override;
    // Assembles a line from as many refills as it takes; at end of input the result is empty.
    bool DoReadTo(Stroka& result, char delimiter) override;
    bool DoNext(const void** data, size_t* length) override;

private:
    class TImpl;
    TImpl* Impl_;
};

// Collects writes in its buffer and hands the slave whole multiples of the buffer length. It is
// open until Finish (explicit or from the destructor); then writes raise "can not write to
// finished stream" and flush, finish and the mode setters do nothing.
//
// Flush and Finish raise the slave's errors, so a caller that finishes its output explicitly
// learns of a failed write-out; the destructor finishes too but swallows every error. After a
// failed slave write the pending bytes stay in the buffer. Not thread-safe.
class TBufferedOutput : public TOutputStream {
public:
    TBufferedOutput(TOutputStream* slave, size_t bufferLength = 8192);
    ~TBufferedOutput() override;

    // Propagate-flush: Flush also flushes the slave.
    void SetPropagateMode(bool propagate) noexcept;
    // Propagate-finish: Finish also finishes the slave.
    void SetFinishPropagateMode(bool propagate) noexcept;

protected:
    void DoWrite(const void* data, size_t length) override;
    void DoFlush() override;
    void DoFinish() override;

private:
    class TImpl;
    // This class's own finish, which the destructor calls whatever a subclass overrides.
    void FinishImpl();

    TImpl* Impl_;
};

// Holds the slave stream object itself; constructed before the buffered part that uses it.
template <class T>
class TBufferedSlave {
public:
    template <class... TArgs>
    explicit TBufferedSlave(TArgs&&... args) : Slave_(std::forward<TArgs>(args)...) {}

    T& Slave() noexcept { return Slave_; }

protected:
    T Slave_;
};

// Which buffered stream a slave type gets: input streams a TBufferedInput, output streams a
// TBufferedOutput (with propagate-finish on for file outputs, see file_stream.h).
template <class T>
struct TBufferedStreamSelector {
    using TBufferedType =
        std::conditional_t<std::is_base_of_v<TOutputStream, T>, TBufferedOutput, TBufferedInput>;
};

// A slave of type T with its buffered stream. Destroying it destroys the buffered part first
// (for output: finish, errors swallowed), then the slave.
template <class T>
class TBuffered : public TBufferedSlave<T>, public TBufferedStreamSelector<T>::TBufferedType {
    using TBufferedType = typename TBufferedStreamSelector<T>::TBufferedType;

public:
    template <class... TArgs>
    TBuffered(size_t bufferLength, TArgs&&... args)
        : TBufferedSlave<T>(std::forward<TArgs>(args)...),
          TBufferedType(&this->Slave_, bufferLength) {}
};
