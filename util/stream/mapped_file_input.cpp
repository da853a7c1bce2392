// The mapped-file input.
#include "util/stream/mapped_file_input.h"

#include "util/system/mmap.h"

TMappedFileInput::TMappedFileInput(const Stroka& name) : TMappedFileInput(TFile(name, RdOnly)) {}

TMappedFileInput::TMappedFileInput(const TFile& file)
    : Map_(std::make_unique<TMappedFile>(file, TMemoryMap::oRdOnly)) {
    Reset(Map_->Data(), size_t(Map_->Length()));
}

TMappedFileInput::~TMappedFileInput() = default;
