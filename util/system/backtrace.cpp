#include "util/system/backtrace.h"

#include "util/system/demangle.h"

#include <dlfcn.h>
#include <unwind.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {
struct TUnwindState {
    void** Buffer;
    size_t Capacity;
    size_t Size;
    bool SkippedOwnFrame;
};

_Unwind_Reason_Code CollectFrame(struct _Unwind_Context* context, void* arg) {
    TUnwindState* state = static_cast<TUnwindState*>(arg);
    // The first frame reported is BackTrace's own.
    if (!state->SkippedOwnFrame) {
        state->SkippedOwnFrame = true;
        return _URC_NO_REASON;
    }
    if (state->Size >= state->Capacity) {
        return _URC_END_OF_STACK;
    }
    state->Buffer[state->Size++] = reinterpret_cast<void*>(_Unwind_GetIP(context));
    return _URC_NO_REASON;
}
}  // namespace

size_t BackTrace(void** buffer, size_t capacity) noexcept {
    if (capacity == 0) {
        return 0;
    }
    TUnwindState state = {buffer, capacity, 0, false};
    _Unwind_Backtrace(&CollectFrame, &state);
    return state.Size;
}

TResolvedSymbol ResolveSymbol(void* address, char* buffer, size_t length) noexcept {
    Dl_info info;
    if (length == 0 || dladdr(address, &info) == 0 || info.dli_sname == nullptr) {
        return {"??", address};
    }
    // When the demangler fails (out of memory included) it gives the plain name back.
    TDemangler demangler;
    const char* name = demangler.Demangle(info.dli_sname);
    const size_t n = strnlen(name, length - 1);
    memcpy(buffer, name, n);
    buffer[n] = 0;
    return {buffer, info.dli_saddr};
}

size_t FormatBackTraceLine(void* address, char* buffer, size_t length) noexcept {
    if (length == 0) {
        return 0;
    }
    char name[1024];
    const TResolvedSymbol symbol = ResolveSymbol(address, name, sizeof(name));
    const int64_t offset =
        reinterpret_cast<intptr_t>(address) - reinterpret_cast<intptr_t>(symbol.NearestSymbol);
    const int n =
        snprintf(buffer, length, "%s+%lld\n", symbol.Name, static_cast<long long>(offset));
    if (n < 0) {
        buffer[0] = 0;
        return 0;
    }
    return static_cast<size_t>(n) < length ? static_cast<size_t>(n) : length - 1;
}
