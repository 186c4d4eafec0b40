#include "CWizardServices.h"

#include "VLProcessRecord.h"

namespace {

// Collects one text answer of the module.
class TextSink : public IVLTextSink {
public:
    explicit TextSink(const VLString& initial) : m_text(initial) {}
    void Set(const wchar_t* text, int length) override
    {
        m_text = length < 0 ? VLString(text ? text : L"") : VLString(text, length);
    }
    const VLString& Get() const { return m_text; }

private:
    VLString m_text;
};

class ListSink : public IVLListSink {
public:
    void Add(const wchar_t* text, int length, DWORD) override
    {
        m_items.Add(length < 0 ? VLString(text ? text : L"") : VLString(text, length));
    }
    VLStringArray m_items;
};

bool FileExists(const VLString& path)
{
    DWORD attributes = ::GetFileAttributesW(path.GetString());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CToolsSection& CToolsSection::operator=(CToolsSection&& other) noexcept
{
    if (this != &other) {
        Reset();
        m_section = other.m_section;
        other.m_section = nullptr;
    }
    return *this;
}

void CToolsSection::Reset() noexcept
{
    if (m_section) {
        m_section->Release();
        m_section = nullptr;
    }
}

int CToolsSection::GetInt(const wchar_t* name, int defaultValue) const
{
    return m_section ? m_section->GetInt(name, defaultValue) : defaultValue;
}

VLString CToolsSection::GetText(const wchar_t* name, const wchar_t* defaultValue) const
{
    TextSink sink(defaultValue);
    if (m_section)
        m_section->GetText(name, defaultValue, sink);
    return sink.Get();
}

bool CToolsSection::SetInt(const wchar_t* name, int value)
{
    return m_section && m_section->SetInt(name, value);
}

VLStringArray CToolsSection::ListSections() const
{
    ListSink sink;
    if (m_section)
        m_section->ListSections(sink);
    return sink.m_items;
}

CWizardServices::CWizardServices(IVLTools* tools, const VLString& installerFolder)
    : m_tools(tools), m_installerFolder(installerFolder)
{
}

VLString CWizardServices::Translate(const VLString& text) const
{
    IVLLanguage* language = m_tools ? m_tools->GetLanguage() : nullptr;
    if (!language)
        return text;
    TextSink sink(text);
    language->Translate(text.GetString(), sink);
    return sink.Get();
}

VLString CWizardServices::GetProductName(int form) const
{
    IVLProductInfo* info = m_tools ? m_tools->GetProductInfo() : nullptr;
    TextSink sink(L"");
    if (info)
        info->GetName(form, sink);
    return sink.Get();
}

bool CWizardServices::HasFeature(int number) const
{
    IVLProductInfo* info = m_tools ? m_tools->GetProductInfo() : nullptr;
    return info && info->HasFeature(number);
}

VLString CWizardServices::GetConfigText(const wchar_t* path, const wchar_t* defaultValue) const
{
    IVLProductInfo* info = m_tools ? m_tools->GetProductInfo() : nullptr;
    TextSink sink(defaultValue);
    if (info)
        info->GetValue(path, defaultValue, sink);
    return sink.Get();
}

void CWizardServices::ShowMessage(HWND owner, const VLString& caption, const VLString& text) const
{
    IVLMessages* messages = m_tools ? m_tools->GetMessages() : nullptr;
    if (!messages)
        return;
    VLString ok = Translate(L"OK");
    const wchar_t* buttons[] = {ok.GetString()};
    messages->ShowBox(owner, caption.GetString(), text.GetString(), buttons, 1);
}

bool CWizardServices::AskYesNo(HWND owner, const VLString& caption, const VLString& text) const
{
    IVLMessages* messages = m_tools ? m_tools->GetMessages() : nullptr;
    return messages && messages->ShowYesNo(owner, caption.GetString(), text.GetString()) == IDYES;
}

CToolsSection CWizardServices::OpenSection(const wchar_t* path, int scope) const
{
    IVLSettings* settings = m_tools ? m_tools->GetSettings() : nullptr;
    return CToolsSection(settings ? settings->OpenSection(path, scope) : nullptr);
}

CToolsSection CWizardServices::OpenRegistryKey(HKEY root, const wchar_t* path) const
{
    IVLSettings* settings = m_tools ? m_tools->GetSettings() : nullptr;
    return CToolsSection(settings ? settings->OpenRegistryKey(root, path, false) : nullptr);
}

VLString CWizardServices::GetInstalledProgramFolder() const
{
    return VLProcessRecord::Get().GetInstallPath();
}

VLString CWizardServices::FindArtFile(const VLString& name) const
{
    if (m_artLookup)
        return m_artLookup(name);
    for (const wchar_t* sub : {L"", L"Quenbox\\"}) {
        VLString path = m_installerFolder + sub + name;
        if (FileExists(path))
            return path;
    }
    return VLString();
}
