// The uninstall entry and installations record read back from the registry
// value by value; the installer values and counters from the settings store.
#include "EngineTestSupport.h"
#include "ProductRecords.h"
#include "VLHandle.h"

#include <windows.h>

#include <cstring>

namespace {

struct CRegValue {
    DWORD Type = REG_NONE;
    std::wstring Text;
    DWORD Number = 0;
    bool Exists = false;
};

CRegValue ReadValue(const VLString& keyPath, const wchar_t* name)
{
    CRegValue value;
    VLUniqueKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
        return value;
    wchar_t buffer[1024] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    if (::RegQueryValueExW(key.Get(), name, nullptr, &value.Type, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return value;
    value.Exists = true;
    if (value.Type == REG_DWORD)
        std::memcpy(&value.Number, buffer, sizeof(DWORD));
    else
        value.Text = buffer;
    return value;
}

bool KeyExists(const VLString& keyPath)
{
    VLUniqueKey key;
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

void DeleteKey(const VLString& keyPath)
{
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, keyPath);
}

void FillProduct(CEngineFixture& f, const wchar_t* form3)
{
    CProductInfo& p = f.Context.Product;
    p.NameForm1 = L"Auralis 22";
    p.NameForm3 = form3;
    p.VersionDesignation = L"22.0.1.1805";
    p.WebAddress = L"https://www.velmora.example/auralis";
    p.MainProgramFile = L"Nuvicore.exe";
    p.LauncherName = L"Nuvicore Launcher.exe";
    p.ApplicationIcon = f.Destination + L"Data\\Default Art\\application.ico";
    f.Context.ExistingUninstallKey = L"Auralis 22 (Test)";
    f.Context.OsVersionCode = 1012;
}

const CStoredValue* Stored(CTestHost& host, const wchar_t* section, const wchar_t* name)
{
    auto s = host.Sections.find(section);
    if (s == host.Sections.end())
        return nullptr;
    auto v = s->second.find(name);
    return v == s->second.end() ? nullptr : &v->second;
}

}  // namespace

TEST(ProductRecords, UninstallEntryHasItsNineValues)
{
    CEngineFixture f;
    FillProduct(f, L"Auralis 22 Records");
    VLString key = VLString(kUninstallKeyRoot) + f.Context.ExistingUninstallKey;
    DeleteKey(key);
    // An existing entry (found by the destination page) is written over.
    {
        VLUniqueKey old;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_WRITE, nullptr, old.Put(), nullptr), 0);
        const wchar_t stale[] = L"Auralis 21";
        ::RegSetValueExW(old.Get(), L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(stale), sizeof(stale));
    }
    CProductRecords(f.Context).WriteUninstallEntry();

    struct Row {
        const wchar_t* name;
        std::wstring want;
    } rows[] = {
        {L"DisplayName", L"Auralis 22"},
        {L"HelpLink", L"https://www.velmora.example/auralis"},
        {L"URLUpdateInfo", L"https://www.velmora.example/auralis"},
        {L"URLInfoAbout", L"https://www.velmora.example/auralis"},
        {L"InstallLocation", Str(f.Destination)},
        {L"Publisher", L"Velmora, Inc."},
        {L"DisplayVersion", L"22.0.1.1805"},
        {L"DisplayIcon", Str(f.Destination) + L"Data\\Default Art\\application.ico"},
        {L"UninstallString", Str(f.Destination) + L"VLMediaUninstall.exe"},
    };
    for (const Row& row : rows) {
        CRegValue v = ReadValue(key, row.name);
        EXPECT_TRUE(v.Exists) << row.name;
        EXPECT_EQ(v.Type, static_cast<DWORD>(REG_SZ)) << row.name;
        EXPECT_EQ(v.Text, row.want) << row.name;
    }
}

// Without an uninstall key name nothing is written (the values would land in
// the list of all uninstall entries).
TEST(ProductRecords, UninstallEntryNeedsAKeyName)
{
    CEngineFixture f;
    FillProduct(f, L"Auralis 22 Records");
    f.Context.ExistingUninstallKey = L"";
    CProductRecords(f.Context).WriteUninstallEntry();
    EXPECT_FALSE(ReadValue(kUninstallKeyRoot, L"UninstallString").Exists);
}

