#include "EngineTestSupport.h"

#include "VLFileSystem.h"
#include "VLPath.h"
#include "VLHandle.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>

std::wstring Str(const VLString& s)
{
    return std::wstring(s.GetString(), s.GetLength());
}

namespace {

void DeleteTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    VLUniqueFind find(::FindFirstFileW((folder + L"*").c_str(), &data));
    if (find.IsValid()) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = folder + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(path + L"\\");
            } else {
                ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(find.Get(), &data));
    }
    find.Reset();
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

VLString ScratchFolder(const wchar_t* suffix)
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name)
        if (c == '/')
            c = '_';
    VLString folder = VLString(L"C:\\EngineTest\\") + VLString::FromUtf8(name.c_str()) + suffix + L"\\";
    DeleteTree(Str(folder));
    VLFileSystem::EnsureDirectory(folder);
    return folder;
}

VLString ModulesFolder()
{
    const char* build = std::getenv("VL_BUILD_DIR");
    std::string unix = build ? build : "";
    for (char& c : unix)
        if (c == '/')
            c = '\\';
    return VLString(L"Z:") + VLString::FromUtf8(unix.c_str()) + L"\\tests\\Engine\\modules\\";
}

void WriteTextFile(const VLString& path, const char* text)
{
    VLFileSystem::EnsureDirectory(VLPath::GetFolder(path));
    VLUniqueFile file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file.IsValid())
        ::WriteFile(file.Get(), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

std::string ReadTextFile(const VLString& path)
{
    VLUniqueFile file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return "<missing>";
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read)
        text.append(buffer, read);
    return text;
}

bool CopyModule(const wchar_t* module, const VLString& target)
{
    VLFileSystem::EnsureDirectory(VLPath::GetFolder(target));
    return ::CopyFileW(ModulesFolder() + module, target, FALSE) != FALSE;
}

uint64_t MakeVersion(int a, int b, int c, int d)
{
    return (static_cast<uint64_t>(a) << 48) | (static_cast<uint64_t>(b) << 32) | (static_cast<uint64_t>(c) << 16) |
           static_cast<uint64_t>(d);
}

VLString CTestHost::MessageBox(const VLString& caption, const VLString& text, const VLStringArray& buttons)
{
    CShownBox box{Str(caption), Str(text), {}};
    for (int i = 0; i < buttons.GetCount(); ++i)
        box.Buttons.push_back(Str(buttons[i]));
    Boxes.push_back(box);
    size_t index = Boxes.size() - 1;
    if (index < Answers.size())
        return VLString(Answers[index]().c_str());
    return buttons.GetCount() ? buttons[buttons.GetCount() - 1] : VLString();
}

namespace {

class CMapSection : public ISettingsSection {
public:
    explicit CMapSection(std::map<std::wstring, CStoredValue>& values) : m_values(values) {}
    int GetInt(const wchar_t* name, int defaultValue) override
    {
        auto it = m_values.find(name);
        return it != m_values.end() && it->second.IsInt ? it->second.Int : defaultValue;
    }
    void SetInt(const wchar_t* name, int value) override
    {
        CStoredValue v;
        v.Int = value;
        v.IsInt = true;
        m_values[name] = v;
    }
    void SetText(const wchar_t* name, const wchar_t* text, int kind) override
    {
        CStoredValue v;
        v.Text = text;
        v.Kind = kind;
        m_values[name] = v;
    }
    void RemoveValue(const wchar_t* name) override { m_values.erase(name); }

private:
    std::map<std::wstring, CStoredValue>& m_values;
};

}  // namespace

std::unique_ptr<ISettingsSection> CTestHost::OpenSection(const wchar_t* path, int scope)
{
    std::wstring key = std::wstring(path) + L"#" + std::to_wstring(scope);
    for (const std::wstring& missing : Missing)
        if (missing == key)
            return nullptr;
    return std::make_unique<CMapSection>(Sections[key]);
}

bool CRecordingRunner::RegisterInProcess(const VLString& path)
{
    Calls.push_back({L"inproc", Str(path), L""});
    return true;
}

bool CRecordingRunner::RegisterWithRegSvr32x64(const VLString& path)
{
    Calls.push_back({L"regsvr32x64", Str(path), L""});
    return true;
}

bool CRecordingRunner::RunAndWait(const VLString& program, const VLString& argument, int timeoutMs)
{
    Calls.push_back({L"run", Str(program), Str(argument)});
    return true;
}

CEngineFixture::CEngineFixture(const wchar_t* suffix)
{
    Root = ScratchFolder(suffix);
    Installer = Root + L"Package\\";
    Destination = Root + L"Program Files\\Auralis 22\\";
    VLFileSystem::EnsureDirectory(Installer);
    Context.InstallerFolder = Installer;
    Context.DestinationFolder = Destination;
    Context.Is64BitWindows = true;
    Context.Deferred = Deferred.Targets();
    Context.Host = &Host;
    Context.Runner = &Runner;
}

namespace {

class CRegistrySection : public ISettingsSection {
public:
    explicit CRegistrySection(VLUniqueKey key) : m_key(std::move(key)) {}
    int GetInt(const wchar_t* name, int defaultValue) override
    {
        DWORD value = 0, size = sizeof(value);
        return ::RegGetValueW(m_key.Get(), nullptr, name, RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS
                   ? static_cast<int>(value)
                   : defaultValue;
    }
    void SetInt(const wchar_t* name, int value) override
    {
        DWORD data = static_cast<DWORD>(value);
        ::RegSetValueExW(m_key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data));
    }
    void SetText(const wchar_t* name, const wchar_t* text, int kind) override
    {
        ::RegSetValueExW(m_key.Get(), name, 0, kind == 2 ? REG_EXPAND_SZ : REG_SZ, reinterpret_cast<const BYTE*>(text),
                         static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
    }
    void RemoveValue(const wchar_t* name) override { ::RegDeleteValueW(m_key.Get(), name); }

private:
    VLUniqueKey m_key;
};

}  // namespace

std::unique_ptr<ISettingsSection> CTestHost::OpenRegistryKey(HKEY root, const wchar_t* path)
{
    VLUniqueKey key;
    if (::RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key.Put(), nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<CRegistrySection>(std::move(key));
}
