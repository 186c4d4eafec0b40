#pragma once
// The install wizard: the eight pages in their fixed order, the window title
// and icons, and the close request (Escape, Alt+F4, the close box) that asks
// before cancelling and refuses once the copy step has started.

#include "CCopyAndInstallPpg.h"
#include "CFileAssociationPpg.h"
#include "CFinishPpg.h"
#include "CLicensePpg.h"
#include "CSelectPathPpg.h"
#include "CSetupTypeCustomPpg.h"
#include "CSetupTypePpg.h"
#include "CShortcutsPpg.h"
#include "InstallOptions.h"
#include "VLHandle.h"
#include "VLWizardPopupWnd.h"

class CWizardServices;

class CInstallWizard : public VLWizardPopupWnd {
public:
    // Page indexes that do not move (the later ones depend on the product).
    enum : int { kLicensePage = 0, kSetupTypePage = 1, kSetupTypeCustomPage = 2, kSelectPathPage = 3 };
    // Pages past this index come after the copy step has started.
    static constexpr int kLastCancellablePage = 3;

    // Builds the pages and the list; the file association page is in the
    // list only when the product has feature 176.
    CInstallWizard(CWizardServices& services, InstallOptionsData& options);
    ~CInstallWizard() override;

    // Creates the window (shows page 0), sets the title and the icons.
    [[nodiscard]] bool Create();
    // Runs until the wizard finishes (1), is cancelled (2) or a page ends it.
    int Run() { return RunModal(); }

    VLString Translate(const VLString& text) override;
    // Moves the wizard on as the Next button would, once the current
    // message is handled (pages use it from their timers).
    void PressNext();

    CWizardServices& GetServices() const { return m_services; }
    InstallOptionsData& GetOptions() const { return m_options; }

    CLicensePpg& GetLicensePage() { return m_license; }
    CSetupTypePpg& GetSetupTypePage() { return m_setupType; }
    CSetupTypeCustomPpg& GetSetupTypeCustomPage() { return m_setupTypeCustom; }
    CSelectPathPpg& GetSelectPathPage() { return m_selectPath; }
    CCopyAndInstallPpg& GetCopyAndInstallPage() { return m_copyAndInstall; }

protected:
    void OnCloseRequest() override;

private:
    CWizardServices& m_services;
    InstallOptionsData& m_options;
    CLicensePpg m_license;
    CSetupTypePpg m_setupType;
    CSetupTypeCustomPpg m_setupTypeCustom;
    CSelectPathPpg m_selectPath;
    CCopyAndInstallPpg m_copyAndInstall;
    CFileAssociationPpg m_fileAssociation;
    CShortcutsPpg m_shortcuts;
    CFinishPpg m_finish;
    VLString m_windowTitle;
    VLUniqueIcon m_largeIcon;
    VLUniqueIcon m_smallIcon;
    VLUniqueIcon m_headerIcon;
};
