#pragma once
// The destination folder page. Also home of the existing-installation
// detection that the licence page runs at start (uninstall records of the
// product family) and of the destination checks.

#include <functional>

#include "CWizardPropertyPage.h"
#include "VLFolderNameCtrl.h"
#include "VLStaticText.h"

class CWizardServices;

class CSelectPathPpg : public CWizardPropertyPage {
public:
    // The first destination check that fails; None when all pass. The
    // numbers are the order in which the checks run.
    enum class Problem { None = 0, Empty, DriveRoot, WindowsFolder, PreviousLocation, CannotCreate, LowDiskSpace };

    // What the checks need of the machine, passed in so the rules can be
    // exercised against chosen folders.
    struct CheckEnvironment {
        VLString windowsFolder;  // with a trailing backslash
        VLStringArray previousLocations;
        std::function<bool(const VLString& folder)> ensureDirectory;
        // Free bytes available to the user on the drive whose root is given;
        // false when unknown.
        std::function<bool(const VLString& root, ULONGLONG& available)> freeSpace;
    };

    // Below this many whole MB free (1048576 bytes each) the drive is refused.
    static constexpr ULONGLONG kMinimumFreeMegabytes = 30;

    explicit CSelectPathPpg(CInstallWizard& wizard);

    bool ShouldSkip() override;
    void Initialise() override;
    bool MayLeaveForwards() override;
    bool Validate() override;

    // DestinationFolder = path with a trailing backslash (empty stays empty);
    // the control shows it.
    void SetDestination(const VLString& path);
    VLFolderNameCtrl& GetFolderControl() { return m_folder; }

    // Reads the uninstall records: sets ExistingInstall, ExistingUninstallKey
    // and PreviousLocations.
    static void DetectExistingInstallation(CWizardServices& services, InstallOptionsData& options);
    // The default destination by the first rule that gives one.
    static VLString ComputeDefaultFolder(CWizardServices& services, const InstallOptionsData& options);
    static Problem CheckDestination(const VLString& path, const CheckEnvironment& environment);
    // The environment of this machine: Windows folder, folder creation and
    // free space of the platform services.
    static CheckEnvironment MachineEnvironment(const VLStringArray& previousLocations);
    // "C:" or "\\server\share" of a path; empty for a relative path.
    static VLString GetDrivePart(const VLString& path);

private:
    VLStaticText m_label;
    VLFolderNameCtrl m_folder;
};
