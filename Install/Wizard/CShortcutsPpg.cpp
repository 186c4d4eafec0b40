#include "CShortcutsPpg.h"

#include "CInstallWizard.h"

CShortcutsPpg::CShortcutsPpg(CInstallWizard& wizard)
    : CWizardPropertyPage(wizard, L"Create Shortcuts", L"Please select which shortcuts you would like to create.")
{
}

bool CShortcutsPpg::ShouldSkip()
{
    const InstallOptionsData& o = Options();
    return o.Silent || o.Express || o.Portable;
}
