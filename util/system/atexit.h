// The at-exit registry: process-wide objects are destroyed in an order the library controls.
//
// AtExit registers a callback with a priority; one handler registered with libc's atexit runs
// them all when the process exits, highest priority first and, within one priority, the most
// recently registered first. A callback without a priority gets the largest one and runs before
// all prioritised callbacks. An exception escaping a callback is swallowed and the run goes on.
//
// Thread-safe: registration and the run are serialised by a recursive lock, so a callback may
// register further callbacks (they run in their place in the order); registering from another
// thread once the run has begun is not supported. The first 50 registrations take no memory
// from the heap. Registration raises std::bad_alloc when memory runs out; nothing is then
// registered.
#pragma once

#include <cstdint>

using TAtExitFunc = void (*)(void* context);
using TTraditionalAtExitFunc = void (*)();

void AtExit(TAtExitFunc func, void* context, uint64_t priority);
void AtExit(TAtExitFunc func, void* context);
void AtExit(TTraditionalAtExitFunc func, uint64_t priority);
void AtExit(TTraditionalAtExitFunc func);

// The handler given to libc's atexit. Runs every registered callback and then drops the
// registry, so that a later registration starts a new one (and registers this handler again).
void RunAtExitCallbacks() noexcept;
