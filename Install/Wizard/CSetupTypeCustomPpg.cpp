#include "CSetupTypeCustomPpg.h"

#include "CChoiceLayout.h"
#include "CInstallWizard.h"
#include "CWizardServices.h"
#include "VLLayoutUnits.h"

CSetupTypeCustomPpg::CSetupTypeCustomPpg(CInstallWizard& wizard)
    : CWizardPropertyPage(wizard, L"Setup Type", L"Choose the setup type that best suits your needs.")
{
}

bool CSetupTypeCustomPpg::ShouldSkip()
{
    if (!Services().HasFeature(173))
        return true;  // portable installs are not offered for this product
    return Options().Silent || Options().Express;
}

void CSetupTypeCustomPpg::Initialise()
{
    using VLLayoutUnits::Scale;
    CWizardServices& s = Services();
    CLayoutHelper layout(GetContentRect(), Scale(4));
    CChoiceLayout::AddPrompt(layout, m_hwnd, m_prompt, s.Translate(L"Please select custom setup type."));
    CChoiceLayout::AddChoice(layout, m_hwnd, m_normal, m_normalText, s.Translate(L"Normal install to a computer"),
                             s.Translate(L"This will let you install the program to any location on your computer.  "
                                         L"You can choose the drive and path."),
                             true, 100);
    CChoiceLayout::AddChoice(layout, m_hwnd, m_portable, m_portableText, s.Translate(L"Portable install"),
                             s.Translate(L"This lets you put a complete copy of the program on a removable drive, so "
                                         L"you can take it to another compatible computer and run it.  This will "
                                         L"also ask for a drive and path."),
                             false, 102);
    m_normal.SetChecked(true);
}

bool CSetupTypeCustomPpg::MayLeaveForwards()
{
    if (!ShouldSkip())
        Options().Portable = m_portable.IsChecked();
    return true;
}
