#pragma once
// The installer's common page base: fixed header texts, the window title
// "<product> - Install Wizard", and the rule that turns a page's wish to be
// skipped into express and silent runs (AcceptActivation).

#include "InstallOptions.h"
#include "VLWizardPageWnd.h"

class CInstallWizard;
class CWizardServices;

class CWizardPropertyPage : public VLWizardPageWnd {
public:
    // Header title and description are translated here.
    CWizardPropertyPage(CInstallWizard& wizard, const wchar_t* headerTitle, const wchar_t* headerDescription);

    // Shown when ShouldSkip is false. A page that wants to be skipped is
    // skipped only when Validate accepts its defaults; otherwise express
    // mode ends and the page is shown so the user answers.
    bool AcceptActivation() override;
    bool MayLeaveForwards() override { return Validate(); }
    VLString GetWindowTitle() override { return m_windowTitle; }
    VLString GetHeaderTitle() override { return m_headerTitle; }
    VLString GetHeaderDescription() override { return m_headerDescription; }

    virtual bool ShouldSkip() = 0;
    // Runs once, when the page's window is first created.
    virtual void Initialise() {}
    // Checks and stores the page's answers.
    virtual bool Validate() { return true; }

    void SetWindowTitle(const VLString& title) { m_windowTitle = title; }
    // The title every page starts with.
    VLString GetDefaultWindowTitle() const;
    bool IsInitialised() const { return m_initialised; }

    CInstallWizard& GetInstallWizard() const { return m_installWizard; }
    CWizardServices& Services() const;
    InstallOptionsData& Options() const;

protected:
    void OnCreatePage() override;
    // The page's client area less its inner margins, in pixels.
    RECT GetContentRect() const;

    CInstallWizard& m_installWizard;
    VLString m_windowTitle;
    VLString m_headerTitle;
    VLString m_headerDescription;
    bool m_initialised = false;
};
