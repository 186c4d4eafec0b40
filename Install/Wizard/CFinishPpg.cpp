#include "CFinishPpg.h"

#include "CInstallWizard.h"
#include "CWizardServices.h"

CFinishPpg::CFinishPpg(CInstallWizard& wizard)
    : CWizardPropertyPage(wizard, L"Install Complete", L"")
{
    m_headerDescription = Services().Translate(L"Thank you for installing ") + Services().GetProductName(1);
}

bool CFinishPpg::ShouldSkip()
{
    const InstallOptionsData& o = Options();
    return o.Silent;
}
