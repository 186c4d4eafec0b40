#include "VLServerRegistration.h"

#include "VLFaultGuard.h"
#include "VLFolders.h"
#include "VLLibrary.h"
#include "VLLog.h"
#include "VLPath.h"
#include "VLRunProgram.h"

#include <windows.h>

#include <vector>

namespace {

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
using Wow64DisableFn = BOOL(WINAPI*)(PVOID*);
using Wow64RevertFn = BOOL(WINAPI*)(PVOID);

template <class T>
T SystemFunction(const char* name)
{
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(kernel, name))) : nullptr;
}

bool RunningUnderWow64()
{
    auto isWow64 = SystemFunction<IsWow64ProcessFn>("IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
}

// Switches file system redirection off for this thread while it lives.
// Disable/Revert nest safely, unlike Wow64EnableWow64FsRedirection.
class RedirectionOff {
public:
    RedirectionOff()
    {
        auto disable = SystemFunction<Wow64DisableFn>("Wow64DisableWow64FsRedirection");
        m_revert = SystemFunction<Wow64RevertFn>("Wow64RevertWow64FsRedirection");
        m_active = disable && m_revert && disable(&m_state);
    }
    ~RedirectionOff()
    {
        if (m_active)
            m_revert(m_state);
    }
    RedirectionOff(const RedirectionOff&) = delete;
    RedirectionOff& operator=(const RedirectionOff&) = delete;

private:
    Wow64RevertFn m_revert = nullptr;
    PVOID m_state = nullptr;
    bool m_active = false;
};

struct RegisterCall {
    HRESULT(STDAPICALLTYPE* entry)() = nullptr;
    HRESULT result = E_FAIL;
};

void CallRegister(void* context)
{
    RegisterCall* call = static_cast<RegisterCall*>(context);
    call->result = call->entry();
}

// Restores the current folder when it goes out of scope.
class CurrentFolderKeeper {
public:
    CurrentFolderKeeper() : m_saved(VLPath::kPathBufferSize)
    {
        DWORD length = ::GetCurrentDirectoryW(VLPath::kPathBufferSize, m_saved.data());
        m_valid = length > 0 && length < static_cast<DWORD>(VLPath::kPathBufferSize);
    }
    ~CurrentFolderKeeper()
    {
        if (m_valid)
            ::SetCurrentDirectoryW(m_saved.data());
    }
    CurrentFolderKeeper(const CurrentFolderKeeper&) = delete;
    CurrentFolderKeeper& operator=(const CurrentFolderKeeper&) = delete;

private:
    std::vector<wchar_t> m_saved;
    bool m_valid = false;
};

}  // namespace

bool RegisterServerByRegSvr32(const VLString& path, bool doRegister, bool is64Bit)
{
    VLRunProgramOptions options;
    options.File = VLFolders::GetWindowsFolder() + L"system32\\RegSvr32.exe";
    options.Parameters.Add(L"/s");
    if (!doRegister)
        options.Parameters.Add(L"/u");
    options.Parameters.Add(L"\"" + path + L"\"");
    options.ShowWindow = false;
    options.Wait = true;
    options.PriorityClass = NORMAL_PRIORITY_CLASS;
    DWORD exitCode = 0;
    options.ExitCode = &exitCode;

    bool ran;
    if (is64Bit && RunningUnderWow64()) {
        RedirectionOff redirection;
        ran = RunProgram(options);
    } else {
        ran = RunProgram(options);
    }
    if (ran && exitCode != 0)
        VLLog::WriteFormat(L"RegisterServerByRegSvr32", L"RegSvr32 failed for %s (exit code %d)", path,
                           static_cast<int>(exitCode));
    return ran && exitCode == 0;
}

bool RegisterServerInProcess(const VLString& path)
{
    static const wchar_t kTag[] = L"RegisterServerInProcess";
    CurrentFolderKeeper keeper;
    VLString folder = VLPath::GetFolder(path);
    if (!folder.IsEmpty())
        ::SetCurrentDirectoryW(VLPath::ToSystemPath(folder));

    VLLibrary library;
    if (!library.Load(path)) {
        VLLog::WriteFormat(kTag, L"Cannot load %s (error %d)", path, static_cast<int>(::GetLastError()));
        return false;
    }
    RegisterCall call;
    call.entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(library.GetEntryPoint("DllRegisterServer")));
    if (!call.entry) {
        VLLog::WriteFormat(kTag, L"No DllRegisterServer in %s", path);
        return false;
    }
    DWORD exceptionCode = 0;
    if (!VLRunContained(CallRegister, &call, &exceptionCode)) {
        VLLog::WriteFormat(kTag, L"DllRegisterServer of %s faulted (exception 0x%08X)", path,
                           static_cast<unsigned>(exceptionCode));
        library.Detach();  // its unload code is not run after a crash
        return false;
    }
    if (FAILED(call.result))
        VLLog::WriteFormat(kTag, L"DllRegisterServer of %s failed (0x%08X)", path, static_cast<unsigned>(call.result));
    return SUCCEEDED(call.result);
}

bool RegisterByPackageInstaller(const VLString& path, bool doRegister)
{
    VLRunProgramOptions options;
    options.File = VLFolders::GetInstalledProductFolder() + L"PackageInstaller.exe";
    options.Parameters.Add((doRegister ? VLString(L"/RegDLL ") : VLString(L"/UnRegDLL ")) + path);
    options.Wait = true;
    options.PriorityClass = NORMAL_PRIORITY_CLASS;
    return RunProgram(options);
}

bool IsRegistrableFile(const VLString& path)
{
    return path.Find(L".dll") >= 0 || path.Find(L".ocx") >= 0 || path.Find(L".ax") >= 0;
}
