#include "VLFolders.h"

#include "VLHandle.h"
#include "VLPath.h"
#include "VLRegistryKey.h"

#include <windows.h>
#include <shlobj.h>

#include <mutex>
#include <vector>

namespace {

std::mutex g_installedFolderLock;
VLString g_installedFolder;

}  // namespace

VLString VLFolders::GetProgramFilesFolder()
{
    VLRegistryKey key;
    VLString folder;
    if (key.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KEY_READ) == ERROR_SUCCESS)
        folder = key.ReadString(L"ProgramFilesDir", L"");
    if (folder.IsEmpty())
        folder = L"C:\\Program Files\\";
    return VLPath::AddTrailingBackslash(folder);
}

VLString VLFolders::GetSystemFolder()
{
    std::vector<wchar_t> buffer(VLPath::kPathBufferSize);
    UINT length = ::GetSystemDirectoryW(buffer.data(), VLPath::kPathBufferSize);
    if (length == 0 || length >= static_cast<UINT>(VLPath::kPathBufferSize))
        return VLString();
    return VLPath::AddTrailingBackslash(VLString(buffer.data(), static_cast<int>(length)));
}

VLString VLFolders::GetWindowsFolder()
{
    std::vector<wchar_t> buffer(VLPath::kPathBufferSize);
    UINT length = ::GetWindowsDirectoryW(buffer.data(), VLPath::kPathBufferSize);
    if (length == 0 || length >= static_cast<UINT>(VLPath::kPathBufferSize))
        return VLString();
    return VLPath::AddTrailingBackslash(VLString(buffer.data(), static_cast<int>(length)));
}

VLString VLFolders::GetFontsFolder()
{
    VLString windows = GetWindowsFolder();
    if (windows.IsEmpty())
        return windows;
    return VLPath::AddTrailingBackslash(windows + L"Fonts");
}

VLString VLFolders::GetSpecialFolder(int csidl)
{
    PIDLIST_ABSOLUTE items = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &items)) || !items)
        return VLString();
    std::vector<wchar_t> buffer(VLPath::kPathBufferSize);
    BOOL ok = ::SHGetPathFromIDListW(items, buffer.data());
    ::CoTaskMemFree(items);
    if (!ok || buffer[0] == 0)
        return VLString();
    return VLPath::AddTrailingBackslash(VLString(buffer.data()));
}

VLString VLFolders::GetAppDataFolder()
{
    return GetSpecialFolder(CSIDL_APPDATA);
}

VLString VLFolders::GetCommonProgramsFolder()
{
    return GetSpecialFolder(CSIDL_COMMON_PROGRAMS);
}

VLString VLFolders::GetCommonDesktopFolder()
{
    return GetSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
}

VLString VLFolders::GetMusicFolder()
{
    VLString music = GetSpecialFolder(CSIDL_MYMUSIC);
    if (!music.IsEmpty())
        return music;
    VLString documents = GetSpecialFolder(CSIDL_PERSONAL);
    if (documents.IsEmpty())
        return documents;
    return VLPath::AddTrailingBackslash(documents + L"My Music");
}

VLString VLFolders::GetProgramFolder()
{
    std::vector<wchar_t> buffer(VLPath::kPathBufferSize);
    DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), VLPath::kPathBufferSize);
    if (length == 0 || length >= static_cast<DWORD>(VLPath::kPathBufferSize))
        return VLString();
    return VLPath::GetFolder(VLString(buffer.data(), static_cast<int>(length)));
}

VLString VLFolders::GetTempFolder()
{
    std::vector<wchar_t> buffer(VLPath::kPathBufferSize);
    DWORD length = ::GetTempPathW(VLPath::kPathBufferSize, buffer.data());
    if (length == 0 || length >= static_cast<DWORD>(VLPath::kPathBufferSize))
        return VLString();
    return VLPath::AddTrailingBackslash(VLString(buffer.data(), static_cast<int>(length)));
}

VLString VLFolders::GetInstalledProductFolder()
{
    {
        std::lock_guard<std::mutex> guard(g_installedFolderLock);
        if (!g_installedFolder.IsEmpty())
            return g_installedFolder;
    }
    return GetProgramFolder();
}

void VLFolders::SetInstalledProductFolder(const VLString& folder)
{
    VLString value = VLPath::AddTrailingBackslash(folder);
    std::lock_guard<std::mutex> guard(g_installedFolderLock);
    g_installedFolder = value;
}
