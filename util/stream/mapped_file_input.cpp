// The mapped-file input: a memory input over the bytes of a blob that maps the file.
#include "util/stream/mapped_file_input.h"

TMappedFileInput::TMappedFileInput(const Stroka& name) : TMappedFileInput(TFile(name, RdOnly)) {}

TMappedFileInput::TMappedFileInput(const TFile& file) : Blob_(TBlob::FromFile(file)) {
    Reset(Blob_.Data(), Blob_.Size());
}

TMappedFileInput::~TMappedFileInput() = default;
