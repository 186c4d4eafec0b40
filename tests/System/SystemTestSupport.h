#pragma once
// Shared helpers of the platform-service tests: a scratch folder under the
// user's temporary folder, small file helpers and the stand-ins' folder.

#include "VLFileSystem.h"
#include "VLHandle.h"
#include "VLFolders.h"
#include "VLPath.h"
#include "VLString.h"

#include <windows.h>

#include <string>

// A fresh folder for one test, deleted with everything in it afterwards.
class ScratchFolder {
public:
    explicit ScratchFolder(const wchar_t* name)
    {
        m_path = VLFolders::GetTempFolder() + L"VLSystemTest\\" + name + L"-" +
                 VLString::FromInt(static_cast<int64_t>(::GetCurrentProcessId())) + L"\\";
        VLFileSystem::DeleteDirectoryTree(m_path);
        VLFileSystem::EnsureDirectory(m_path);
    }
    ~ScratchFolder() { VLFileSystem::DeleteDirectoryTree(m_path); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const VLString& Path() const { return m_path; }
    VLString operator/(const wchar_t* name) const { return m_path + name; }

private:
    VLString m_path;
};

inline bool WriteTextFile(const VLString& path, const std::string& text)
{
    HANDLE file = ::CreateFileW(VLPath::ToSystemPath(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == text.size();
}

// The file's bytes, or "<missing>".
inline std::string ReadTextFile(const VLString& path)
{
    HANDLE file = ::CreateFileW(VLPath::ToSystemPath(path), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        text.append(chunk, got);
    ::CloseHandle(file);
    return text;
}

// <build>/standins as a Windows path with a trailing backslash (Z: maps "/").
inline VLString StandinFolder()
{
    wchar_t buffer[2080];
    DWORD length = ::GetEnvironmentVariableW(L"VL_BUILD_DIR", buffer, 2080);
    std::wstring path = length > 0 && length < 2080 ? std::wstring(buffer, length) : std::wstring(L"/work/main/build");
    for (wchar_t& ch : path)
        if (ch == L'/')
            ch = L'\\';
    return VLString(L"Z:") + VLString(path.c_str()) + L"\\standins\\";
}

inline std::wstring Std(const VLString& text)
{
    return std::wstring(text.GetString(), static_cast<size_t>(text.GetLength()));
}
