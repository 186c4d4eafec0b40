#include "CLicensePpg.h"

#include "CInstallWizard.h"
#include "CLayoutHelper.h"
#include "CSelectPathPpg.h"
#include "CWizardServices.h"
#include "VLFileLoaderText.h"
#include "VLLayoutUnits.h"

namespace {

// Counts the countdown's seconds for the whole process.
int g_countdownCounter = 30;

}  // namespace

CLicensePpg::CLicensePpg(CInstallWizard& wizard)
    : CWizardPropertyPage(wizard, L"Welcome", L"Welcome to the Install Wizard.")
{
}

int CLicensePpg::GetCountdownCounter()
{
    return g_countdownCounter;
}

VLString CLicensePpg::GetNextButtonText()
{
    return Services().Translate(L"Accept");
}

VLString CLicensePpg::LoadLicenseText(const VLString& path)
{
    VLString text;
    if (!VLLoadTextFile(path.GetString(), text))
        return VLString();
    return text;
}

void CLicensePpg::Initialise()
{
    using VLLayoutUnits::Scale;
    CLayoutHelper layout(GetContentRect(), Scale(6));
    VLControl::CreateArgs args;
    args.parent = m_hwnd;
    args.id = 100;
    args.text = Services().Translate(L"Please read the following license agreement carefully.");
    args.rect = layout.TakeTop(CLayoutHelper::MeasureTextHeight(args.text, layout.GetRemainingWidth(),
                                                                VLLayoutUnits::GetFont()));
    (void)m_label.Create(args);
    args.id = 101;
    args.text = LoadLicenseText(Services().GetInstallerFolder() + L"license.txt");
    args.rect = layout.GetRemaining();
    (void)m_text.Create(args);

    m_installWizard.GetCancelButton().SetFocus();
    SetTimer(kTimerStart, 10);
}

void CLicensePpg::OnTimer(UINT_PTR id)
{
    switch (id) {
    case kTimerStart: {
        KillTimer(kTimerStart);
        CSelectPathPpg::DetectExistingInstallation(Services(), Options());
        CToolsSection section = Services().OpenSection(L"Installer", kVLScopeMachine);
        if (Options().Silent || Options().Upgrade) {
            m_installWizard.PressNext();  // the licence counts as accepted
        } else if (section.GetInt(L"Run Auto Install", 0) != 0) {
            m_countdownRunning = true;
            SetTimer(kTimerAutoInstall, kAutoInstallMilliseconds);
            SetTimer(kTimerCountdown, 1000);
        }
        break;
    }
    case kTimerCountdown: {
        int seconds = g_countdownCounter--;
        SetWindowTitle(VLString::Format(
            Services().Translate(L"%s - Install Wizard (Auto Install in %d seconds)").GetString(),
            Services().GetProductName(1), seconds));
        m_installWizard.UpdateChrome();
        break;
    }
    case kTimerAutoInstall:
        StopCountdown();
        Options().Express = true;
        Options().AutoInstall = true;
        m_installWizard.PressNext();
        break;
    default:
        break;
    }
}

void CLicensePpg::StopCountdown()
{
    KillTimer(kTimerAutoInstall);
    KillTimer(kTimerCountdown);
    if (m_countdownRunning) {
        m_countdownRunning = false;
        // Back on this page later, the caption must not show a stale count.
        SetWindowTitle(GetDefaultWindowTitle());
    }
}

bool CLicensePpg::MayLeaveForwards()
{
    StopCountdown();
    return Validate();
}
