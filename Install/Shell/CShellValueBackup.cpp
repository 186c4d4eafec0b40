// Backups of values in shared shell keys (part of CShellRegistration).
#include "CShellRegistration.h"

#include <vector>

namespace {

bool IsDefaultName(const wchar_t* name)
{
    return name == nullptr || *name == L'\0';
}

// The REG_SZ text of a value; false when it is missing or of another type.
bool ReadText(HKEY key, const wchar_t* name, VLString& text)
{
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return false;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    text = VLString(buffer.data());
    return true;
}

bool ValueExists(HKEY key, const wchar_t* name)
{
    return ::RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void WriteText(HKEY key, const wchar_t* name, const VLString& text)
{
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.GetString()),
                     static_cast<DWORD>((text.GetLength() + 1) * sizeof(wchar_t)));
}

}  // namespace

VLString CShellRegistration::BackupValueName(const wchar_t* name) const
{
    VLString backup = m_productWithVersion;
    backup += L'.';
    backup += IsDefaultName(name) ? L"Default" : name;
    backup += L".BAK";
    backup.Remove(L' ');
    return backup;
}

VLString CShellRegistration::DiscBackupValueName() const
{
    VLString backup = m_productWithVersion;
    backup += L"FileAssoc.BAK";
    backup.Remove(L' ');
    return backup;
}

bool CShellRegistration::IsOwnValue(const VLString& text) const
{
    int dot = text.ReverseFind(L'.');
    VLString stem = dot < 0 ? text : text.Left(dot);
    return stem.CompareNoCase(m_productWithVersion.GetString()) == 0;
}

VLString CShellRegistration::ProgIdForExtension(const VLString& extension) const
{
    VLString e = extension;
    if (e.IsEmpty() || e[0] != L'.')
        e = VLString(L".") + e;
    const wchar_t* suffix = L".File";
    static const wchar_t* const kSubscriptions[] = {L".feed", L".itpc",    L".opml", L".pcast",
                                                    L".podcast", L".rss", L".xml"};
    if (e.EqualsNoCase(L".mpl"))
        suffix = L".Playlist";
    else if (e.EqualsNoCase(L".wsz"))
        suffix = L".Pack";
    else if (e.EqualsNoCase(m_productExtension.GetString()))
        suffix = L".Mime";
    for (const wchar_t* s : kSubscriptions) {
        if (e.EqualsNoCase(s))
            suffix = L".Subscribe";
    }
    return m_productWithVersion + suffix;
}

void CShellRegistration::SetValueWithBackup(HKEY key, const wchar_t* name, const wchar_t* data, bool backUp) const
{
    if (!key)
        return;
    const wchar_t* valueName = IsDefaultName(name) ? nullptr : name;
    VLString current;
    if (backUp && ReadText(key, valueName, current)) {
        if (data && current == data)
            return;
        VLString backup = BackupValueName(name);
        if (!ValueExists(key, backup.GetString()))
            WriteText(key, backup.GetString(), current);
    }
    if (data)
        WriteText(key, valueName, VLString(data));
    else
        ::RegDeleteValueW(key, valueName);
}

void CShellRegistration::RestoreValueFromBackup(HKEY key, const wchar_t* name, bool deleteIfNoBackup) const
{
    if (!key)
        return;
    const wchar_t* valueName = IsDefaultName(name) ? nullptr : name;
    VLString backup = BackupValueName(name);
    VLString text;
    if (ReadText(key, backup.GetString(), text)) {
        WriteText(key, valueName, text);
        ::RegDeleteValueW(key, backup.GetString());
    }
    else if (deleteIfNoBackup) {
        ::RegDeleteValueW(key, valueName);
    }
}

void CShellRegistration::PurgeBackupValues(HKEY key) const
{
    if (!key || m_productWithVersion.IsEmpty())
        return;
    // Names first, deletions after: deleting while enumerating shifts the indexes.
    VLStringArray doomed;
    wchar_t name[16384];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name / sizeof name[0];
        LONG rc = ::RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS)
            continue;
        VLString n(name, static_cast<int>(length));
        if (n.GetLength() >= m_productWithVersion.GetLength() &&
            n.Left(m_productWithVersion.GetLength()).CompareNoCase(m_productWithVersion.GetString()) == 0)
            doomed.Add(n);
    }
    for (int i = 0; i < doomed.GetCount(); ++i)
        ::RegDeleteValueW(key, doomed[i].GetString());
}
