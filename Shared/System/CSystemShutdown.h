#pragma once
// Restarts, shuts down or suspends Windows at the end of an install.
//
// The final calls (ExitWindowsEx, SetSuspendState) go through two virtual
// functions, so that a test can derive from the class and check what would
// be called - with the shutdown privilege really enabled on the process
// token - without ending its own session.

#include <windows.h>

class CSystemShutdown {
public:
    using SetSuspendStateFn = BOOLEAN(WINAPI*)(BOOLEAN hibernate, BOOLEAN force, BOOLEAN disableWakeEvents);

    CSystemShutdown() = default;
    virtual ~CSystemShutdown() = default;
    CSystemShutdown(const CSystemShutdown&) = delete;
    CSystemShutdown& operator=(const CSystemShutdown&) = delete;

    // Enables "SeShutdownPrivilege" on the process token, asks Windows to
    // restart (EWX_REBOOT | EWX_FORCEIFHUNG) or to shut down and power off
    // (EWX_SHUTDOWN | EWX_POWEROFF | EWX_FORCEIFHUNG), then disables the
    // token's privileges again. Returns the result of the request; the
    // privilege steps are best effort (missing functions are skipped).
    bool Shutdown(bool restart);

    // Suspends (or hibernates) through "SetSuspendState" of "PowrProf.dll";
    // false when the function is missing or refuses.
    bool Suspend(bool hibernate);

    static constexpr UINT kRestartFlags = EWX_REBOOT | EWX_FORCEIFHUNG;                   // 0x12
    static constexpr UINT kPowerOffFlags = EWX_SHUTDOWN | EWX_POWEROFF | EWX_FORCEIFHUNG;  // 0x19

protected:
    // The one place that ends the session.
    virtual bool CallExitWindows(UINT flags);
    // The one place that suspends; `setSuspendState` is the looked-up function.
    virtual bool CallSetSuspendState(SetSuspendStateFn setSuspendState, bool hibernate);
};
