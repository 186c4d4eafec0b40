#pragma once
// The install engine's view of the product tools module, served through the
// wizard's services: translation, the module's message boxes (owned by the
// wizard window), settings sections and the date text.

#include "EngineContext.h"

#include <functional>

class CWizardServices;

class CWizardEngineHost : public IEngineHost {
public:
    // `owner` gives the window that owns the boxes, asked each time one is shown.
    CWizardEngineHost(CWizardServices& services, std::function<HWND()> owner);

    VLString Translate(const VLString& text) override;
    VLString MessageBox(const VLString& caption, const VLString& text, const VLStringArray& buttons) override;
    std::unique_ptr<ISettingsSection> OpenSection(const wchar_t* path, int scope) override;
    std::unique_ptr<ISettingsSection> OpenRegistryKey(HKEY root, const wchar_t* path) override;
    VLString CurrentDateTimeText() override;

private:
    CWizardServices& m_services;
    std::function<HWND()> m_owner;
};
