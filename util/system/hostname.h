// The machine's host name, read once per process.
#pragma once

// The host name, valid until the process exits; two calls return the same pointer. Raises
// TSystemError "can not get host name" when the system cannot tell (a later call tries again).
const char* GetHostName();
