// The end-of-data error of the load layer and the 32-bit count loader.
#include "util/stream/load.h"

void ThrowLoadEOF(size_t expected, size_t got) {
    throw TLoadEOF() << "can not load pod type(" << static_cast<unsigned long>(expected) << ", "
                     << static_cast<unsigned long>(got) << " bytes)";
}

void ThrowLoadArrayEOF(size_t expected, size_t got) {
    throw TLoadEOF() << "can not load pod array(" << static_cast<unsigned long>(expected) << ", "
                     << static_cast<unsigned long>(got) << " bytes)";
}

void LoadSize32(TInputStream& in, size_t& value) {
    uint32_t count = 0;
    LoadPodType(in, count);
    value = count;
}
