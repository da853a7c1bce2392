// The running executable as a read-only memory-mapped file, for readers of data stored in the
// program itself.
#pragma once

class TMappedFile;

// Maps the executable (ResolveExecPath()) read-only and whole; the caller owns and deletes the
// result. The path is resolved again after mapping: when it changed meanwhile (the binary was
// replaced), the map is released and kexception "OpenExecFile(): something happened to the
// binary while we were opening it" is raised. Errors of opening and mapping pass through.
TMappedFile* OpenExecFile();
