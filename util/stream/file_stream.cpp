// File input and output streams over TFile.
#include "util/stream/file_stream.h"

#include "util/generic/exception.h"

#include <cerrno>

TFileInput::TFileInput(const Stroka& name) : File_(name, RdOnly | Seq) {
    if (!File_.IsOpen()) {
        throw TIoException() << "file " << name << " not open";
    }
}

TFileInput::TFileInput(const TFile& file) : File_(file) {
    if (!File_.IsOpen()) {
        throw TIoException() << "file (" << file.GetName() << ") not open";
    }
}

TFileInput::~TFileInput() = default;

size_t TFileInput::DoRead(void* buffer, size_t length) {
    return File_.Read(buffer, length);
}

TFileOutput::TFileOutput(const Stroka& name) : File_(name, CreateAlways | WrOnly | Seq) {
    if (!File_.IsOpen()) {
        const int status = errno;
        throw TFileError(status) << "can not open " << name;
    }
}

TFileOutput::TFileOutput(const TFile& file) : File_(file) {
    if (!File_.IsOpen()) {
        throw TIoException() << "closed file(" << file.GetName() << ") passed";
    }
}

TFileOutput::~TFileOutput() = default;

void TFileOutput::DoWrite(const void* data, size_t length) {
    File_.Write(data, length);
}

void TFileOutput::DoFlush() {
    if (!File_.IsOpen()) {
        return;
    }
    try {
        File_.Flush();
    } catch (const TFileError& e) {
        if (e.Status() != EINVAL) {
            throw;
        }
    }
}
