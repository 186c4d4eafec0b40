#include "CWizardEngineHost.h"

#include "CWizardServices.h"

#include <utility>

CWizardEngineHost::CWizardEngineHost(CWizardServices& services, std::function<HWND()> owner)
    : CToolsEngineHost(services.GetTools(), nullptr), m_owner(std::move(owner))
{
}

VLString CWizardEngineHost::MessageBox(const VLString& caption, const VLString& text, const VLStringArray& buttons)
{
    if (m_owner)
        SetOwner(m_owner());
    return CToolsEngineHost::MessageBox(caption, text, buttons);
}
