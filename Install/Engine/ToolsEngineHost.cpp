#include "ToolsEngineHost.h"

#include <vector>

namespace {

struct CTextSink : IVLTextSink {
    VLString Text;
    void Set(const wchar_t* text, int length) override { Text = length < 0 ? VLString(text) : VLString(text, length); }
};

// Owns one section of the module and releases it.
class CToolsSection : public ISettingsSection {
public:
    explicit CToolsSection(IVLSection* section) : m_section(section) {}
    ~CToolsSection() override { m_section->Release(); }
    CToolsSection(const CToolsSection&) = delete;
    CToolsSection& operator=(const CToolsSection&) = delete;

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

std::unique_ptr<ISettingsSection> Wrap(IVLSection* section)
{
    return section ? std::make_unique<CToolsSection>(section) : nullptr;
}

}  // namespace

VLString CToolsEngineHost::Translate(const VLString& text)
{
    IVLLanguage* language = m_tools ? m_tools->GetLanguage() : nullptr;
    if (!language)
        return text;
    CTextSink sink;
    sink.Text = text;
    language->Translate(text, sink);
    return sink.Text;
}

VLString CToolsEngineHost::MessageBox(const VLString& caption, const VLString& text, const VLStringArray& buttons)
{
    IVLMessages* messages = m_tools ? m_tools->GetMessages() : nullptr;
    if (!messages || buttons.GetCount() == 0)
        return VLString();
    std::vector<const wchar_t*> captions;
    for (int i = 0; i < buttons.GetCount(); ++i)
        captions.push_back(buttons[i]);
    int pressed = messages->ShowBox(m_owner, caption, text, captions.data(), static_cast<int>(captions.size()));
    return pressed >= 0 && pressed < buttons.GetCount() ? buttons[pressed] : VLString();
}

std::unique_ptr<ISettingsSection> CToolsEngineHost::OpenSection(const wchar_t* path, int scope)
{
    IVLSettings* settings = m_tools ? m_tools->GetSettings() : nullptr;
    return settings ? Wrap(settings->OpenSection(path, scope)) : nullptr;
}

std::unique_ptr<ISettingsSection> CToolsEngineHost::OpenRegistryKey(HKEY root, const wchar_t* path)
{
    IVLSettings* settings = m_tools ? m_tools->GetSettings() : nullptr;
    return settings ? Wrap(settings->OpenRegistryKey(root, path, true)) : nullptr;
}

VLString CToolsEngineHost::CurrentDateTimeText()
{
    CTextSink sink;
    if (m_tools)
        m_tools->GetLocalDateTime(sink);
    return sink.Text;
}

void VLFillProductInfo(IVLProductInfo* info, CProductInfo& product)
{
    if (!info)
        return;
    CTextSink sink;
    auto take = [&sink](VLString& field) {
        field = sink.Text;
        sink.Text.Empty();
    };
    info->GetName(1, sink);
    take(product.NameForm1);
    info->GetName(3, sink);
    take(product.NameForm3);
    info->GetVersion(sink);
    take(product.VersionDesignation);
    info->GetWebAddress(sink);
    take(product.WebAddress);
    info->GetMainProgram(sink);
    take(product.MainProgramFile);
    info->GetLauncherName(sink);
    take(product.LauncherName);
}