TEST(ProductRecords, InstallationsRecordValueByValue)
{
    CEngineFixture f;
    FillProduct(f, L"Auralis 22 Installations");
    f.Context.DistributorID = L"ACME";
    ASSERT_TRUE(CopyModule(L"EngineVersion1.dll", f.Installer + L"Quenbox\\Nuvicore.exe"));
    VLString record = VLString(kInstallationsKey) + L"\\Auralis 22 Installations";
    DeleteKey(record);

    CProductRecords(f.Context).WriteInstallationsRecord();

    EXPECT_EQ(ReadValue(kInstallationsKey, nullptr).Text, L"Auralis 22 Installations");
    struct Row {
        const wchar_t* name;
        std::wstring want;
    } rows[] = {
        {L"Path", Str(f.Destination)},
        {L"Version", L"1.2.3"},
        {L"Launcher Name", L"Nuvicore Launcher.exe"},
        {L"Uninstall Key", L"Auralis 22 (Test)"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ReadValue(record, row.name).Text, row.want) << row.name;
    // Only the path is written as a path.
    EXPECT_EQ(ReadValue(record, L"Path").Type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(ReadValue(record, L"Version").Type, static_cast<DWORD>(REG_SZ));
    CRegValue os = ReadValue(record, L"OS Version");
    EXPECT_EQ(os.Type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(os.Number, 1012u);

    const CStoredValue* distributor = Stored(f.Host, L"Installer#0", L"Distributor ID");
    ASSERT_TRUE(distributor);
    EXPECT_EQ(distributor->Text, L"ACME");
    const CStoredValue* directory = Stored(f.Host, L"Installer#0", L"Install Directory");
    ASSERT_TRUE(directory);
    EXPECT_EQ(directory->Text, Str(f.Destination));
    EXPECT_EQ(directory->Kind, 2);
}

// A portable install writes no installations record but still the install
// directory; no distributor value without a distributor.
TEST(ProductRecords, PortableWritesOnlyTheInstallDirectory)
{
    CEngineFixture f;
    FillProduct(f, L"Auralis 22 Portable");
    f.Context.Portable = true;
    VLString record = VLString(kInstallationsKey) + L"\\Auralis 22 Portable";
    DeleteKey(record);
    CProductRecords(f.Context).WriteInstallationsRecord();
    EXPECT_FALSE(KeyExists(record));
    EXPECT_TRUE(Stored(f.Host, L"Installer#0", L"Install Directory"));
    EXPECT_FALSE(Stored(f.Host, L"Installer#0", L"Distributor ID"));

    // A missing main program leaves the version empty.
    CEngineFixture g(L"_normal");
    FillProduct(g, L"Auralis 22 Portable");
    CProductRecords(g.Context).WriteInstallationsRecord();
    CRegValue version = ReadValue(record, L"Version");
    EXPECT_TRUE(version.Exists);
    EXPECT_EQ(version.Text, L"");
}

TEST(ProductRecords, InstallCounters)
{
    struct Case {
        bool existing, portable;
        int firstInstall;
        bool hasDate, hasFileAssociations;
    } cases[] = {
        {false, false, 1, true, false},
        {true, false, 0, false, true},
        {true, true, 1, true, false},  // a portable install is always a first install
    };
    for (const Case& c : cases) {
        CEngineFixture f(c.existing ? (c.portable ? L"_p" : L"_u") : L"_f");
        f.Context.ExistingInstall = c.existing;
        f.Context.Portable = c.portable;
        CProductRecords(f.Context).WriteInstallCounters(CProductRecords::IsUpdating(f.Context));
        const CStoredValue* first = Stored(f.Host, L"Properties#0", L"Install - First Install");
        ASSERT_TRUE(first);
        EXPECT_EQ(first->Int, c.firstInstall);
        const CStoredValue* date = Stored(f.Host, L"Properties#0", L"Install - First Install Date");
        EXPECT_EQ(date != nullptr, c.hasDate);
        if (date) {
            EXPECT_EQ(date->Text, L"2026-12-11 12:00");
        }
        const CStoredValue* runs = Stored(f.Host, L"Properties#0", L"Install - Number Runs Total");
        EXPECT_EQ(runs != nullptr, c.hasDate);
        if (runs) {
            EXPECT_EQ(runs->Int, 0);
        }
        const CStoredValue* set = Stored(f.Host, L"Properties#0", L"File Associations - Set");
        EXPECT_EQ(set != nullptr, c.hasFileAssociations);
        if (set) {
            EXPECT_EQ(set->Int, 1);
        }
    }
    // No section: nothing written, nothing breaks.
    CEngineFixture f(L"_missing");
    f.Host.Missing.push_back(L"Properties#0");
    CProductRecords(f.Context).WriteInstallCounters(false);
    EXPECT_TRUE(f.Host.Sections.empty());
}

TEST(ProductRecords, InstallCountGrowsAndReleaseChannelResetsUnlessUpgrade)
{
    CEngineFixture f;
    auto& installer = f.Host.Sections[L"Installer#0"];
    auto seedChannel = [&] {
        installer[L"Release Channel - Pending Install"].Text = L"22.1";
        installer[L"Release Channel - Pending Install Version"].Text = L"22.1.0";
        installer[L"Release Channel - Pending Install Run Count"].Int = 3;
        installer[L"Release Channel - Pending Install Run Count"].IsInt = true;
        installer[L"Release Channel - Pending Install Install Count"].Int = 1;
        installer[L"Release Channel - Pending Install Install Count"].IsInt = true;
    };
    seedChannel();
    f.Host.Sections[L"Properties#0"][L"Install - Number Runs After Last Install"] = CStoredValue{L"", 7, true, 0};

    CProductRecords records(f.Context);
    records.WriteInstallCount(true);  // upgrade: count only
    EXPECT_EQ(Stored(f.Host, L"Installer#1", L"Install - Install Count")->Int, 1);
    EXPECT_EQ(Stored(f.Host, L"Properties#0", L"Install - Number Runs After Last Install")->Int, 0);
    EXPECT_EQ(Stored(f.Host, L"Installer#0", L"Release Channel - Pending Install")->Text, L"22.1");
    EXPECT_TRUE(Stored(f.Host, L"Installer#0", L"Release Channel - Pending Install Run Count"));

    records.WriteInstallCount(false);
    EXPECT_EQ(Stored(f.Host, L"Installer#1", L"Install - Install Count")->Int, 2);
    EXPECT_EQ(Stored(f.Host, L"Installer#0", L"Release Channel - Pending Install")->Text, L"");
    EXPECT_EQ(Stored(f.Host, L"Installer#0", L"Release Channel - Pending Install Version")->Text, L"");
    EXPECT_FALSE(Stored(f.Host, L"Installer#0", L"Release Channel - Pending Install Run Count"));
    EXPECT_FALSE(Stored(f.Host, L"Installer#0", L"Release Channel - Pending Install Install Count"));
    // The count lives in the machine scope, never in the user's section.
    EXPECT_FALSE(Stored(f.Host, L"Installer#0", L"Install - Install Count"));
}
