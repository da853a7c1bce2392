// TMappedFileInput: reads a whole file through a memory map instead of read calls.
#pragma once

#include "util/stream/blob.h"
#include "util/stream/memory.h"
#include "util/system/file.h"

// Maps the whole file read-only at construction and reads its bytes as a memory input; the
// mapping lives in a blob that goes with the stream (the file itself is released at once).
// Raises the file layer's errors and the map's.
class TMappedFileInput : public TMemoryInput {
public:
    // Opens the name read-only.
    explicit TMappedFileInput(const Stroka& name);
    explicit TMappedFileInput(const TFile& file);
    ~TMappedFileInput() override;

private:
    TBlob Blob_;
};
