#include "CCopyAndInstallPpg.h"

#include "CInstallWizard.h"

CCopyAndInstallPpg::CCopyAndInstallPpg(CInstallWizard& wizard)
    : CWizardPropertyPage(wizard, L"Installing Dependencies", L"Please wait while Install Wizard installs dependencies.")
{
}

bool CCopyAndInstallPpg::ShouldSkip()
{
    return false;
}
