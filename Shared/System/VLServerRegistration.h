#pragma once
// Registration of COM servers and filters: through RegSvr32, in this process
// through the module's "DllRegisterServer", or through the product's own
// "PackageInstaller.exe". None of them throws.

#include "VLString.h"

// "/s [/u] "path"" through the Windows folder's system32\RegSvr32.exe,
// hidden, waiting. With is64Bit in a 32-bit installer on 64-bit Windows, file
// system redirection is switched off around the start so that the native
// RegSvr32 runs. True when RegSvr32 ran and reported success (exit code 0).
bool RegisterServerByRegSvr32(const VLString& path, bool doRegister, bool is64Bit);

// Loads the module with the current folder set to the module's folder (so
// the modules it needs are found beside it), calls its "DllRegisterServer"
// with faults contained, and restores the current folder. True when the
// entry returned a non-negative HRESULT. A module that faulted is left
// loaded: its unload code is not run after a crash.
bool RegisterServerInProcess(const VLString& path);

// Runs the installed product's "PackageInstaller.exe" with "/RegDLL <path>"
// or "/UnRegDLL <path>" and waits for it; the RunProgram result.
bool RegisterByPackageInstaller(const VLString& path, bool doRegister);

// True when the path contains ".dll", ".ocx" or ".ax" anywhere (case-sensitive).
bool IsRegistrableFile(const VLString& path);
