// The option library's exceptions. Their texts are what a user reads after an option error, so
// every thrower streams the exact message into the exception.
#pragma once

#include "util/generic/exception.h"

namespace NLastGetopt {

// A failed lookup by the calling code (an option the set does not hold).
class TException : public kexception {};

// What the user typed does not fit the option set, or a name given to the set is not allowed.
class TUsageException : public TException {};

// The option set contradicts itself (names defined twice, free-argument limits).
class TConfException : public TException {};

}  // namespace NLastGetopt
