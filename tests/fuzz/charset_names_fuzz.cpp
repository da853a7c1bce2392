// Any name gives a charset code of the table or CODES_UNKNOWN, and the canonical name of a
// found code leads back to a page with that same canonical name.
#include "util/charset/charset_names.h"
#include "util/charset/codepage.h"
#include "util/generic/exception.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string name(reinterpret_cast<const char*>(data), size);
    const ECharset code = CharsetByName(name.c_str());
    if (code == CODES_UNKNOWN)
        return 0;
    if (!ValidCharset(code))
        std::abort();
    const ECharset again = CharsetByName(NameByCharset(code));
    if (!ValidCharset(again) || std::strcmp(NameByCharset(again), NameByCharset(code)) != 0)
        std::abort();
    return 0;
}
