// The status every buffer-to-buffer converter returns, with the bytes it read and wrote
// reported through out-parameters.
#pragma once

enum RECODE_RESULT {
    RECODE_OK = 0,            // the whole input was read
    RECODE_EOINPUT = 1,       // the input ends inside a character; the bytes before it were read
    RECODE_EOOUTPUT = 2,      // the output is full; input remains
    RECODE_BROKENSYMBOL = 3,  // the last character was malformed and replaced by U+FFFD
    RECODE_ERROR = 4,         // the conversion cannot be done
};
