#include "FilePlacer.h"

#include "VLFolders.h"
#include "VLPath.h"
#include "VLSystemInfo.h"

#include <windows.h>

VLStringArray VLSystemPassFolders()
{
    VLStringArray folders;
    VLString system = VLFolders::GetSystemFolder();
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    bool hasRedirection = ::GetProcAddress(kernel, "Wow64EnableWow64FsRedirection") != nullptr;
    if (!VLIsWindows64()) {
        folders.Add(system);
        if (hasRedirection)
            folders.Add(system);
        return folders;
    }
    if (sizeof(void*) == 8) {
        // A 64-bit program sees the native folder; the 32-bit one by name.
        folders.Add(system);
        wchar_t buffer[MAX_PATH] = {};
        UINT length = ::GetSystemWow64DirectoryW(buffer, MAX_PATH);
        folders.Add(length && length < MAX_PATH ? VLPath::AddTrailingBackslash(buffer) : VLString());
    } else {
        // A 32-bit program under WOW64 reaches the native folder through
        // "Sysnative" and its own through the redirected system folder, so
        // the redirection never has to be switched off.
        folders.Add(VLFolders::GetWindowsFolder() + L"Sysnative\\");
        folders.Add(system);
    }
    return folders;
}

void CFilePlacer::InstallSystemFiles(IEngineProgress* progress, const VLStringArray& systemFolders,
                                     const VLString& fontsFolder, VLStringArray* registrationList)
{
    if (m_context.Portable)
        return;
    IEngineHost* host = m_context.Host;
    auto showError = [host](const wchar_t* text) {
        if (!host)
            return;
        VLStringArray ok;
        ok.Add(host->Translate(L"OK"));
        host->MessageBox(host->Translate(L"Error"), host->Translate(text), ok);
    };
    for (int pass = 0; pass < systemFolders.GetCount(); ++pass) {
        const VLString& system = systemFolders[pass];
        if (system.IsEmpty()) {
            showError(L"The install wizard can not obtain the Windows system path. System files will not be installed.");
            continue;
        }
        CopyFolder(kModeCheckVersion, progress, system, m_context.InstallerFolder + L"System\\Check Version\\",
                   registrationList);
        CopyFolder(kModeAlwaysOverwrite, progress, system, m_context.InstallerFolder + L"System\\Always Overwrite\\",
                   registrationList);
        if (fontsFolder.IsEmpty()) {
            showError(L"The install wizard can not obtain the system font path. Custom fonts will not be installed.");
            continue;
        }
        CopyFolder(kModeFont, progress, fontsFolder, m_context.InstallerFolder + L"Fonts\\", registrationList);
    }
}
