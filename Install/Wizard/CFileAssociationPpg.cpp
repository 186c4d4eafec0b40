#include "CFileAssociationPpg.h"

#include "CInstallWizard.h"

CFileAssociationPpg::CFileAssociationPpg(CInstallWizard& wizard)
    : CWizardPropertyPage(wizard, L"File Associations", L"Please select the file associations.")
{
}

bool CFileAssociationPpg::ShouldSkip()
{
    const InstallOptionsData& o = Options();
    return o.Silent || (o.Express && o.ExistingInstall) || o.Portable;
}
