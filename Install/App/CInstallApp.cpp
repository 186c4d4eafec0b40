#include "CInstallApp.h"

#include "InstallCommandLine.h"
#include "InstallConfiguration.h"
#include "InstallOptions.h"
#include "InstallerFolder.h"
#include "VLProcessRecord.h"
#include "VLStringGlobals.h"
#include "VLToolsHost.h"

CInstallApp::CInstallApp() = default;

CInstallApp::~CInstallApp()
{
    m_mutexHolder.reset();  // closes the single-instance mutex before the base undoes OLE
}

bool CInstallApp::SkipKeysHeld()
{
    return (::GetKeyState(VK_CONTROL) & 0x8000) && (::GetKeyState(VK_SHIFT) & 0x8000) &&
           (::GetKeyState('F') & 0x8000);
}

bool CInstallApp::Exit(int step, int exitCode)
{
    m_lastStep = step;
    m_exitCode = exitCode;
    return false;
}

void CInstallApp::CleanVirtualStore(VLUniqueKey& machine, VLUniqueKey& wow)
{
    // Left by old versions that ran without elevation; RegDeleteKeyW removes
    // the key only when it has no sub-keys, and its result does not matter.
    const REGSAM access = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Classes\\VirtualStore\\Machine\\Software", 0, access,
                        machine.Put()) == ERROR_SUCCESS)
        ::RegDeleteKeyW(machine.Get(), L"Velmora Labs");
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Classes\\VirtualStore\\Machine\\Software\\Wow6432Node", 0,
                        access, wow.Put()) == ERROR_SUCCESS)
        ::RegDeleteKeyW(wow.Get(), L"Velmora Labs");
}

void CInstallApp::ShowCriticalError(const VLString& error) const
{
    // Shown by Windows itself: the module that would translate it is the one that failed.
    wchar_t program[MAX_PATH * 4];
    DWORD length = ::GetModuleFileNameW(nullptr, program, static_cast<DWORD>(std::size(program)));
    VLString text = VLString::Format(
        L"The following module has failed to load:\r\n%s\r\n\r\nIt has reported the following error:\r\n\r\n%s"
        L"\r\n\r\nPlease reinstall the latest version of the program.",
        VLString(program, static_cast<int>(length < std::size(program) ? length : 0)), error);
    ::MessageBoxW(nullptr, text, L"Critical Error", MB_OK | MB_ICONERROR);
}

void CInstallApp::RenameLauncher() const
{
    const VLString folder = GetInstallerFolder() + L"System\\Always Overwrite\\";
    const VLString launcher = VLToolsHost::Get().GetLauncherName();
    if (launcher.IsEmpty())
        return;
    // Fails harmlessly when an earlier run already moved it.
    ::MoveFileW(folder + L"Nuvicore Launcher.exe", folder + launcher);
}

bool CInstallApp::Initialize()
{
    m_lastStep = 0;
    m_checksSkipped = false;
    m_exitCode = kExitInstalled;

    // 1-2
    InitializeOle();
    VLStringRebuildCharacterTables();

    // 3: nothing is decided yet; step 12 reads the error.
    m_mutexHolder = std::make_unique<MutexHolder>();
    m_mutexHolder->mutex.Reset(::CreateMutexW(nullptr, FALSE, kMutexName));
    m_mutexHolder->createError = ::GetLastError();

    // 4: both keys stay open until Initialize returns.
    VLUniqueKey virtualStore, virtualStoreWow;
    CleanVirtualStore(virtualStore, virtualStoreWow);

    // 5
    const VLString moduleFolder = GetInstallerFolder() + L"Quenbox\\";
    VLProcessRecord& record = VLProcessRecord::Get();
    record.SetInstallerFlag(true);
    record.SetModuleFolder(moduleFolder);
    record.SetProgramFolder(moduleFolder);

    // 6
    if (!LoadProductModules()) {
        ShowCriticalError(GetModuleLoadError());
        return Exit(6, kExitFatalError);
    }
    VLToolsHost& tools = VLToolsHost::Get();

    // 7: the installed product's folder, or empty.
    record.Lookup(tools.GetProductName(3), false, true);

    // 8: folder tests go through the tools module, as every package reader does.
    InstallOptionsData& options = InstallOptions();
    LoadInstallConfiguration(GetInstallerFolder(),
                             {options.SupportFolders, options.LibraryFolder, options.MediaFolder, options.AllowDowngrade},
                             [&tools](const VLString& folder) { return tools.FolderExists(folder); });

    // 9
    ParseSwitches(JoinCommandLine(m_arguments));

    // 10
    if (m_hooks.applySkin && tools.Tools()->GetSkinService() != nullptr)
        m_hooks.applySkin();

    // 11: the answer is not looked at.
    if (tools.GetValueInt(L"/*/Installer/ShowLanguageSelection", 0) != 0)
        tools.ShowLanguageSelection(nullptr);

    // 12
    if (m_mutexHolder->createError == ERROR_ALREADY_EXISTS || m_mutexHolder->createError == ERROR_ACCESS_DENIED) {
        tools.ShowBox(nullptr, L"Velmora Installer",
                      tools.Translate(L"Another instance of the Velmora installer is already running on this system.\r\n\r\n") +
                          tools.Translate(L"Please finish any other Velmora installations and try again."),
                      {L"OK"}, false);
        return Exit(12, kExitAnotherInstallRunning);
    }

    // 13
    if (SkipKeysHeld()) {
        m_checksSkipped = true;
    } else if (m_hooks.checkEnvironment) {
        switch (m_hooks.checkEnvironment()) {
        case InstallCheckResult::Passed:
            break;
        case InstallCheckResult::Declined:
            return Exit(13, kExitUserCancelled);
        case InstallCheckResult::Refused:
            return Exit(13, kExitFatalError);
        }
    }

    // 14
    RenameLauncher();

    // 15-16
    if (m_hooks.runWizard)
        m_exitCode = m_hooks.runWizard();

    // 17: the registry keys of step 4 close as this returns.
    m_lastStep = 17;
    return false;
}
