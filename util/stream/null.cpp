#include "util/stream/null.h"

#include "util/system/singleton.h"

size_t TNullInput::DoRead(void*, size_t) {
    return 0;
}

bool TNullInput::DoNext(const void**, size_t* length) {
    *length = 0;
    return false;
}

void TNullOutput::DoWrite(const void*, size_t) {}

TNullIO& NullStream() {
    return *Singleton<TNullIO>();
}
