// A registrable module for tests. DllRegisterServer and DllUnregisterServer
// record their call (with the current folder) in the stand-in journal and
// return the HRESULT named by the environment variable
// VL_STANDIN_REGISTER_RESULT (S_OK when it is not set).
// Built three ways: the working server, one that faults inside
// DllRegisterServer (STANDIN_FAULT), and one without the entries (STANDIN_NO_ENTRY).

#include "StandinJournal.h"

#include <windows.h>

#include <cwchar>

namespace {

HMODULE g_self = nullptr;

#ifndef STANDIN_NO_ENTRY
HRESULT ResultFromEnvironment()
{
    wchar_t value[64];
    DWORD length = ::GetEnvironmentVariableW(L"VL_STANDIN_REGISTER_RESULT", value, 64);
    if (length == 0 || length >= 64)
        return S_OK;
    return static_cast<HRESULT>(wcstoul(value, nullptr, 0));
}
#endif

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_self = instance;
    return TRUE;
}

#ifdef STANDIN_NO_ENTRY
extern "C" int StandinNothing()
{
    return 0;
}
#else
extern "C" HRESULT __stdcall DllRegisterServer()
{
    StandinJournalAppend(g_self, L"DllRegisterServer");
#ifdef STANDIN_FAULT
    volatile int* volatile nowhere = nullptr;  // volatile both ways, or the compiler drops the store
    *nowhere = 42;
#endif
    return ResultFromEnvironment();
}

extern "C" HRESULT __stdcall DllUnregisterServer()
{
    StandinJournalAppend(g_self, L"DllUnregisterServer");
    return ResultFromEnvironment();
}
#endif
