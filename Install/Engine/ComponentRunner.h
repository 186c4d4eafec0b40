#pragma once
// The component runner the program uses: registration in this process through
// DllRegisterServer, the native RegSvr32 for 64-bit servers, and a started
// program waited for.

#include "EngineContext.h"

class CWin32ComponentRunner : public IComponentRunner {
public:
    bool RegisterInProcess(const VLString& path) override;
    bool RegisterWithRegSvr32x64(const VLString& path) override;
    bool RunAndWait(const VLString& program, const VLString& argument, int timeoutMs) override;
};
