/* A small module for the engine tests. Built several times: with and without
   a version resource, and with a registration entry that leaves a mark. */
#include <windows.h>

#ifdef VL_WITH_REGISTER
__declspec(dllexport) HRESULT __stdcall DllRegisterServer(void)
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\VLEngineTest", 0, NULL, 0, KEY_WRITE, NULL, &key, NULL))
        return E_FAIL;
    wchar_t folder[MAX_PATH] = {0};
    DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
    RegSetValueExW(key, L"RegisteredFrom", 0, REG_SZ, (const BYTE*)folder, (length + 1) * sizeof(wchar_t));
    RegCloseKey(key);
    return S_OK;
}
#endif

__declspec(dllexport) int VLEngineTestModule(void)
{
    return 1;
}
