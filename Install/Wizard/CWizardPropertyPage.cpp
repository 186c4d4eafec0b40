#include "CWizardPropertyPage.h"

#include "CInstallWizard.h"
#include "CWizardServices.h"
#include "VLLayoutUnits.h"

CWizardPropertyPage::CWizardPropertyPage(CInstallWizard& wizard, const wchar_t* headerTitle,
                                         const wchar_t* headerDescription)
    : m_installWizard(wizard)
{
    m_windowTitle = GetDefaultWindowTitle();
    m_headerTitle = wizard.GetServices().Translate(headerTitle);
    m_headerDescription = wizard.GetServices().Translate(headerDescription);
}

VLString CWizardPropertyPage::GetDefaultWindowTitle() const
{
    CWizardServices& services = m_installWizard.GetServices();
    return services.GetProductName(1) + L" - " + services.Translate(L"Install Wizard");
}

CWizardServices& CWizardPropertyPage::Services() const
{
    return m_installWizard.GetServices();
}

InstallOptionsData& CWizardPropertyPage::Options() const
{
    return m_installWizard.GetOptions();
}

bool CWizardPropertyPage::AcceptActivation()
{
    if (!ShouldSkip())
        return true;
    if (Validate())
        return false;
    // The defaults do not hold: ask after all, and stop skipping from here on.
    Options().Express = false;
    return true;
}

void CWizardPropertyPage::OnCreatePage()
{
    if (m_initialised)
        return;
    m_initialised = true;
    Initialise();
}

RECT CWizardPropertyPage::GetContentRect() const
{
    RECT client{};
    if (m_hwnd)
        ::GetClientRect(m_hwnd, &client);
    using VLLayoutUnits::Scale;
    return RECT{client.left + Scale(8), client.top + Scale(4), client.right - Scale(8), client.bottom - Scale(4)};
}
