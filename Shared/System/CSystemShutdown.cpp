#include "CSystemShutdown.h"

#include "VLHandle.h"
#include "VLLog.h"

namespace {

using OpenProcessTokenFn = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
using LookupPrivilegeValueFn = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, PLUID);
using AdjustTokenPrivilegesFn = BOOL(WINAPI*)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD);

// Enables the shutdown privilege for its lifetime. The advapi functions are
// looked up at run time; any that is missing makes its step do nothing.
class ShutdownPrivilege {
public:
    ShutdownPrivilege()
    {
        m_advapi.Reset(::LoadLibraryW(L"Advapi32.dll"));
        if (!m_advapi)
            return;
        auto openToken = reinterpret_cast<OpenProcessTokenFn>(::GetProcAddress(m_advapi.Get(), "OpenProcessToken"));
        auto lookup = reinterpret_cast<LookupPrivilegeValueFn>(::GetProcAddress(m_advapi.Get(), "LookupPrivilegeValueW"));
        m_adjust = reinterpret_cast<AdjustTokenPrivilegesFn>(::GetProcAddress(m_advapi.Get(), "AdjustTokenPrivileges"));
        if (!openToken || !lookup || !m_adjust)
            return;
        if (!openToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, m_token.Put()))
            return;
        TOKEN_PRIVILEGES wanted{};
        wanted.PrivilegeCount = 1;
        wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (!lookup(nullptr, SE_SHUTDOWN_NAME, &wanted.Privileges[0].Luid))
            return;
        DWORD size = sizeof m_previous;
        m_adjusted = m_adjust(m_token.Get(), FALSE, &wanted, sizeof m_previous, &m_previous, &size) != FALSE;
        VLLog::WriteFormat(L"CSystemShutdown::Shutdown", L"enable %s: %s (error %d)", SE_SHUTDOWN_NAME,
                           m_adjusted ? L"ok" : L"failed", static_cast<int>(::GetLastError()));
    }

    // Puts the privilege back the way it was, rather than disabling every
    // privilege of the token: the process may go on running when Windows
    // refuses to restart, and it still needs the privileges it started with.
    ~ShutdownPrivilege()
    {
        if (m_adjusted)
            m_adjust(m_token.Get(), FALSE, &m_previous, 0, nullptr, nullptr);
    }

    ShutdownPrivilege(const ShutdownPrivilege&) = delete;
    ShutdownPrivilege& operator=(const ShutdownPrivilege&) = delete;

private:
    // Declared first so that the token is closed before the library is freed.
    VLUniqueModule m_advapi;
    VLUniqueHandleObj m_token;
    AdjustTokenPrivilegesFn m_adjust = nullptr;
    TOKEN_PRIVILEGES m_previous{};
    bool m_adjusted = false;
};

}  // namespace

bool CSystemShutdown::Shutdown(bool restart)
{
    VLLogScope scope(L"CSystemShutdown::Shutdown");
    scope.WriteFormat(L"mode: %s", restart ? L"Restart" : L"Shutdown");
    bool ok;
    {
        ShutdownPrivilege privilege;
        ok = CallExitWindows(restart ? kRestartFlags : kPowerOffFlags);
        if (!ok)
            scope.WriteFormat(L"ExitWindowsEx failed (error %d)", static_cast<int>(::GetLastError()));
    }
    scope.SetResult(ok ? 1 : 0);
    return ok;
}

bool CSystemShutdown::Suspend(bool hibernate)
{
    VLUniqueModule powrprof(::LoadLibraryW(L"PowrProf.dll"));
    if (!powrprof)
        return false;
    auto fn = reinterpret_cast<SetSuspendStateFn>(::GetProcAddress(powrprof.Get(), "SetSuspendState"));
    if (!fn)
        return false;
    return CallSetSuspendState(fn, hibernate);
}

bool CSystemShutdown::CallExitWindows(UINT flags)
{
    return ::ExitWindowsEx(flags, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION |
                                      SHTDN_REASON_FLAG_PLANNED) != FALSE;
}

bool CSystemShutdown::CallSetSuspendState(SetSuspendStateFn setSuspendState, bool hibernate)
{
    return setSuspendState(hibernate ? TRUE : FALSE, FALSE, FALSE) != FALSE;
}
