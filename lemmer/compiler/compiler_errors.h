// The exceptions of the dictionary compiler. Each carries only its message and derives
// directly from kexception, so a handler tells them apart by class alone:
// - TInvalidEntryException: one source entry is rejected; compilation goes on;
// - TEndOfStreamException: the source holds no further entry (empty message);
// - TBufferExhaustedException: a fixed buffer of the compiler ran out; compilation stops;
// - TOverflowError: a table limit was reached; compilation stops;
// - TCompileError: the tables cannot be turned into a dictionary.
#pragma once

#include "util/generic/exception.h"

namespace NByk {

class TInvalidEntryException : public kexception {};
class TEndOfStreamException : public kexception {};
class TBufferExhaustedException : public kexception {};
class TOverflowError : public kexception {};
class TCompileError : public kexception {};

}  // namespace NByk
