#include "CSetupTypePpg.h"

#include "CChoiceLayout.h"
#include "CInstallWizard.h"
#include "CWizardServices.h"
#include "VLLayoutUnits.h"

CSetupTypePpg::CSetupTypePpg(CInstallWizard& wizard)
    : CWizardPropertyPage(wizard, L"Setup Type", L"Choose the setup type that best suits your needs.")
{
}

bool CSetupTypePpg::ShouldSkip()
{
    if (Options().AutoInstall)
        return true;
    if (Options().Upgrade) {
        Options().Express = true;
        return true;
    }
    return Options().Silent;
}

void CSetupTypePpg::Initialise()
{
    using VLLayoutUnits::Scale;
    CWizardServices& s = Services();
    CLayoutHelper layout(GetContentRect(), Scale(4));
    CChoiceLayout::AddPrompt(layout, m_hwnd, m_prompt, s.Translate(L"Please select a setup type."));
    CChoiceLayout::AddChoice(layout, m_hwnd, m_express, m_expressText, s.Translate(L"Express"),
                             s.Translate(L"Most common set of program features will be installed."), true, 100);
    CChoiceLayout::AddChoice(
        layout, m_hwnd, m_custom, m_customText, s.Translate(L"Custom"),
        s.Translate(L"Choose program installation location and file associations. Recommended for advanced users."),
        false, 102);
    m_express.SetChecked(true);

    CToolsSection section = s.OpenSection(L"Installer", kVLScopeMachine);
    VLControl::CreateArgs args;
    args.parent = m_hwnd;
    args.id = 104;
    args.text = s.Translate(L"Next time use Auto Install after 30 second timeout.");
    args.rect = layout.TakeBottom(Scale(17));
    (void)m_autoInstall.Create(args);
    m_autoInstall.SetChecked(section.GetInt(L"Run Auto Install", 0) != 0);
}

bool CSetupTypePpg::MayLeaveForwards()
{
    Options().Portable = false;  // the custom page that follows sets it again
    Options().Express = m_express.IsChecked();
    CToolsSection section = Services().OpenSection(L"Installer", kVLScopeMachine);
    if (section.IsOpen())
        section.SetInt(L"Run Auto Install", m_autoInstall.IsChecked() ? 1 : 0);
    return true;
}
