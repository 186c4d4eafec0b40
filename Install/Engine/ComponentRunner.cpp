#include "ComponentRunner.h"

#include "EnginePaths.h"
#include "VLHandle.h"

#include <windows.h>

namespace {

// Restores the current folder when it goes out of scope.
class CCurrentFolderGuard {
public:
    CCurrentFolderGuard()
    {
        wchar_t* buffer = m_saved.GetBuffer(2080, true, false);
        DWORD length = ::GetCurrentDirectoryW(2080, buffer);
        m_saved.ReleaseBuffer(length < 2080 ? static_cast<int>(length) : 0);
    }
    ~CCurrentFolderGuard()
    {
        if (!m_saved.IsEmpty())
            ::SetCurrentDirectoryW(m_saved);
    }
    CCurrentFolderGuard(const CCurrentFolderGuard&) = delete;
    CCurrentFolderGuard& operator=(const CCurrentFolderGuard&) = delete;

private:
    VLString m_saved;
};

// Starts command line hidden and waits; timeoutMs <= 0 waits without limit.
// A program still running at the timeout is left alone.
bool StartAndWait(const VLString& commandLine, int timeoutMs)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    VLString mutableLine = commandLine;
    wchar_t* line = mutableLine.GetBuffer(mutableLine.GetLength());
    BOOL started = ::CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    mutableLine.ReleaseBuffer();
    if (!started)
        return false;
    VLUniqueHandleObj process(info.hProcess);
    VLUniqueHandleObj thread(info.hThread);
    DWORD wait = ::WaitForSingleObject(process.Get(), timeoutMs > 0 ? static_cast<DWORD>(timeoutMs) : INFINITE);
    return wait == WAIT_OBJECT_0;
}

}  // namespace

bool CWin32ComponentRunner::RegisterInProcess(const VLString& path)
{
    // Modules the server depends on are found beside it.
    CCurrentFolderGuard folderGuard;
    VLString folder = EngineFolderOf(path);
    if (!folder.IsEmpty())
        ::SetCurrentDirectoryW(folder);
    VLUniqueModule module(::LoadLibraryExW(EngineWin32Path(path), nullptr, 0));
    if (!module.IsValid())
        return false;
    using RegisterFn = HRESULT(STDAPICALLTYPE*)();
    auto registerServer = reinterpret_cast<RegisterFn>(::GetProcAddress(module.Get(), "DllRegisterServer"));
    if (!registerServer)
        return false;
    return SUCCEEDED(registerServer());
}

bool CWin32ComponentRunner::RegisterWithRegSvr32x64(const VLString& path)
{
    wchar_t windows[MAX_PATH] = {};
    UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    VLString program = EngineWithBackslash(windows) + L"system32\\RegSvr32.exe";
    // A 64-bit build reaches the native RegSvr32 directly; a 32-bit build under
    // WOW64 switches the redirection off around the call.
    using EnableFn = BOOLEAN(WINAPI*)(BOOLEAN);
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    auto enableRedirection = reinterpret_cast<EnableFn>(::GetProcAddress(kernel, "Wow64EnableWow64FsRedirection"));
    bool switchOff = enableRedirection && sizeof(void*) == 4 && VLIsWindows64Bit();
    if (switchOff)
        enableRedirection(FALSE);
    StartAndWait(VLString::Format(L"\"%s\" /s \"%s\"", program, path), 0);
    if (switchOff)
        enableRedirection(TRUE);
    return true;  // RegSvr32's exit code is not examined
}

bool CWin32ComponentRunner::RunAndWait(const VLString& program, const VLString& argument, int timeoutMs)
{
    return StartAndWait(VLString::Format(L"\"%s\" %s", program, argument), timeoutMs);
}
