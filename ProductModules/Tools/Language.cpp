#include "Language.h"

#include "MessageDialog.h"
#include "SettingsStore.h"
#include "ToolsSinks.h"
#include "VLFileLoaderText.h"
#include "VLHandle.h"
#include "VLStringArray.h"

#include <vector>

namespace {

VLString Unescape(const VLString& text)
{
    VLString result;
    for (int i = 0; i < text.GetLength(); ++i) {
        wchar_t ch = text[i];
        if (ch == L'\\' && i + 1 < text.GetLength()) {
            wchar_t next = text[++i];
            result += next == L'n' ? L'\n' : next == L'r' ? L'\r' : next;
        } else {
            result += ch;
        }
    }
    return result;
}

}  // namespace

void CLanguage::Initialize(const VLString& moduleFolder, const VLString& defaultLanguage, CSettingsStore* settings)
{
    m_folder = moduleFolder + L"Languages\\";
    m_settings = settings;
    VLString chosen;
    if (settings != nullptr) {
        if (IVLSection* properties = settings->OpenSection(L"Properties", kVLScopeUser)) {
            struct Sink : IVLTextSink {
                VLString value;
                void Set(const wchar_t* t, int n) override { value = n < 0 ? VLString(t) : VLString(t, n); }
            } sink;
            properties->GetText(L"Language", L"", sink);
            chosen = sink.value;
            properties->Release();
        }
    }
    if (chosen.IsEmpty() || !SelectLanguage(chosen))
        if (defaultLanguage.IsEmpty() || !SelectLanguage(defaultLanguage))
            SelectLanguage(L"English");
}

bool CLanguage::ParseTable(const VLString& text, TranslationTable& table)
{
    VLString normalized = text;
    normalized.Replace(L'\r', L'\n');
    VLStringArray lines;
    lines.Split(normalized, L"\n", false);
    bool ok = true;
    for (int i = 0; i < lines.GetCount(); ++i) {
        const VLString& line = lines[i];
        if (line.IsEmpty() || line[0] == L';' || line[0] == L'#')
            continue;
        int equals = -1;
        for (int c = 0; c < line.GetLength(); ++c) {
            if (line[c] == L'\\') {
                ++c;
            } else if (line[c] == L'=') {
                equals = c;
                break;
            }
        }
        if (equals <= 0) {
            ok = false;
            continue;
        }
        table[Unescape(line.Left(equals)).GetString()] = Unescape(line.Mid(equals + 1)).GetString();
    }
    return ok;
}

bool CLanguage::SelectLanguage(const VLString& name)
{
    if (name.CompareNoCase(L"English") == 0) {
        m_table.clear();
        m_language = L"English";
        return true;
    }
    VLString text;
    if (name.FindOneOf(L"\\/:*?\"<>|") >= 0 || !VLLoadTextFile(m_folder + name + L".txt", text))
        return false;
    TranslationTable table;
    ParseTable(text, table);
    m_table.swap(table);
    m_language = name;
    return true;
}

void CLanguage::Translate(const wchar_t* text, IVLTextSink& out)
{
    auto found = text != nullptr ? m_table.find(text) : m_table.end();
    if (found != m_table.end())
        out.Set(found->second.c_str(), static_cast<int>(found->second.size()));
    else
        out.Set(text != nullptr ? text : L"", -1);
}

void CLanguage::GetLanguageName(IVLTextSink& out)
{
    SinkSet(out, m_language);
}

void CLanguage::ListLanguages(VLStringArray& names) const
{
    names.Add(L"English");
    WIN32_FIND_DATAW found{};
    VLUniqueFind find(::FindFirstFileW(m_folder + L"*.txt", &found));
    if (!find)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        VLString name = found.cFileName;
        name = name.Left(name.GetLength() - 4);
        if (name.CompareNoCase(L"English") != 0)
            names.Add(name);
    } while (::FindNextFileW(find.Get(), &found));
}

bool CLanguage::ShowLanguageSelection(HWND owner)
{
    // One button per language plus "Cancel": the same real dialog as every
    // other box, so it is answered the same way in automated runs.
    VLStringArray names;
    ListLanguages(names);
    if (names.GetCount() < 2)
        return false;  // nothing to choose between
    VLString cancel = L"Cancel";
    std::vector<const wchar_t*> buttons;
    for (int i = 0; i < names.GetCount() && i < CMessageDialog::kMaxButtons - 1; ++i)
        buttons.push_back(names[i]);
    buttons.push_back(cancel);
    struct Sink : IVLTextSink {
        VLString value;
        void Set(const wchar_t* t, int n) override { value = n < 0 ? VLString(t) : VLString(t, n); }
    } caption, text;
    Translate(L"Language", caption);
    Translate(L"Please choose the language of the installation:", text);
    int pressed = CMessageDialog::Show(owner, caption.value, text.value, buttons.data(),
                                       static_cast<int>(buttons.size()));
    if (pressed < 0 || pressed >= static_cast<int>(buttons.size()) - 1)
        return false;
    if (!SelectLanguage(names[pressed]))
        return false;
    if (m_settings != nullptr) {
        if (IVLSection* properties = m_settings->OpenSection(L"Properties", kVLScopeUser)) {
            properties->SetText(L"Language", m_language);
            properties->Release();
        }
    }
    return true;
}
