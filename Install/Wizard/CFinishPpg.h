#pragma once
// The finish page. The first time it is built it completes the installation
// (CInstallCompletion: deferred files for the completion program, restart
// decision, counters, the product's own registration), then offers
// "Restart Windows now" or "Run installed program now". Finish restarts
// Windows after a confirmation, or leaves Finish.txt naming the program to
// start; the installer itself starts no program.

#include <memory>

#include "CInstallCompletion.h"
#include "CSystemShutdown.h"
#include "CWizardPropertyPage.h"
#include "ComponentRunner.h"
#include "VLButton.h"
#include "VLStaticText.h"

class CToolsEngineHost;

class CFinishPpg : public CWizardPropertyPage {
public:
    explicit CFinishPpg(CInstallWizard& wizard);
    ~CFinishPpg() override;

    // Silent runs never show the page; express runs skip it when the
    // product is to be run (Finish then runs as if the box were ticked).
    bool ShouldSkip() override;
    bool IsBackEnabled() override { return false; }
    bool IsCancelEnabled() override { return false; }
    // Completes the installation, then builds the controls.
    void Initialise() override;
    // Leaving by Finish: settles the mode from the boxes when the page was
    // shown, then runs Finish. False keeps the wizard on this page.
    bool Validate() override;

    // Where a restart goes; null puts Windows' own back. Tests give one
    // that records the request instead of ending the session.
    void SetSystemShutdown(CSystemShutdown* shutdown) { m_shutdown = shutdown ? shutdown : &m_systemShutdown; }
    // Where the completion program's RunOnce entry goes (HKEY_CURRENT_USER).
    void SetRunOnceRoot(HKEY root) { m_runOnceRoot = root; }

    bool IsRestartNeeded() const { return m_result.RestartNeeded; }
    ECompletionMode GetCompletionMode() const { return m_mode; }
    bool HasRestartCheckBox() const { return m_restartBox.GetHwnd() != nullptr; }
    bool HasRunCheckBox() const { return m_runBox.GetHwnd() != nullptr; }

private:
    bool Finish();
    CToolsEngineHost& Host();
    VLString GetMainProgramFile() const;
    VLString GetDestinationFolder() const;

    CCompletionResult m_result;
    ECompletionMode m_mode = ECompletionMode::Nothing;
    VLStaticText m_resultText;
    VLCheckBox m_restartBox;
    VLCheckBox m_runBox;

    std::unique_ptr<CToolsEngineHost> m_host;
    CWin32ComponentRunner m_runner;
    CSystemShutdown m_systemShutdown;
    CSystemShutdown* m_shutdown = &m_systemShutdown;
    HKEY m_runOnceRoot = HKEY_CURRENT_USER;
};
