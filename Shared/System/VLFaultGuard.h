#pragma once
// Calls code of a foreign module so that a fault inside it (an access
// violation or any other structured exception it does not handle itself)
// ends only the call, not the installer.
//
// The call runs on a thread of its own with COM initialised (single-threaded
// apartment, as a host program would give it). While it runs, a top-level
// exception filter watches for an unhandled exception on that thread and
// steers the thread into ExitThread; the faulting stack is abandoned, never
// unwound. The calling thread keeps serving sent messages while it waits.
// One contained call runs at a time.

#include <windows.h>

// True when function returned normally. False when it faulted (or the thread
// could not be started); exceptionCode then receives the exception code (0
// when the thread did not start).
bool VLRunContained(void (*function)(void* context), void* context, DWORD* exceptionCode = nullptr);
