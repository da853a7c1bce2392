#include "util/system/demangle.h"

#include <cxxabi.h>

#include <cstdlib>

TDemangler::~TDemangler() {
    free(Last_);
}

const char* TDemangler::Demangle(const char* name) {
    int status = 0;
    char* demangled = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    if (demangled == nullptr) {
        return name;
    }
    if (demangled != Last_) {
        free(Last_);
        Last_ = demangled;
    }
    return Last_;
}
