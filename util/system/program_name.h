// The program's name as shown in usage lines: the base name of the executable path, or of a
// name set by the program itself before the first use.
#pragma once

#include "util/generic/string.h"

// Sets the text that GetProgramName takes its base name from. The text is not copied and must
// outlive the first GetProgramName; once the name is built, a later call has no effect.
void SetProgramName(const char* name) noexcept;

// The part after the last '/' of the override or, without one, of GetExecPath(); built once
// per process and kept to the end. Thread-safe. A failure to find the executable path raises
// (see exec_path.h) and the next call tries again.
const Stroka& GetProgramName();
