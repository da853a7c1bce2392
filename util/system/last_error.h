// The calling thread's errno and the system's texts for error numbers. The system-error
// exceptions take their status and message prefix from here.
#pragma once

#include <cstddef>

int LastSystemError() noexcept;
void ClearLastSystemError() noexcept;

// strerror of the code.
const char* SystemErrorText(int code) noexcept;
// Fills the buffer with the text of the code; returns 0 or an errno value (the XSI form of
// strerror_r, whatever the C library's default is).
int SystemErrorText(char* buffer, size_t length, int code) noexcept;
