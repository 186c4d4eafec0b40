#include "WizardTestPackage.h"

#include <cstdlib>
#include <vector>

namespace wizardtest {

const wchar_t kSettingsKey[] = L"Software\\Velmora Labs\\VLWizardTest";
const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

namespace {

const char kProductDocument[] =
    "Name0=Auralis\r\nName1=Auralis 22\r\nName2=Auralis\r\nName3=Auralis 22\r\nName5=Velmora Auralis 22\r\n"
    "Version=22.0.1.1805\r\nWebAddress=https://www.velmora.example/\r\nMainProgram=Auralis.exe\r\n"
    "LauncherName=Auralis Launcher.exe\r\nLauncherPath=Auralis Launcher.exe\r\nStartMenuFolder=Auralis 22\r\n"
    "FileExtension=qbx\r\nMimeTypes=audio/x-qbx\r\nProtocols=qbx\r\n"
    "SettingsKey=Software\\Velmora Labs\\VLWizardTest\r\n";

std::wstring SectionKey(const wchar_t* section)
{
    std::wstring key = kSettingsKey;
    if (section && *section)
        key += std::wstring(L"\\") + section;
    return key;
}

}  // namespace

std::wstring BuildPath(const wchar_t* relative)
{
    const char* build = std::getenv("VL_BUILD_DIR");
    std::wstring path = L"Z:";
    for (const char* p = build ? build : ""; *p; ++p)
        path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    return path + L"\\" + relative;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

void DeleteTree(const std::wstring& folder)
{
    std::wstring pattern = folder + L"*";
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW(pattern.c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(folder + name + L"\\");
            else
                ::DeleteFileW((folder + name).c_str());
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(folder.c_str());
}

bool MakePackage(const std::wstring& folder, const char* features, const char* productExtra)
{
    DeleteTree(folder);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CreateDirectoryW((folder + L"Quenbox").c_str(), nullptr);
    if (!::CopyFileW(BuildPath(L"ProductModules\\NuvicoreTools.dll").c_str(),
                     (folder + L"Quenbox\\NuvicoreTools.dll").c_str(), FALSE))
        return false;
    std::string xml = std::string("<?xml version=\"1.0\"?>\n<VLIC version=\"1.0\">\n<Product><Features>") + features +
                      "</Features>" + productExtra + "</Product>\n</VLIC>\n";
    return WriteBytes(folder + L"Quenbox\\Product.ini", kProductDocument) &&
           WriteBytes(folder + L"Install.xml", xml) &&
           WriteBytes(folder + L"license.txt",
                      "\xEF\xBB\xBF" "AURALIS 22 LICENCE\nRead me \xC3\xBC" "ber alles.\nLast line.");
}

void CleanRegistry()
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey);
    HKEY uninstall = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_ALL_ACCESS, &uninstall) != ERROR_SUCCESS)
        return;
    std::vector<std::wstring> doomed;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (::RegEnumKeyExW(uninstall, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (_wcsnicmp(name, L"Auralis", 7) == 0)
            doomed.push_back(name);
    }
    for (const std::wstring& key : doomed)
        ::RegDeleteTreeW(uninstall, key.c_str());
    ::RegCloseKey(uninstall);
}

void AddUninstallRecord(const wchar_t* name, const wchar_t* publisher, const wchar_t* location)
{
    HKEY key = nullptr;
    std::wstring path = std::wstring(kUninstallKey) + L"\\" + name;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key, L"Publisher", 0, REG_SZ, reinterpret_cast<const BYTE*>(publisher),
                     static_cast<DWORD>((wcslen(publisher) + 1) * sizeof(wchar_t)));
    if (location)
        ::RegSetValueExW(key, L"InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(location),
                         static_cast<DWORD>((wcslen(location) + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

void SetSetting(HKEY root, const wchar_t* section, const wchar_t* name, DWORD value)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(root, SectionKey(section).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    ::RegCloseKey(key);
}

void SetSetting(HKEY root, const wchar_t* section, const wchar_t* name, const wchar_t* value)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(root, SectionKey(section).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                     static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

DWORD GetSetting(HKEY root, const wchar_t* section, const wchar_t* name, DWORD fallback)
{
    DWORD value = 0, size = sizeof value, type = 0;
    if (::RegGetValueW(root, SectionKey(section).c_str(), name, RRF_RT_REG_DWORD, &type, &value, &size) !=
        ERROR_SUCCESS)
        return fallback;
    return value;
}

}  // namespace wizardtest
