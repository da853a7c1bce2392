// The absolute path of the running executable, found once per process.
//
// The kernel's answer (the /proc/self/exe link) is taken when it is a path. Otherwise it is
// kept only when a guess names the same file after real-path resolution: argument 0 of the
// process, the environment's "_", or the program name in "$PWD" or in the current directory.
// The guesses never become the answer themselves; they only confirm the kernel's.
#pragma once

#include "util/generic/string.h"

// The executable's path, resolved on first use and immutable afterwards. Thread-safe. Raises
// what ResolveExecPath raises; the next call then tries again.
const Stroka& GetExecPath();

// The full resolution, anew on every call. Raises kexception "can not resolve exec path" when
// no step succeeds, and the errors of real-path resolution and of reading the link.
Stroka ResolveExecPath();

// The same resolution with another source of the kernel's answer in place of ReadExecPath, so
// that the confirming guesses can be exercised.
Stroka ResolveExecPath(Stroka (*kernelAnswer)());

// The kernel's answer alone: the target of /proc/self/exe, read into ever larger buffers until
// it fits. Raises kexception "can't read link /proc/self/exe" when the link cannot be read.
Stroka ReadExecPath();

// Argument 0 of the process as the kernel keeps it (up to the first NUL of
// /proc/self/cmdline). Empty when there is no process file system; other failures raise
// kexception "FreeBSDGetArgv0() failed: " + the system's text.
Stroka GetArgv0();

// Confirms a guess in one directory: when `directory` + "/" + the program's short name exists,
// stores ReadExecPath() in `result` and tells whether both name the same file after real-path
// resolution; otherwise false with `result` untouched.
bool GuessExecPath(const Stroka& directory, Stroka& result);
