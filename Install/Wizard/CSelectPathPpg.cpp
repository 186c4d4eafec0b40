#include "CSelectPathPpg.h"

#include "CInstallWizard.h"
#include "CLayoutHelper.h"
#include "CWizardServices.h"
#include "VLFileSystem.h"
#include "VLFolders.h"
#include "VLLayoutUnits.h"
#include "VLPath.h"

namespace {

const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

bool StartsWithNoCase(const VLString& text, const VLString& prefix)
{
    return text.GetLength() >= prefix.GetLength() && text.Left(prefix.GetLength()).CompareNoCase(prefix) == 0;
}

}  // namespace

CSelectPathPpg::CSelectPathPpg(CInstallWizard& wizard)
    : CWizardPropertyPage(wizard, L"Destination Folder",
                          L"Click Next to install to this folder, or click Change to install to a different folder.")
{
}

bool CSelectPathPpg::ShouldSkip()
{
    if (Options().ExistingInstall && !Options().Portable)
        return true;
    return Options().Silent || Options().Express;
}

void CSelectPathPpg::DetectExistingInstallation(CWizardServices& services, InstallOptionsData& options)
{
    VLString familyPrefix = services.GetProductName(2);
    VLString recordName = services.GetProductName(3);

    CToolsSection uninstall = services.OpenRegistryKey(HKEY_LOCAL_MACHINE, kUninstallKey);
    VLStringArray names = uninstall.ListSections();
    VLStringArray family;
    VLString ownRecord;
    bool found = false;
    for (int i = 0; i < names.GetCount(); ++i) {
        const VLString& name = names[i];
        if (!StartsWithNoCase(name, familyPrefix))
            continue;
        CToolsSection record =
            services.OpenRegistryKey(HKEY_LOCAL_MACHINE, (VLString(kUninstallKey) + L"\\" + name).GetString());
        VLString publisher = record.GetText(L"Publisher", L"");
        if (publisher.CompareNoCase(L"Velmora, Inc.") != 0 && publisher.CompareNoCase(L"Velmora Labs, Inc.") != 0)
            continue;
        if (name == recordName) {
            ownRecord = name;
            found = true;
        } else {
            family.Add(name);
        }
    }

    if (found) {
        options.ExistingInstall = true;
        options.ExistingUninstallKey = ownRecord;
    } else {
        options.ExistingInstall = false;
        VLString key = recordName;
        while (family.Find(key.GetString(), false) >= 0)
            key.IncrementNumberSuffix();
        options.ExistingUninstallKey = key;
    }

    for (int i = 0; i < family.GetCount(); ++i) {
        CToolsSection record =
            services.OpenRegistryKey(HKEY_LOCAL_MACHINE, (VLString(kUninstallKey) + L"\\" + family[i]).GetString());
        VLString location = record.GetText(L"InstallLocation", L"");
        if (!location.IsEmpty())
            location = VLPath::AddTrailingBackslash(location);
        options.PreviousLocations.Add(location);
    }
}

VLString CSelectPathPpg::ComputeDefaultFolder(CWizardServices& services, const InstallOptionsData& options)
{
    if (options.Portable)
        return VLString();  // a portable copy goes where the user chooses
    VLString folder;
    if (options.ExistingInstall)
        folder = services.GetInstalledProgramFolder();
    if (folder.IsEmpty()) {
        CToolsSection section = services.OpenSection(L"Installer", kVLScopeUser);
        folder = section.GetText(L"Install Directory", L"");
    }
    if (folder.IsEmpty())
        folder = services.GetConfigText(L"/*/Product/InstallToPath", L"");
    if (folder.IsEmpty())
        folder = VLString::Format(L"%sVelmora Group\\%s", VLFolders::GetProgramFilesFolder(),
                                  services.GetProductName(3));
    return VLPath::AddTrailingBackslash(folder);
}

void CSelectPathPpg::SetDestination(const VLString& path)
{
    Options().DestinationFolder = path.IsEmpty() ? VLString() : VLPath::AddTrailingBackslash(path);
    if (m_folder.HasWindow())
        m_folder.SetPath(Options().DestinationFolder);
}

void CSelectPathPpg::Initialise()
{
    using VLLayoutUnits::Scale;
    CLayoutHelper layout(GetContentRect(), Scale(4));
    VLControl::CreateArgs args;
    args.parent = m_hwnd;
    args.id = 100;
    args.text = Services().Translate(L"Install to:");
    args.rect = layout.TakeTop(CLayoutHelper::MeasureTextHeight(args.text, layout.GetRemainingWidth(),
                                                                VLLayoutUnits::GetBoldFont()));
    (void)m_label.Create(args, true);
    (void)m_folder.Create(m_hwnd, layout.TakeTop(Scale(VLFolderNameCtrl::GetHeightUnits())), 101,
                          Services().Translate(L"Change"), Services().Translate(L"Install to:"));

    SetDestination(ComputeDefaultFolder(Services(), Options()));
}

