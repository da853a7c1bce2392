// The exceptions of failed conversions between types, above all of text to numbers.
#pragma once

#include "util/generic/exception.h"

// A failed conversion between types.
class TBadCastException : public virtual kexception {};

// A failed conversion of text to a number; the parsers stream the reason into it and throw it.
class TFromStringException : public TBadCastException {};
