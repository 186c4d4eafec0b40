#include "VLToolsHost.h"

#include "VLProcessRecord.h"
#include "VLTextServices.h"

#include <vector>

namespace {

struct ListSink final : IVLListSink {
    VLStringArray& items;
    explicit ListSink(VLStringArray& target) : items(target) {}
    void Add(const wchar_t* text, int length, DWORD) override { items.Add(VLString(text, length)); }
};

// The library's text operations use the module's services while it is loaded.
class ModuleTextServices final : public IVLTextServices {
public:
    IVLToolsTextServices* m_services = nullptr;
    int FindNoCase(const wchar_t* text, const wchar_t* pattern) override
    {
        return m_services->FindNoCase(text, pattern, 0);
    }
    int Compare(const wchar_t* a, const wchar_t* b, int mode) override { return m_services->Compare(a, b, mode); }
};
ModuleTextServices g_textServices;

void OnPathsChanged()
{
    if (IVLTools* tools = VLToolsHost::Get().Tools())
        tools->OnProcessPathsChanged();
}

}  // namespace

VLSettingsSection& VLSettingsSection::operator=(VLSettingsSection&& o) noexcept
{
    if (this != &o) {
        Reset();
        m_section = o.m_section;
        o.m_section = nullptr;
    }
    return *this;
}

void VLSettingsSection::Reset()
{
    if (m_section != nullptr)
        m_section->Release();
    m_section = nullptr;
}

VLString VLSettingsSection::GetPath() const
{
    VLStringSink sink;
    if (m_section != nullptr)
        m_section->GetPath(sink);
    return sink.value;
}

int VLSettingsSection::GetInt(const wchar_t* name, int defaultValue) const
{
    return m_section != nullptr ? m_section->GetInt(name, defaultValue) : defaultValue;
}

VLString VLSettingsSection::GetText(const wchar_t* name, const wchar_t* defaultValue) const
{
    VLStringSink sink;
    sink.value = defaultValue;
    if (m_section != nullptr)
        m_section->GetText(name, defaultValue, sink);
    return sink.value;
}

bool VLSettingsSection::SetInt(const wchar_t* name, int value)
{
    return m_section != nullptr && m_section->SetInt(name, value);
}

bool VLSettingsSection::SetText(const wchar_t* name, const wchar_t* value)
{
    return m_section != nullptr && m_section->SetText(name, value);
}

bool VLSettingsSection::SetTextOfKind(const wchar_t* name, const wchar_t* value, int kind)
{
    return m_section != nullptr && m_section->SetTextOfKind(name, value, kind);
}

bool VLSettingsSection::RemoveValue(const wchar_t* name)
{
    return m_section != nullptr && m_section->RemoveValue(name);
}

bool VLSettingsSection::RemoveAllValues()
{
    return m_section != nullptr && m_section->RemoveAllValues();
}

bool VLSettingsSection::RemoveSection(const wchar_t* name)
{
    return m_section != nullptr && m_section->RemoveSection(name);
}

bool VLSettingsSection::CreateSection(const wchar_t* name)
{
    return m_section != nullptr && m_section->CreateSection(name);
}

void VLSettingsSection::ListSections(VLStringArray& names) const
{
    ListSink sink(names);
    if (m_section != nullptr)
        m_section->ListSections(sink);
}

void VLSettingsSection::ListValues(VLStringArray& names) const
{
    ListSink sink(names);
    if (m_section != nullptr)
        m_section->ListValues(sink);
}

VLToolsHost& VLToolsHost::Get()
{
    static VLToolsHost s_host;
    return s_host;
}

VLString VLToolsHost::ModuleFileName()
{
    // "NuvicoreTools.dll", each unit xor 0x5A: the name does not stand in
    // the program as plain text.
    static const wchar_t kScrambled[] = {0x14, 0x2F, 0x2C, 0x33, 0x39, 0x35, 0x28, 0x3F, 0x0E,
                                         0x35, 0x35, 0x36, 0x29, 0x74, 0x3E, 0x36, 0x36, 0};
    VLString name;
    for (int i = 0; kScrambled[i] != 0; ++i)
        name += static_cast<wchar_t>(kScrambled[i] ^ 0x5A);
    return name;
}

