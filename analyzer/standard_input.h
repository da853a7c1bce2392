// The process's standard input as the analysis run reads it: every read returns what has
// arrived (one system read), so a program that writes a line and waits for its analysis is
// never kept waiting for a block to fill.
#pragma once

#include "util/stream/input.h"
#include "util/system/file_handle.h"

#include <cstddef>

// Reads descriptor 0, which it never closes. A read error raises kexception "can not read from
// stream(" + the system's text + ")". Not thread-safe.
class TStandardInput : public TInputStream {
public:
    TStandardInput() noexcept;
    ~TStandardInput() override;

protected:
    size_t DoRead(void* buffer, size_t length) override;

private:
    TFileHandle Handle_;
};
