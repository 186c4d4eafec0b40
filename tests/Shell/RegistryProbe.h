#pragma once
// Test helpers: read a registry value exactly as stored (type and every byte,
// so a missing or doubled terminator shows), and lay out art folders.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "CArtFileLookup.h"
#include "VLString.h"

struct ProbeValue {
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;

    static ProbeValue Missing() { return ProbeValue{}; }
    // REG_SZ holding the text and exactly one terminating zero.
    static ProbeValue Text(const std::wstring& text)
    {
        ProbeValue v;
        v.present = true;
        v.type = REG_SZ;
        const BYTE* p = reinterpret_cast<const BYTE*>(text.c_str());
        v.bytes.assign(p, p + (text.size() + 1) * sizeof(wchar_t));
        return v;
    }
    static ProbeValue Number(DWORD number)
    {
        ProbeValue v;
        v.present = true;
        v.type = REG_DWORD;
        const BYTE* p = reinterpret_cast<const BYTE*>(&number);
        v.bytes.assign(p, p + sizeof number);
        return v;
    }
    friend bool operator==(const ProbeValue& a, const ProbeValue& b)
    {
        return a.present == b.present && (!a.present || (a.type == b.type && a.bytes == b.bytes));
    }
    friend void PrintTo(const ProbeValue& v, std::ostream* os)
    {
        if (!v.present) {
            *os << "(missing)";
            return;
        }
        if (v.type == REG_SZ) {
            std::wstring w(reinterpret_cast<const wchar_t*>(v.bytes.data()), v.bytes.size() / sizeof(wchar_t));
            *os << "REG_SZ \"" << VLString(w.c_str(), static_cast<int>(w.size())).ToUtf8() << "\" (" << v.bytes.size()
                << " bytes)";
        }
        else if (v.type == REG_DWORD && v.bytes.size() == 4) {
            *os << "REG_DWORD " << *reinterpret_cast<const DWORD*>(v.bytes.data());
        }
        else {
            *os << "type " << v.type << " (" << v.bytes.size() << " bytes)";
        }
    }
};

inline ProbeValue ReadProbe(HKEY root, const wchar_t* key, const wchar_t* name, REGSAM view = 0)
{
    ProbeValue v;
    HKEY h = nullptr;
    if (RegOpenKeyExW(root, key, 0, KEY_READ | view, &h) != ERROR_SUCCESS)
        return v;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(h, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        v.bytes.resize(size);
        if (RegQueryValueExW(h, name, nullptr, &type, v.bytes.data(), &size) == ERROR_SUCCESS) {
            v.present = true;
            v.type = type;
            v.bytes.resize(size);
        }
    }
    RegCloseKey(h);
    return v;
}

inline bool KeyExists(HKEY root, const wchar_t* key, REGSAM view = 0)
{
    HKEY h = nullptr;
    if (RegOpenKeyExW(root, key, 0, KEY_READ | view, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

// Number of values in a key; -1 when the key is missing.
inline int CountValues(HKEY root, const wchar_t* key, REGSAM view = 0)
{
    HKEY h = nullptr;
    if (RegOpenKeyExW(root, key, 0, KEY_READ | view, &h) != ERROR_SUCCESS)
        return -1;
    DWORD count = 0;
    RegQueryInfoKeyW(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(h);
    return static_cast<int>(count);
}

inline void DeleteInBothViews(HKEY root, const wchar_t* key)
{
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        std::wstring path(key);
        size_t slash = path.rfind(L'\\');
        HKEY parent = nullptr;
        if (RegOpenKeyExW(root, path.substr(0, slash).c_str(), 0, KEY_ALL_ACCESS | view, &parent) == ERROR_SUCCESS) {
            RegDeleteTreeW(parent, path.substr(slash + 1).c_str());
            RegCloseKey(parent);
        }
    }
}

inline std::string Describe(HKEY root, const wchar_t* key, const wchar_t* name)
{
    std::string r = root == HKEY_CLASSES_ROOT ? "HKCR\\" : root == HKEY_CURRENT_USER ? "HKCU\\" : "HKLM\\";
    r += VLString(key).ToUtf8();
    r += " : ";
    r += name ? VLString(name).ToUtf8() : std::string("(default)");
    return r;
}

// A scratch tree under the temporary folder:
//   Program\Data\Custom Art\both.ico
//   Program\Data\Custom Art\folder.ico\      (a folder, not a file)
//   Program\Data\Default Art\both.ico, fileimage.ico
//   Package\Quenbox\Data\Default Art\fileimage.ico, package.ico
class ArtFixture {
public:
    ArtFixture()
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_root = VLString(temp) + VLString::Format(L"VLArtTest%d\\", static_cast<int>(GetCurrentProcessId()));
        const wchar_t* folders[] = {L"", L"Program\\", L"Program\\Data\\", L"Program\\Data\\Custom Art\\",
                                    L"Program\\Data\\Custom Art\\folder.ico\\", L"Program\\Data\\Default Art\\",
                                    L"Package\\", L"Package\\Quenbox\\", L"Package\\Quenbox\\Data\\",
                                    L"Package\\Quenbox\\Data\\Default Art\\"};
        for (const wchar_t* f : folders)
            CreateDirectoryW(m_root + f, nullptr);
        const wchar_t* files[] = {L"Program\\Data\\Custom Art\\both.ico", L"Program\\Data\\Default Art\\both.ico",
                                  L"Program\\Data\\Default Art\\fileimage.ico",
                                  L"Package\\Quenbox\\Data\\Default Art\\fileimage.ico",
                                  L"Package\\Quenbox\\Data\\Default Art\\package.ico"};
        for (const wchar_t* f : files) {
            HANDLE h = CreateFileW(m_root + f, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            CloseHandle(h);
        }
    }
    ~ArtFixture()
    {
        SHFILEOPSTRUCTW op{};
        std::wstring from(m_root.GetString());
        from.back() = L'\0';  // no trailing backslash, then the double terminator
        from.push_back(L'\0');
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NO_UI;
        SHFileOperationW(&op);
    }
    ArtFixture(const ArtFixture&) = delete;
    ArtFixture& operator=(const ArtFixture&) = delete;

    VLString Folder(const wchar_t* relative) const { return m_root + relative; }
    CArtFileLookup Lookup() const { return CArtFileLookup::ForProduct(Folder(L"Program"), Folder(L"Package")); }

private:
    VLString m_root;
};