bool VLToolsHost::Load(const VLString& folder)
{
    if (m_tools != nullptr)
        return true;
    VLString path = folder;
    if (!path.IsEmpty() && path.GetLast() != L'\\')
        path += L'\\';
    path += ModuleFileName();
    // The module's own dependencies are looked for beside it.
    VLUniqueModule module(::LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module)
        return false;
    auto entry = reinterpret_cast<VLGetToolsFn>(reinterpret_cast<void*>(::GetProcAddress(module.Get(), kVLToolsEntryName)));
    if (entry == nullptr)
        return false;
    IVLTools* tools = entry(kVLToolsInterfaceVersion);
    if (tools == nullptr || tools->GetInterfaceVersion() < kVLToolsInterfaceVersion)
        return false;
    m_module = std::move(module);
    m_tools = tools;
    g_textServices.m_services = tools->GetTextServices();
    if (g_textServices.m_services != nullptr)
        VLSetTextServices(&g_textServices);
    VLProcessRecord::SetPathsChangedNotifier(&OnPathsChanged);
    return true;
}

bool VLToolsHost::LoadProduct(const wchar_t* productName, VLString& error)
{
    error.Empty();
    if (m_tools == nullptr)
        return false;
    VLStringSink sink;
    if (m_tools->LoadProduct(productName != nullptr ? productName : L"", sink))
        return true;
    error = sink.value;
    return false;
}

bool VLToolsHost::IsProductLoaded() const
{
    return m_tools != nullptr && m_tools->IsProductLoaded();
}

void VLToolsHost::Unload(HINSTANCE hostInstance)
{
    if (m_tools == nullptr)
        return;
    m_tools->Detach(hostInstance);
    VLProcessRecord::SetPathsChangedNotifier(nullptr);
    if (VLGetTextServices() == &g_textServices)
        VLSetTextServices(nullptr);
    g_textServices.m_services = nullptr;
    m_tools = nullptr;
    m_module.Reset();
}

VLString VLToolsHost::GetProductName(int form) const
{
    VLStringSink sink;
    if (IsProductLoaded())
        m_tools->GetProductInfo()->GetName(form, sink);
    return sink.value;
}

VLString VLToolsHost::GetVersion() const
{
    VLStringSink sink;
    if (IsProductLoaded())
        m_tools->GetProductInfo()->GetVersion(sink);
    return sink.value;
}

VLString VLToolsHost::GetMainProgram() const
{
    VLStringSink sink;
    if (IsProductLoaded())
        m_tools->GetProductInfo()->GetMainProgram(sink);
    return sink.value;
}

VLString VLToolsHost::GetLauncherName() const
{
    VLStringSink sink;
    if (IsProductLoaded())
        m_tools->GetProductInfo()->GetLauncherName(sink);
    return sink.value;
}

VLString VLToolsHost::GetValue(const wchar_t* path, const wchar_t* defaultValue) const
{
    VLStringSink sink;
    sink.value = defaultValue;
    if (IsProductLoaded())
        m_tools->GetProductInfo()->GetValue(path, defaultValue, sink);
    return sink.value;
}

int VLToolsHost::GetValueInt(const wchar_t* path, int defaultValue) const
{
    return IsProductLoaded() ? m_tools->GetProductInfo()->GetValueInt(path, defaultValue) : defaultValue;
}

bool VLToolsHost::HasFeature(int number) const
{
    return IsProductLoaded() && m_tools->GetProductInfo()->HasFeature(number);
}

VLSettingsSection VLToolsHost::OpenSection(const wchar_t* path, int scope) const
{
    if (m_tools == nullptr || m_tools->GetSettings() == nullptr)
        return VLSettingsSection();
    return VLSettingsSection(m_tools->GetSettings()->OpenSection(path, scope));
}

VLString VLToolsHost::Translate(const wchar_t* text) const
{
    VLStringSink sink;
    sink.value = text;
    if (m_tools != nullptr && m_tools->GetLanguage() != nullptr)
        m_tools->GetLanguage()->Translate(text, sink);
    return sink.value;
}

int VLToolsHost::ShowBox(HWND owner, const wchar_t* caption, const wchar_t* text,
                         std::initializer_list<const wchar_t*> buttons, bool translateText)
{
    if (m_tools == nullptr || m_tools->GetMessages() == nullptr || buttons.size() == 0)
        return -1;
    VLStringArray translated;
    for (const wchar_t* button : buttons)
        translated.Add(Translate(button));
    std::vector<const wchar_t*> pointers;
    for (int i = 0; i < translated.GetCount(); ++i)
        pointers.push_back(translated[i]);
    return m_tools->GetMessages()->ShowBox(owner, Translate(caption), translateText ? Translate(text) : VLString(text), pointers.data(),
                                           static_cast<int>(pointers.size()));
}

bool VLToolsHost::ShowLanguageSelection(HWND owner)
{
    return m_tools != nullptr && m_tools->GetLanguage() != nullptr && m_tools->GetLanguage()->ShowLanguageSelection(owner);
}

bool VLToolsHost::FolderExists(const wchar_t* folder) const
{
    return m_tools != nullptr && m_tools->GetFileServices() != nullptr && m_tools->GetFileServices()->FolderExists(folder);
}
