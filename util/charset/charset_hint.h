// A lenient charset-name resolver for names found in documents ("charset=Win 1251",
// "ansi1251", "ISO8859-5"): the name is cleaned and normalised before CharsetByName is asked.
#pragma once

#include "util/charset/codepage.h"

// The charset code of a loosely written name: a leading "charset=" and surrounding
// punctuation are ignored, the case does not matter, blanks, '=' and '_' count as '-', and
// the usual family words ("win", "windows", "ansi", "cp", "microsoft", "iso", "latin", ...)
// before the number are understood. Returns CODES_UNSUPPORTED (-2) for a well-known encoding
// the table lacks, CODES_UNKNOWN (-1) for anything else not found, including a null pointer.
ECharset GuessCharsetByHint(const char* hint);
