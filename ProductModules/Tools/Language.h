#pragma once
// Translation of shown texts through a per-language table. A table is
// "Languages\<Language>.txt" beside the module, UTF-8, one "source=translation"
// per line; "\n", "\r", "\=" and "\\" escape line breaks, "=" and "\".
// The current language is the user's setting "Language" in "Properties",
// else the product document's "Language", else "English". English texts
// have no table: they stay as they are.

#include "VLString.h"
#include "VLStringArray.h"
#include "VLStringMap.h"

#include <map>
#include <string>
#include "VLToolsInterface.h"

class CSettingsStore;

// Source text to translation; sources compare exactly, case included.
using TranslationTable = std::map<std::wstring, std::wstring>;

class CLanguage final : public IVLLanguage {
public:
    void Initialize(const VLString& moduleFolder, const VLString& defaultLanguage, CSettingsStore* settings);

    void Translate(const wchar_t* text, IVLTextSink& out) override;
    void GetLanguageName(IVLTextSink& out) override;
    bool ShowLanguageSelection(HWND owner) override;

    // Names of the languages offered: "English" and one per table file.
    void ListLanguages(VLStringArray& names) const;
    // Switches to a language and loads its table; false when it has none
    // (and the language is not English).
    bool SelectLanguage(const VLString& name);

    static bool ParseTable(const VLString& text, TranslationTable& table);

private:
    VLString m_folder;  // "Languages\" folder
    VLString m_language;
    TranslationTable m_table;
    CSettingsStore* m_settings = nullptr;
};
