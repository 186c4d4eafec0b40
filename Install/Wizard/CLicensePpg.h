#pragma once
// The welcome page: the licence to read and accept. Its first timer runs
// the existing-installation detection; silent and upgrade runs then move on
// by themselves, and a stored "Run Auto Install" preference starts a 30
// second countdown in the caption that ends in Next.

#include "CWizardPropertyPage.h"
#include "VLStaticText.h"
#include "VLTextBox.h"

class CLicensePpg : public CWizardPropertyPage {
public:
    enum : UINT_PTR { kTimerStart = 1, kTimerAutoInstall = 2, kTimerCountdown = 3 };
    static constexpr UINT kAutoInstallMilliseconds = 30000;

    explicit CLicensePpg(CInstallWizard& wizard);

    bool ShouldSkip() override { return false; }
    void Initialise() override;
    // Stops the countdown before the page is left.
    bool MayLeaveForwards() override;
    VLString GetNextButtonText() override;

    // Reads "license.txt" of the installer folder: UTF-16 (either byte order)
    // or UTF-8 by their byte-order marks, otherwise UTF-8 when the bytes are
    // valid UTF-8 and the ANSI code page when not. Empty when unreadable.
    static VLString LoadLicenseText(const VLString& path);

    // The process-wide countdown counter (starts at 30, never reset).
    static int GetCountdownCounter();
    bool IsCountdownRunning() const { return m_countdownRunning; }
    VLTextBox& GetTextBox() { return m_text; }

protected:
    void OnTimer(UINT_PTR id) override;

private:
    void StopCountdown();

    VLStaticText m_label;
    VLTextBox m_text;
    bool m_countdownRunning = false;
};
