#pragma once
// The copy-and-install page: a status line, a progress bar and a rotating
// promotional picture, and the installation itself as a chain of one-shot
// window timers on the wizard's thread:
//   0 dependencies, 1 copy and install, 2 plug-ins and services,
//   3 start of the finishing wait, 4 finishing wait (every 333 ms until the
//   last picture has had its time), 5 done: the wizard moves on by itself.
// Timer 100 turns the pictures. Between sub-steps the page pumps the waiting
// window messages so that it keeps painting; Back, Next and Cancel stay off
// (Cancel only while a dependency downloads), so no click can start a step
// twice.

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

#include "CInstallSteps.h"
#include "CWizardPropertyPage.h"
#include "EngineContext.h"
#include "VLPictureCtrl.h"
#include "VLProgressBar.h"
#include "VLStaticText.h"

class CWizardEngineHost;
class CWin32ComponentRunner;

// Promotion timing from "/*/Installer/PromoCount" and
// "/*/Installer/PromoMinimumMilliseconds": at least one picture and at least
// one second in all.
struct CPromoTiming {
    int Count = 1;
    int TotalMilliseconds = 1000;
    int PeriodMilliseconds() const { return TotalMilliseconds / Count; }
    static CPromoTiming FromValues(int count, int totalMilliseconds);
};

class CCopyAndInstallPpg : public CWizardPropertyPage, public IEngineProgress {
public:
    enum : UINT_PTR { kTimerDependencies = 0, kTimerCopy = 1, kTimerPlugins = 2, kTimerFinishStart = 3,
                      kTimerFinishWait = 4, kTimerDone = 5, kTimerPromo = 100 };
    static constexpr UINT kFinishTickMilliseconds = 333;

    explicit CCopyAndInstallPpg(CInstallWizard& wizard);
    ~CCopyAndInstallPpg() override;

    bool ShouldSkip() override { return false; }
    bool IsBackEnabled() override { return false; }
    bool IsNextEnabled() override { return m_finished; }
    bool IsCancelEnabled() override { return m_cancelAllowed; }
    void OnCancel() override { m_dependencies.SetCancelled(); }

    // The later work the page asks for; null puts the default (nothing yet) back.
    void SetInstallSteps(CInstallSteps* steps);

    // IEngineProgress: the bar is sent a position only when it changes.
    void SetProgressRange(int low, int high) override;
    void SetProgressPos(int pos) override;
    void PumpMessages() override;

    // Status text and header while the steps run.
    void SetStatusText(const VLString& text);
    // Told every status text as it is set (tests and the benchmark time the
    // sub-steps by it).
    void SetStatusObserver(std::function<void(const VLString&)> observer) { m_statusObserver = std::move(observer); }
    VLString GetStatusText() const { return m_statusText; }
    void SetHeader(const wchar_t* title, const wchar_t* description);
    // The download of a dependency may be cancelled while this is on.
    void SetCancelAllowed(bool allowed);

    const CPromoTiming& GetPromoTiming() const { return m_promo; }
    int GetPromoIndex() const { return m_promoIndex; }
    bool ArePromosDone() const { return m_promosDone; }
    bool IsFinished() const { return m_finished; }
    int GetProgressMaximum() const { return m_progressMax; }
    int GetProgressPosition() const { return m_progressPos; }
    const VLPictureCtrl& GetPicture() const { return m_picture; }
    const VLStringArray& GetRegistrationList() const { return m_registrationList; }
    CInstallContext& GetInstallContext() { return m_context; }

    // The file of promotional picture n: "Setup\Promo<n> - <language>" before
    // "Setup\Promo<n>", ".png" before ".jpg"; empty when none exists.
    static VLString FindPromoPicture(const VLString& installerFolder, const VLString& language, int n);
    // True when nothing is to be copied: no downgrade allowed, an existing
    // installation, and its main program not older than the package's
    // (unsigned 64-bit file versions, 0 for a missing file or version).
    static bool IsDowngradeSkip(bool allowDowngrade, bool existingInstall, uint64_t installedVersion,
                                uint64_t packagedVersion);
    // Ticks of the finishing wait for the pictures still to come.
    static int FinishingTicks(const CPromoTiming& promo, int promoIndex);

protected:
    void Initialise() override;
    void OnTimer(UINT_PTR id) override;

private:
    void Advance();
    bool ShouldSkipCopying();
    void ShowPromo(int n);
    void PromoTick();
    void RunStep(UINT_PTR id);
    // The copy-and-install sequence; false when the wizard was cancelled.
    bool RunCopyAndInstall();
    void RegisterListedFiles();
    void StopMediaServer();
    void RunShellRegistration();
    // A sub-step with a status text: range 0..1, status, work, position 1.
    template <class Work>
    void StatusStep(const wchar_t* status, Work&& work);
    void PrepareContext();
    void CancelWizard();

    VLStaticText m_status;
    VLProgressBar m_progress;
    VLPictureCtrl m_picture;
    VLString m_statusText;
    std::function<void(const VLString&)> m_statusObserver;
    int m_progressMax = -1;
    int m_progressPos = -1;

    int m_step = 0;
    CPromoTiming m_promo;
    int m_promoIndex = 1;
    bool m_promosDone = false;
    bool m_finished = false;
    bool m_cancelAllowed = false;
    bool m_inStep = false;  // a step runs; pumped timers of other steps wait

    CDependencyRunner m_dependencies;
    CInstallSteps m_noSteps;
    CInstallSteps* m_steps = &m_noSteps;
    VLStringArray m_registrationList;

    CInstallContext m_context;
    std::unique_ptr<CWizardEngineHost> m_host;
    std::unique_ptr<CWin32ComponentRunner> m_runner;
};
