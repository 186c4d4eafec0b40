#include "CWizardEngineHost.h"

#include "CWizardServices.h"

#include <utility>
#include <vector>

namespace {

class TextSink : public IVLTextSink {
public:
    void Set(const wchar_t* text, int length) override
    {
        m_text = length < 0 ? VLString(text ? text : L"") : VLString(text, length);
    }
    VLString m_text;
};

// A settings section of the tools module; released with the object.
class CToolsSettingsSection : public ISettingsSection {
public:
    explicit CToolsSettingsSection(IVLSection* section) : m_section(section) {}
    ~CToolsSettingsSection() override { m_section->Release(); }
    CToolsSettingsSection(const CToolsSettingsSection&) = delete;
    CToolsSettingsSection& operator=(const CToolsSettingsSection&) = delete;

    int GetInt(const wchar_t* name, int defaultValue) override { return m_section->GetInt(name, defaultValue); }
    void SetInt(const wchar_t* name, int value) override { m_section->SetInt(name, value); }
    void SetText(const wchar_t* name, const wchar_t* text, int kind) override
    {
        m_section->SetTextOfKind(name, text, kind);
    }
    void RemoveValue(const wchar_t* name) override { m_section->RemoveValue(name); }

private:
    IVLSection* m_section;
};

}  // namespace

CWizardEngineHost::CWizardEngineHost(CWizardServices& services, std::function<HWND()> owner)
    : m_services(services), m_owner(std::move(owner))
{
}

VLString CWizardEngineHost::Translate(const VLString& text)
{
    return m_services.Translate(text);
}

VLString CWizardEngineHost::MessageBox(const VLString& caption, const VLString& text, const VLStringArray& buttons)
{
    IVLTools* tools = m_services.GetTools();
    IVLMessages* messages = tools ? tools->GetMessages() : nullptr;
    if (!messages || buttons.GetCount() == 0)
        return VLString();
    std::vector<const wchar_t*> captions;
    for (int i = 0; i < buttons.GetCount(); ++i)
        captions.push_back(buttons[i].GetString());
    HWND owner = m_owner ? m_owner() : nullptr;
    int pressed = messages->ShowBox(owner, caption.GetString(), text.GetString(), captions.data(),
                                    static_cast<int>(captions.size()));
    // A box that could not be shown answers nothing, which no caller takes
    // for its "Retry".
    if (pressed < 0 || pressed >= buttons.GetCount())
        return VLString();
    return buttons[pressed];
}

std::unique_ptr<ISettingsSection> CWizardEngineHost::OpenSection(const wchar_t* path, int scope)
{
    IVLTools* tools = m_services.GetTools();
    IVLSettings* settings = tools ? tools->GetSettings() : nullptr;
    IVLSection* section = settings ? settings->OpenSection(path, scope) : nullptr;
    if (!section)
        return nullptr;
    return std::make_unique<CToolsSettingsSection>(section);
}

std::unique_ptr<ISettingsSection> CWizardEngineHost::OpenRegistryKey(HKEY root, const wchar_t* path)
{
    IVLTools* tools = m_services.GetTools();
    IVLSettings* settings = tools ? tools->GetSettings() : nullptr;
    IVLSection* key = settings ? settings->OpenRegistryKey(root, path, true) : nullptr;
    if (!key)
        return nullptr;
    return std::make_unique<CToolsSettingsSection>(key);
}

VLString CWizardEngineHost::CurrentDateTimeText()
{
    IVLTools* tools = m_services.GetTools();
    TextSink sink;
    if (tools)
        tools->GetLocalDateTime(sink);
    return sink.m_text;
}
