#include "util/system/backtrace.h"

#include "util/stream/output.h"
#include "util/stream/std_stream.h"
#include "util/stream/string_stream.h"
#include "util/system/demangle.h"

#include <dlfcn.h>
#include <unwind.h>

#include <cstdint>
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

// Kept out of line: the frame it skips must be its own, not that of a caller it was merged into.
__attribute__((noinline)) size_t BackTrace(void** buffer, size_t capacity) noexcept {
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

void FormatBackTrace(TOutputStream& out, void* const* addresses, size_t count) {
    char name[1024];
    for (size_t i = 0; i < count; ++i) {
        const TResolvedSymbol symbol = ResolveSymbol(addresses[i], name, sizeof(name));
        const long offset = static_cast<long>(reinterpret_cast<intptr_t>(addresses[i]) -
                                              reinterpret_cast<intptr_t>(symbol.NearestSymbol));
        out << symbol.Name << "+" << offset << Endl;
    }
}

void FormatBackTrace(TOutputStream& out) {
    void* addresses[TBackTrace::Capacity];
    const size_t count = BackTrace(addresses, TBackTrace::Capacity);
    FormatBackTrace(out, addresses, count);
}

void PrintBackTrace() {
    FormatBackTrace(StdErrStream());
}

void TBackTrace::Capture() noexcept {
    Size_ = BackTrace(Data_, Capacity);
}

void TBackTrace::PrintTo(TOutputStream& out) const {
    FormatBackTrace(out, Data_, Size_);
}

Stroka TBackTrace::PrintAsString() const {
    Stroka result;
    TStringOutput out(result);
    PrintTo(out);
    return result;
}
