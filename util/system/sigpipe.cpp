// The SIGPIPE guard singleton.
#include "util/system/sigpipe.h"

#include "util/system/singleton.h"

#include <atomic>
#include <csignal>

namespace {
// The first call's result; later calls see it set and do nothing.
std::atomic<TSigPipeGuard*> Forced{nullptr};
}  // namespace

TSigPipeGuard::TSigPipeGuard() noexcept {
    std::signal(SIGPIPE, SIG_IGN);
}

TSigPipeGuard* SigPipeGuard() {
    return Singleton<TSigPipeGuard>();
}

void ForceSigPipeGuard() {
    if (Forced.load(std::memory_order_acquire) == nullptr) {
        Forced.store(SigPipeGuard(), std::memory_order_release);
    }
}
