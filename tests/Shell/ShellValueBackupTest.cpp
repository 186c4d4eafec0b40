// Backups of values in shared shell keys: the oldest foreign value is kept,
// the product's own values are recognised, and removal puts things back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "CShellRegistration.h"
#include "RegistryProbe.h"

namespace {

const wchar_t kKey[] = L"Software\\VLBackupTest";

CShellIdentity Identity()
{
    CShellIdentity id;
    id.productName = L"Auralis Test";
    id.versionDesignation = L"22";
    id.productExtension = L"qbx";
    return id;
}

class ScratchKey {
public:
    ScratchKey()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &m_key, nullptr);
    }
    ~ScratchKey()
    {
        RegCloseKey(m_key);
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    }
    HKEY Get() const { return m_key; }
    void Set(const wchar_t* name, const wchar_t* text)
    {
        RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
    }
    ProbeValue Read(const wchar_t* name) const { return ReadProbe(HKEY_CURRENT_USER, kKey, name); }

private:
    HKEY m_key = nullptr;
};

std::wstring W(const VLString& s)
{
    return std::wstring(s.GetString(), s.GetLength());
}

}  // namespace

TEST(ShellValueBackup, NamesOwnValuesAndProgIds)
{
    CShellRegistration reg(Identity());
    EXPECT_EQ(W(reg.BackupValueName(nullptr)), L"AuralisTest.22.Default.BAK");
    EXPECT_EQ(W(reg.BackupValueName(L"")), L"AuralisTest.22.Default.BAK");
    EXPECT_EQ(W(reg.BackupValueName(L"Content Type")), L"AuralisTest.22.ContentType.BAK");
    EXPECT_EQ(W(reg.DiscBackupValueName()), L"AuralisTest.22FileAssoc.BAK");

    struct Own {
        const wchar_t* text;
        bool own;
    };
    const Own owns[] = {
        {L"AuralisTest.22.File", true}, {L"auralistest.22.PLAYLIST", true}, {L"AuralisTest.21.File", false},
        {L"AuralisTest.22", false},  // cut at its last dot it is "AuralisTest"
        {L"Other.File", false},      {L"", false},
    };
    for (const Own& o : owns)
        EXPECT_EQ(reg.IsOwnValue(o.text), o.own) << VLString(o.text).ToUtf8();

    struct ProgId {
        const wchar_t* extension;
        const wchar_t* progId;
    };
    const ProgId progIds[] = {
        {L".mpl", L"AuralisTest.22.Playlist"}, {L".WSZ", L"AuralisTest.22.Pack"},
        {L".rss", L"AuralisTest.22.Subscribe"}, {L".podcast", L"AuralisTest.22.Subscribe"},
        {L".xml", L"AuralisTest.22.Subscribe"}, {L".qbx", L"AuralisTest.22.Mime"},
        {L"qbx", L"AuralisTest.22.Mime"},       {L".mp3", L"AuralisTest.22.File"},
    };
    for (const ProgId& p : progIds)
        EXPECT_EQ(W(reg.ProgIdForExtension(p.extension)), p.progId) << VLString(p.extension).ToUtf8();
}

TEST(ShellValueBackup, ExistingBackupIsNeverOverwritten)
{
    CShellRegistration reg(Identity());
    ScratchKey key;
    key.Set(nullptr, L"Foreign.File");

    reg.SetValueWithBackup(key.Get(), nullptr, L"AuralisTest.22.File", true);
    EXPECT_EQ(key.Read(nullptr), ProbeValue::Text(L"AuralisTest.22.File"));
    EXPECT_EQ(key.Read(L"AuralisTest.22.Default.BAK"), ProbeValue::Text(L"Foreign.File"));

    // Another program takes the value over; the next run keeps the first backup.
    key.Set(nullptr, L"Intruder.File");
    reg.SetValueWithBackup(key.Get(), nullptr, L"AuralisTest.22.File", true);
    EXPECT_EQ(key.Read(nullptr), ProbeValue::Text(L"AuralisTest.22.File"));
    EXPECT_EQ(key.Read(L"AuralisTest.22.Default.BAK"), ProbeValue::Text(L"Foreign.File"));

    // Restoring puts the oldest foreign value back and drops the backup.
    reg.RestoreValueFromBackup(key.Get(), nullptr, true);
    EXPECT_EQ(key.Read(nullptr), ProbeValue::Text(L"Foreign.File"));
    EXPECT_EQ(key.Read(L"AuralisTest.22.Default.BAK"), ProbeValue::Missing());
}

TEST(ShellValueBackup, SetAndRestoreCases)
{
    CShellRegistration reg(Identity());
    {
        // The same text: nothing is backed up or written.
        ScratchKey key;
        key.Set(L"Content Type", L"audio/x-qbx");
        reg.SetValueWithBackup(key.Get(), L"Content Type", L"audio/x-qbx", true);
        EXPECT_EQ(key.Read(L"AuralisTest.22.ContentType.BAK"), ProbeValue::Missing());
    }
    {
        // Without back up the value is simply written.
        ScratchKey key;
        key.Set(L"PerceivedType", L"audio");
        reg.SetValueWithBackup(key.Get(), L"PerceivedType", L"", false);
        EXPECT_EQ(key.Read(L"PerceivedType"), ProbeValue::Text(L""));
        EXPECT_EQ(key.Read(L"AuralisTest.22.PerceivedType.BAK"), ProbeValue::Missing());
    }
    {
        // No data: the value is backed up and removed.
        ScratchKey key;
        key.Set(L"CLSID", L"{0000}");
        reg.SetValueWithBackup(key.Get(), L"CLSID", nullptr, true);
        EXPECT_EQ(key.Read(L"CLSID"), ProbeValue::Missing());
        EXPECT_EQ(key.Read(L"AuralisTest.22.CLSID.BAK"), ProbeValue::Text(L"{0000}"));
    }
    {
        // No backup: deleted only when asked.
        ScratchKey key;
        key.Set(L"Extension", L".qbx");
        reg.RestoreValueFromBackup(key.Get(), L"Extension", false);
        EXPECT_EQ(key.Read(L"Extension"), ProbeValue::Text(L".qbx"));
        reg.RestoreValueFromBackup(key.Get(), L"Extension", true);
        EXPECT_EQ(key.Read(L"Extension"), ProbeValue::Missing());
    }
    // A key that is not open is left alone.
    reg.SetValueWithBackup(nullptr, nullptr, L"x", true);
    reg.RestoreValueFromBackup(nullptr, nullptr, true);
    reg.PurgeBackupValues(nullptr);
}

TEST(ShellValueBackup, PurgeRemovesThisVersionsValuesOnly)
{
    CShellRegistration reg(Identity());
    ScratchKey key;
    const wchar_t* mine[] = {L"AuralisTest.22.Default.BAK", L"auralistest.22.PerceivedType.BAK",
                             L"AuralisTest.22FileAssoc.BAK"};
    const wchar_t* others[] = {L"AuralisTest.21.Default.BAK", L"Other", L"AuralisTest"};
    for (const wchar_t* n : mine)
        key.Set(n, L"x");
    for (const wchar_t* n : others)
        key.Set(n, L"x");
    reg.PurgeBackupValues(key.Get());
    for (const wchar_t* n : mine)
        EXPECT_EQ(key.Read(n), ProbeValue::Missing()) << VLString(n).ToUtf8();
    for (const wchar_t* n : others)
        EXPECT_EQ(key.Read(n), ProbeValue::Text(L"x")) << VLString(n).ToUtf8();
}
