#include "util/convert/cast_exception.h"