bool CSelectPathPpg::MayLeaveForwards()
{
    if (!ShouldSkip())
        SetDestination(m_folder.GetPath());
    return Validate();
}

VLString CSelectPathPpg::GetDrivePart(const VLString& path)
{
    if (path.GetLength() >= 2 && path[1] == L':')
        return path.Left(2);
    if (path.GetLength() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        int server = path.Find(L'\\', 2);
        if (server < 0)
            return path;
        int share = path.Find(L'\\', server + 1);
        return share < 0 ? path : path.Left(share);
    }
    return VLString();
}

CSelectPathPpg::Problem CSelectPathPpg::CheckDestination(const VLString& path, const CheckEnvironment& environment)
{
    if (path.IsEmpty())
        return Problem::Empty;

    VLString drive = GetDrivePart(path);
    VLString folderPart = path.Mid(drive.GetLength());
    folderPart.Trim(L"\\");
    if (folderPart.IsEmpty())
        return Problem::DriveRoot;

    const VLString& windows = environment.windowsFolder;
    if (!windows.IsEmpty() && StartsWithNoCase(path, windows))
        return Problem::WindowsFolder;

    for (int i = 0; i < environment.previousLocations.GetCount(); ++i) {
        if (StartsWithNoCase(environment.previousLocations[i], path))
            return Problem::PreviousLocation;  // another family installation lies in or below it
    }

    if (!environment.ensureDirectory || !environment.ensureDirectory(path))
        return Problem::CannotCreate;

    ULONGLONG available = 0;
    if (!drive.IsEmpty() && environment.freeSpace && environment.freeSpace(drive + L"\\", available) &&
        available / 1048576 < kMinimumFreeMegabytes)
        return Problem::LowDiskSpace;
    return Problem::None;
}

CSelectPathPpg::CheckEnvironment CSelectPathPpg::MachineEnvironment(const VLStringArray& previousLocations)
{
    CheckEnvironment environment;
    wchar_t windows[MAX_PATH] = {};
    UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        environment.windowsFolder = VLPath::AddTrailingBackslash(windows);
    environment.previousLocations = previousLocations;
    environment.ensureDirectory = [](const VLString& folder) { return VLFileSystem::EnsureDirectory(folder, false); };
    environment.freeSpace = [](const VLString& root, ULONGLONG& available) {
        return VLFileSystem::GetFreeSpace(root, &available);
    };
    return environment;
}

bool CSelectPathPpg::Validate()
{
    const InstallOptionsData& options = Options();
    Problem problem = CheckDestination(options.DestinationFolder, MachineEnvironment(options.PreviousLocations));
    if (problem == Problem::None)
        return true;

    CWizardServices& s = Services();
    HWND owner = m_installWizard.GetHwnd();
    const VLString newFolder = s.Translate(L"Please enter a new destination folder.");
    const wchar_t* invalidText = nullptr;
    switch (problem) {
    case Problem::Empty:
        invalidText = L"%s can not be installed to an empty folder.\r\n\r\n";
        break;
    case Problem::DriveRoot:
        invalidText = L"%s can not be installed to the root of a drive.\r\n\r\n";
        break;
    case Problem::WindowsFolder:
        invalidText = L"%s can not be installed in the Windows folder.\r\n\r\n";
        break;
    case Problem::PreviousLocation:
        invalidText = L"%s can not be installed where a pre-existing program is installed.\r\n\r\n";
        break;
    case Problem::CannotCreate:
        s.ShowMessage(owner, s.Translate(L"Error"),
                      VLString::Format(s.Translate(L"Failed to create %s directory.").GetString(),
                                       s.GetProductName(2)));
        return false;
    case Problem::LowDiskSpace: {
        VLString name = s.GetProductName(1);
        VLString text = VLString::Format(
            s.Translate(L"There is not enough free space on this drive to install %s.\r\n\r\n").GetString(), name);
        text += VLString::Format(
            s.Translate(L"%s installation requires at least 20 MB of free disk space.\r\n\r\n").GetString(), name);
        text += s.Translate(L"Please select a different drive or free more space on the selected drive.");
        s.ShowMessage(owner, s.Translate(L"Insufficient Disk Space"), text);
        return false;
    }
    case Problem::None:
        return true;
    }
    VLString text = VLString::Format(s.Translate(invalidText).GetString(), s.GetProductName(0)) + newFolder;
    s.ShowMessage(owner, s.Translate(L"Invalid Destination Folder"), text);
    return false;
}
