#include "EngineContext.h"

bool VLIsWindows64Bit()
{
    if (sizeof(void*) == 8)
        return true;
    using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64 = reinterpret_cast<IsWow64Fn>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "IsWow64Process"));
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
}
