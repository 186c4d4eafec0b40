#pragma once
// The installer's application object: its Initialize is the whole start-up
// sequence, ending with the wizard run; it always returns false, so the
// process ends after Shutdown with the exit code the start-up settled on
// (see InstallExitCodes.h).

#include "InstallExitCodes.h"
#include "VLApp.h"
#include "VLHandle.h"

#include <functional>
#include <memory>

enum class InstallCheckResult {
    Passed,
    Refused,   // a check failed (rights, processor, Windows, browser...)
    Declined,  // the user declined, for example to close a running copy
};

// Steps whose work lives in libraries the application does not link: the
// program's main sets them. An unset step is skipped (the checks pass).
struct CInstallStartupHooks {
    std::function<void()> applySkin;                  // only when the module offers its skin service
    std::function<InstallCheckResult()> checkEnvironment;
    // Creates the wizard, runs it modally and destroys it; the exit code.
    std::function<int()> runWizard;
};

class CInstallApp : public VLGraphicalApp {
public:
    static constexpr const wchar_t* kMutexName = L"Global\\Velmora Installer";

    CInstallApp();
    ~CInstallApp() override;

    static CInstallApp* GetCurrent() { return static_cast<CInstallApp*>(VLApp::GetCurrent()); }

    bool Initialize() override;

    CInstallStartupHooks& Hooks() { return m_hooks; }
    // The step the last start-up ended at: 17 when it ran through.
    int GetLastStep() const { return m_lastStep; }
    bool ChecksWereSkipped() const { return m_checksSkipped; }

    // Ctrl, Shift and F all held down.
    static bool SkipKeysHeld();

private:
    struct MutexHolder {
        DWORD createError = 0;
        VLUniqueHandleObj mutex;
    };

    bool Exit(int step, int exitCode);
    void CleanVirtualStore(VLUniqueKey& machine, VLUniqueKey& wow);
    void ShowCriticalError(const VLString& error) const;
    void RenameLauncher() const;

    std::unique_ptr<MutexHolder> m_mutexHolder;
    CInstallStartupHooks m_hooks;
    int m_lastStep = 0;
    bool m_checksSkipped = false;
};
