// Streams over files: TFileInput and TFileOutput over a shared TFile, and their buffered forms
// TBufferedFileInput and TBufferedFileOutput, which the analyser opens with 8192-byte buffers.
#pragma once

#include "util/stream/buffered.h"
#include "util/stream/input.h"
#include "util/stream/output.h"
#include "util/system/file.h"

// Reads a file from its current position. Raises TFileError on open and read errors.
class TFileInput : public TInputStream {
public:
    // Opens the name read-only with sequential advice.
    explicit TFileInput(const Stroka& name);
    // Shares an open file; a closed one raises TIoException.
    explicit TFileInput(const TFile& file);
    ~TFileInput() override;

protected:
    size_t DoRead(void* buffer, size_t length) override;

private:
    TFile File_;
};

// Writes a file at its current position; Flush synchronises the file to disk. Raises
// TFileError on open, write and flush errors.
class TFileOutput : public TOutputStream {
public:
    // Creates or truncates the name, write-only with sequential advice.
    explicit TFileOutput(const Stroka& name);
    // Shares an open file; a closed one raises TIoException.
    explicit TFileOutput(const TFile& file);
    ~TFileOutput() override;

protected:
    void DoWrite(const void* data, size_t length) override;
    // Synchronises the file to disk. A file that cannot be synchronised at all (a pipe, a
    // terminal: EINVAL) has nothing to synchronise; every other failure raises.
    void DoFlush() override;

private:
    TFile File_;
};

// A buffered file output finishes its file too, which synchronises it; a plain flush only
// moves the buffer to the file.
template <>
struct TBufferedStreamSelector<TFileOutput> {
    class TMyBufferedOutput : public TBufferedOutput {
    public:
        TMyBufferedOutput(TOutputStream* slave, size_t bufferLength)
            : TBufferedOutput(slave, bufferLength) {
            SetFinishPropagateMode(true);
        }
    };
    using TBufferedType = TMyBufferedOutput;
};

class TBufferedFileInput : public TBuffered<TFileInput> {
public:
    explicit TBufferedFileInput(const Stroka& name, size_t bufferLength = 8192)
        : TBuffered<TFileInput>(bufferLength, name) {}
    explicit TBufferedFileInput(const TFile& file, size_t bufferLength = 8192)
        : TBuffered<TFileInput>(bufferLength, file) {}
};

// Destroying it writes out what the buffer holds, synchronises the file and closes it, with
// errors swallowed; call Finish first to learn of them.
class TBufferedFileOutput : public TBuffered<TFileOutput> {
public:
    explicit TBufferedFileOutput(const Stroka& name, size_t bufferLength = 8192)
        : TBuffered<TFileOutput>(bufferLength, name) {}
    explicit TBufferedFileOutput(const TFile& file, size_t bufferLength = 8192)
        : TBuffered<TFileOutput>(bufferLength, file) {}
};
