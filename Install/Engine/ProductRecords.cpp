#include "ProductRecords.h"

#include "FileVersions.h"
#include "VLHandle.h"

const wchar_t kUninstallKeyRoot[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const wchar_t kInstallationsKey[] = L"Software\\Velmora Labs\\Nuvicore\\Installations";

namespace {

// KEY_READ | KEY_WRITE.
constexpr REGSAM kReadWrite = 0x2001F;

bool CreateKey(HKEY root, const VLString& path, VLUniqueKey& key)
{
    return ::RegCreateKeyExW(root, path, 0, nullptr, 0, kReadWrite, nullptr, key.Put(), nullptr) == ERROR_SUCCESS;
}

void SetText(const VLUniqueKey& key, const wchar_t* name, const VLString& text)
{
    ::RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.GetString()),
                     static_cast<DWORD>((text.GetLength() + 1) * sizeof(wchar_t)));
}

}  // namespace

CProductRecords::CProductRecords(const CInstallContext& context, HKEY root) : m_context(context), m_root(root) {}

void CProductRecords::WriteUninstallEntry()
{
    // Without a name the values would land in the Uninstall key itself.
    if (m_context.ExistingUninstallKey.IsEmpty())
        return;
    VLUniqueKey key;
    if (!CreateKey(m_root, VLString(kUninstallKeyRoot) + m_context.ExistingUninstallKey, key))
        return;
    const CProductInfo& product = m_context.Product;
    SetText(key, L"DisplayName", product.NameForm1);
    SetText(key, L"HelpLink", product.WebAddress);
    SetText(key, L"URLUpdateInfo", product.WebAddress);
    SetText(key, L"URLInfoAbout", product.WebAddress);
    SetText(key, L"InstallLocation", m_context.DestinationFolder);
    SetText(key, L"Publisher", L"Velmora, Inc.");
    SetText(key, L"DisplayVersion", product.VersionDesignation);
    SetText(key, L"DisplayIcon", product.ApplicationIcon);
    SetText(key, L"UninstallString", m_context.DestinationFolder + L"VLMediaUninstall.exe");
}

void CProductRecords::WriteInstallationsRecord()
{
    IEngineHost* host = m_context.Host;
    if (!m_context.Portable && host) {
        const CProductInfo& product = m_context.Product;
        if (std::unique_ptr<ISettingsSection> installations = host->OpenRegistryKey(m_root, kInstallationsKey))
            installations->SetText(nullptr, product.NameForm3, 0);
        VLString version =
            VLFileVersionText3(m_context.InstallerFolder + L"Quenbox\\" + product.MainProgramFile);
        // An empty name would write this install's values over the list key.
        std::unique_ptr<ISettingsSection> record;
        if (!product.NameForm3.IsEmpty())
            record = host->OpenRegistryKey(m_root, VLString(kInstallationsKey) + L"\\" + product.NameForm3);
        if (record) {
            record->SetText(L"Path", m_context.DestinationFolder, 2);
            record->SetText(L"Version", version, 0);
            record->SetInt(L"OS Version", m_context.OsVersionCode);
            record->SetText(L"Launcher Name", product.LauncherName, 0);
            record->SetText(L"Uninstall Key", m_context.ExistingUninstallKey, 0);
        }
    }
    WriteInstallerValues();
}

void CProductRecords::WriteInstallerValues()
{
    if (!m_context.Host)
        return;
    std::unique_ptr<ISettingsSection> installer = m_context.Host->OpenSection(L"Installer", 0);
    if (!installer)
        return;
    if (!m_context.DistributorID.IsEmpty())
        installer->SetText(L"Distributor ID", m_context.DistributorID, 0);
    installer->SetText(L"Install Directory", m_context.DestinationFolder, 2);
}

void CProductRecords::WriteInstallCounters(bool updating)
{
    if (!m_context.Host)
        return;
    std::unique_ptr<ISettingsSection> properties = m_context.Host->OpenSection(L"Properties", 0);
    if (!properties)
        return;
    properties->SetInt(L"Install - First Install", updating ? 0 : 1);
    if (!updating) {
        properties->SetText(L"Install - First Install Date", m_context.Host->CurrentDateTimeText(), 0);
        properties->SetInt(L"Install - Number Runs Total", 0);
    } else {
        properties->SetInt(L"File Associations - Set", 1);
    }
}

void CProductRecords::WriteInstallCount(bool upgrade)
{
    IEngineHost* host = m_context.Host;
    if (!host)
        return;
    if (std::unique_ptr<ISettingsSection> properties = host->OpenSection(L"Properties", 0))
        properties->SetInt(L"Install - Number Runs After Last Install", 0);
    if (std::unique_ptr<ISettingsSection> counted = host->OpenSection(L"Installer", 1))
        counted->SetInt(L"Install - Install Count", counted->GetInt(L"Install - Install Count", 0) + 1);
    if (upgrade)
        return;
    if (std::unique_ptr<ISettingsSection> installer = host->OpenSection(L"Installer", 0)) {
        installer->SetText(L"Release Channel - Pending Install", L"", 0);
        installer->SetText(L"Release Channel - Pending Install Version", L"", 0);
        installer->RemoveValue(L"Release Channel - Pending Install Run Count");
        installer->RemoveValue(L"Release Channel - Pending Install Install Count");
    }
}
