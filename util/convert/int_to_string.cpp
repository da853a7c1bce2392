#include "util/convert/int_to_string.h"

#include "util/generic/exception.h"

namespace NIntToStringPrivate {

void ThrowZeroLength() {
    throw kexception() << "zero length";
}

void ThrowNoRoom() {
    throw kexception() << "not enough room in buffer";
}

}  // namespace NIntToStringPrivate
