// TMappedFileInput: reads a whole file through a memory map instead of read calls.
#pragma once

#include "util/stream/memory.h"
#include "util/system/file.h"

#include <memory>

class TMappedFile;

// Maps the whole file at construction and reads its bytes as a memory input; the map goes with
// the stream. Raises the file layer's errors and the map's.
class TMappedFileInput : public TMemoryInput {
public:
    // Opens the name read-only.
    explicit TMappedFileInput(const Stroka& name);
    explicit TMappedFileInput(const TFile& file);
    ~TMappedFileInput() override;

private:
    std::unique_ptr<TMappedFile> Map_;
};
