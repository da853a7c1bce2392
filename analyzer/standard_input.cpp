#include "analyzer/standard_input.h"

#include "util/generic/exception.h"
#include "util/system/last_error.h"

#include <algorithm>

TStandardInput::TStandardInput() noexcept : Handle_(0) {}

TStandardInput::~TStandardInput() {
    Handle_.Release();  // the descriptor belongs to the process
}

size_t TStandardInput::DoRead(void* buffer, size_t length) {
    const int32_t n =
        Handle_.Read(buffer, static_cast<uint32_t>(std::min<size_t>(length, 1 << 30)));
    if (n < 0) {
        const int status = LastSystemError();
        throw kexception() << "can not read from stream(" << SystemErrorText(status) << ")";
    }
    return static_cast<size_t>(n);
}
