#pragma once
// The engine's host over the product tools module: translation, message
// boxes, settings sections and registry keys, the date text; and the product
// information the records need.

#include "EngineContext.h"
#include "VLToolsInterface.h"

class CToolsEngineHost : public IEngineHost {
public:
    // tools must outlive the host; owner is the window boxes belong to.
    CToolsEngineHost(IVLTools* tools, HWND owner) : m_tools(tools), m_owner(owner) {}

    VLString Translate(const VLString& text) override;
    // The caption of the pressed button; empty when the box could not be shown.
    VLString MessageBox(const VLString& caption, const VLString& text, const VLStringArray& buttons) override;
    std::unique_ptr<ISettingsSection> OpenSection(const wchar_t* path, int scope) override;
    std::unique_ptr<ISettingsSection> OpenRegistryKey(HKEY root, const wchar_t* path) override;
    VLString CurrentDateTimeText() override;

    void SetOwner(HWND owner) { m_owner = owner; }

private:
    IVLTools* m_tools;
    HWND m_owner;
};

// Everything of CProductInfo the product information service knows; the
// application icon comes from the art lookup and is left as it is.
void VLFillProductInfo(IVLProductInfo* info, CProductInfo& product);
