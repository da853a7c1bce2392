// What lemmix says about itself: its version and its usage text.
#pragma once

#include "util/stream/output.h"

constexpr char LemmixVersion[] = "2.1";

// The part of a program path after its last '\\', '/' or ':'; the whole path when it holds
// none of them or ends with one; empty for a null path.
const char* ProgramBaseName(const char* programPath) noexcept;

// The usage text for the program path (argv[0]), each line flushed.
void PrintUsage(const char* programPath, TOutputStream& out);
