#include "SettingsStore.h"

#include "ToolsSinks.h"
#include "VLFileLoaderText.h"
#include "VLHandle.h"
#include "VLStringArray.h"

bool CRegistrySection::GetPath(IVLTextSink& out)
{
    SinkSet(out, m_path);
    return true;
}

int CRegistrySection::GetInt(const wchar_t* name, int defaultValue)
{
    DWORD type = 0, size = 0;
    if (!m_key.QueryValue(name, &type, &size))
        return defaultValue;
    if (type == REG_DWORD) {
        DWORD value = 0;
        return m_key.ReadDword(name, value) ? static_cast<int>(value) : defaultValue;
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ)
        return m_key.ReadString(name).ToInt();
    return defaultValue;
}

void CRegistrySection::GetText(const wchar_t* name, const wchar_t* defaultValue, IVLTextSink& out)
{
    DWORD type = 0, size = 0;
    if (!m_key.QueryValue(name, &type, &size) || (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_DWORD)) {
        out.Set(defaultValue != nullptr ? defaultValue : L"", -1);
        return;
    }
    SinkSet(out, m_key.ReadString(name, defaultValue));
}

bool CRegistrySection::SetInt(const wchar_t* name, int value)
{
    return m_key.WriteDword(name, static_cast<DWORD>(value)) == ERROR_SUCCESS;
}

bool CRegistrySection::SetText(const wchar_t* name, const wchar_t* value)
{
    return m_key.WriteString(name, value != nullptr ? value : L"") == ERROR_SUCCESS;
}

bool CRegistrySection::SetTextOfKind(const wchar_t* name, const wchar_t* value, int kind)
{
    if (kind == 2)
        return m_key.WriteExpandString(name, value != nullptr ? value : L"") == ERROR_SUCCESS;
    return SetText(name, value);
}

bool CRegistrySection::RemoveValue(const wchar_t* name)
{
    LONG rc = m_key.DeleteValue(name);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;  // absent counts as removed
}

bool CRegistrySection::RemoveAllValues()
{
    VLStringArray names;
    VLString name;
    for (DWORD i = 0; m_key.EnumValueName(i, name); ++i)
        names.Add(name);
    bool ok = true;
    for (int i = 0; i < names.GetCount(); ++i)
        ok &= RemoveValue(names[i]);
    return ok;
}

bool CRegistrySection::RemoveSection(const wchar_t* name)
{
    LONG rc = m_key.DeleteKeyTree(name);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

bool CRegistrySection::CreateSection(const wchar_t* name)
{
    VLRegistryKey sub;
    return sub.Create(m_key, name) == ERROR_SUCCESS;
}

void CRegistrySection::ListSections(IVLListSink& out)
{
    VLString name;
    for (DWORD i = 0; m_key.EnumKeyName(i, name); ++i)
        out.Add(name, name.GetLength(), 0);
}

void CRegistrySection::ListValues(IVLListSink& out)
{
    VLString name;
    for (DWORD i = 0; m_key.EnumValueName(i, name); ++i) {
        DWORD type = 0, size = 0;
        m_key.QueryValue(name, &type, &size);
        out.Add(name, name.GetLength(), type);
    }
}

IVLSection* CSettingsStore::OpenSection(const wchar_t* path, int scope)
{
    if (m_productKey.IsEmpty() || (scope != kVLScopeUser && scope != kVLScopeMachine))
        return nullptr;
    VLString full = m_productKey;
    if (path != nullptr && path[0] != 0) {
        full += L'\\';
        full += path;
    }
    VLRegistryKey key;
    if (key.Create(scope == kVLScopeUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, full) != ERROR_SUCCESS)
        return nullptr;
    return new CRegistrySection(std::move(key), full);
}

IVLSection* CSettingsStore::OpenRegistryKey(HKEY root, const wchar_t* path, bool create)
{
    VLRegistryKey key;
    if (key.Create(root, path != nullptr ? path : L"", create) != ERROR_SUCCESS)
        return nullptr;
    return new CRegistrySection(std::move(key), VLString(path != nullptr ? path : L""));
}

bool CSettingsStore::ImportFile(const wchar_t* path)
{
    VLString text;
    if (!VLLoadTextFile(path, text))
        return false;
    text.Replace(L'\r', L'\n');
    VLStringArray lines;
    lines.Split(text, L"\n", true);
    IVLSection* section = nullptr;
    bool ok = true;
    for (int i = 0; i < lines.GetCount(); ++i) {
        const VLString& line = lines[i];
        if (line.IsEmpty() || line[0] == L';' || line[0] == L'#')
            continue;
        if (line[0] == L'[' && line.GetLast() == L']') {
            if (section != nullptr)
                section->Release();
            section = OpenSection(line.Mid(1, line.GetLength() - 2), kVLScopeUser);
            ok &= section != nullptr;
            continue;
        }
        const int equals = line.Find(L'=');
        if (equals <= 0 || section == nullptr) {
            ok = false;  // keep going: import what can be imported
            continue;
        }
        VLString name = line.Left(equals), value = line.Mid(equals + 1);
        name.Trim();
        value.Trim();
        if (value.StartsWith(L"dword:", false))
            ok &= section->SetInt(name, value.Mid(6).ToInt());
        else
            ok &= section->SetText(name, value);
    }
    if (section != nullptr)
        section->Release();
    return ok;
}

bool CSettingsStore::ImportDefaults(const wchar_t* folder)
{
    VLString base = folder != nullptr ? folder : L"";
    if (base.IsEmpty())
        return false;
    if (base.GetLast() != L'\\')
        base += L'\\';
    WIN32_FIND_DATAW found{};
    VLUniqueFind find(::FindFirstFileW(base + L"*.settings", &found));
    if (!find)
        return false;
    bool ok = true;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ok &= ImportFile(base + found.cFileName);
    } while (::FindNextFileW(find.Get(), &found));
    return ok;
}
