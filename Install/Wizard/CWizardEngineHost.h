#pragma once
// The install engine's host for the wizard's pages: the tools module's
// services (CToolsEngineHost) with the message boxes owned by the wizard
// window, which is asked for each time a box is shown (the pages create
// their hosts before the window exists).

#include "ToolsEngineHost.h"

#include <functional>

class CWizardServices;

class CWizardEngineHost : public CToolsEngineHost {
public:
    CWizardEngineHost(CWizardServices& services, std::function<HWND()> owner);

    VLString MessageBox(const VLString& caption, const VLString& text, const VLStringArray& buttons) override;

private:
    std::function<HWND()> m_owner;
};
