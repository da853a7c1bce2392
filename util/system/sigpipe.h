// Ignoring SIGPIPE from start-up.
//
// A write to a closed pipe or socket must fail with EPIPE, which the stream layer reports as an
// exception, instead of ending the process. Every unit that includes this header asks for the
// guard during static initialisation (the lazily built singletons' header includes it), so the
// signal is ignored before main runs. The disposition is never restored.
#pragma once

// Setting the disposition is its only effect; the object exists so that the setting is made
// once per process through a lazily built singleton.
class TSigPipeGuard {
public:
    TSigPipeGuard() noexcept;
};

// The process-wide guard, built on first use.
TSigPipeGuard* SigPipeGuard();

// Builds the guard unless an earlier call did; later calls change nothing.
void ForceSigPipeGuard();

namespace NPrivate {
inline const bool SigPipeGuardForced = (ForceSigPipeGuard(), true);
}
