#pragma once
// The installer's side of the product tools module: loads the DLL from the
// module folder, checks its interface version and answers in VLString.
// Every text shown to the user goes through Translate first.

#include "VLHandle.h"
#include "VLString.h"
#include "VLStringArray.h"
#include "VLToolsInterface.h"

#include <initializer_list>

// A settings section or registry key; empty (reads give defaults, writes
// are skipped) when the section could not be opened.
class VLSettingsSection {
public:
    VLSettingsSection() = default;
    explicit VLSettingsSection(IVLSection* section) : m_section(section) {}
    ~VLSettingsSection() { Reset(); }
    VLSettingsSection(VLSettingsSection&& o) noexcept : m_section(o.m_section) { o.m_section = nullptr; }
    VLSettingsSection& operator=(VLSettingsSection&& o) noexcept;
    VLSettingsSection(const VLSettingsSection&) = delete;
    VLSettingsSection& operator=(const VLSettingsSection&) = delete;

    bool IsOpen() const { return m_section != nullptr; }
    VLString GetPath() const;
    int GetInt(const wchar_t* name, int defaultValue = 0) const;
    VLString GetText(const wchar_t* name, const wchar_t* defaultValue = L"") const;
    bool SetInt(const wchar_t* name, int value);
    bool SetText(const wchar_t* name, const wchar_t* value);
    bool SetTextOfKind(const wchar_t* name, const wchar_t* value, int kind);
    bool RemoveValue(const wchar_t* name);
    bool RemoveAllValues();
    bool RemoveSection(const wchar_t* name);
    bool CreateSection(const wchar_t* name);
    void ListSections(VLStringArray& names) const;
    void ListValues(VLStringArray& names) const;
    void Reset();

private:
    IVLSection* m_section = nullptr;
};

class VLToolsHost {
public:
    static VLToolsHost& Get();

    // The module's file name (kept lightly scrambled in the program).
    static VLString ModuleFileName();

    // Loads the module from folder (with a trailing backslash). False when
    // the file cannot be loaded, lacks the entry or serves an older interface.
    bool Load(const VLString& folder);
    bool IsLoaded() const { return m_tools != nullptr; }
    // Loads the product information; "" is the default product.
    bool LoadProduct(const wchar_t* productName, VLString& error);
    bool IsProductLoaded() const;
    // Tells the module the host's instance and releases it.
    void Unload(HINSTANCE hostInstance);

    IVLTools* Tools() const { return m_tools; }

    // Product information; empty texts, defaults or false without a product.
    VLString GetProductName(int form) const;
    VLString GetVersion() const;
    VLString GetMainProgram() const;
    VLString GetLauncherName() const;
    VLString GetValue(const wchar_t* path, const wchar_t* defaultValue = L"") const;
    int GetValueInt(const wchar_t* path, int defaultValue) const;
    bool HasFeature(int number) const;

    VLSettingsSection OpenSection(const wchar_t* path, int scope) const;

    // The text in the current language (the text itself without a module).
    VLString Translate(const wchar_t* text) const;
    // A box with translated caption, text and buttons; index of the pressed
    // button, -1 when no box could be shown.
    // translateText false: the caller already translated the text piece by piece.
    int ShowBox(HWND owner, const wchar_t* caption, const wchar_t* text, std::initializer_list<const wchar_t*> buttons,
                bool translateText = true);
    bool ShowLanguageSelection(HWND owner);
    bool FolderExists(const wchar_t* folder) const;

private:
    VLUniqueModule m_module;
    IVLTools* m_tools = nullptr;
};

// Answers a text sink into a VLString.
struct VLStringSink final : IVLTextSink {
    VLString value;
    void Set(const wchar_t* text, int length) override
    {
        value = text == nullptr ? VLString() : length < 0 ? VLString(text) : VLString(text, length);
    }
};
