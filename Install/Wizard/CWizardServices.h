#pragma once
// What the wizard and its pages need of the product tools module, in the
// shapes they use: translated texts, product names and features, values by
// path, message boxes and settings sections. One object per wizard; it does
// not own the module. With no module (null) every query answers its default,
// boxes answer OK / No, and settings sections cannot be opened.

#include <windows.h>

#include <functional>

#include "VLString.h"
#include "VLStringArray.h"
#include "VLToolsInterface.h"

// An open settings section or registry key of the tools module; released
// when the owner goes. Reads of a section that is not open give the
// defaults; writes are skipped.
class CToolsSection {
public:
    CToolsSection() = default;
    explicit CToolsSection(IVLSection* section) noexcept : m_section(section) {}
    ~CToolsSection() { Reset(); }
    CToolsSection(CToolsSection&& other) noexcept : m_section(other.m_section) { other.m_section = nullptr; }
    CToolsSection& operator=(CToolsSection&& other) noexcept;
    CToolsSection(const CToolsSection&) = delete;
    CToolsSection& operator=(const CToolsSection&) = delete;

    bool IsOpen() const noexcept { return m_section != nullptr; }
    void Reset() noexcept;

    int GetInt(const wchar_t* name, int defaultValue) const;
    VLString GetText(const wchar_t* name, const wchar_t* defaultValue = L"") const;
    bool SetInt(const wchar_t* name, int value);
    VLStringArray ListSections() const;

private:
    IVLSection* m_section = nullptr;
};

class CWizardServices {
public:
    // `tools` may be null; `installerFolder` ends with a backslash.
    CWizardServices(IVLTools* tools, const VLString& installerFolder);

    IVLTools* GetTools() const { return m_tools; }
    const VLString& GetInstallerFolder() const { return m_installerFolder; }

    VLString Translate(const VLString& text) const;
    // Product name in the given form (0, 1, 5 display; 2 family; 3 record and folder name).
    VLString GetProductName(int form) const;
    bool HasFeature(int number) const;
    VLString GetConfigText(const wchar_t* path, const wchar_t* defaultValue = L"") const;

    // A box with one OK button; caption and text are shown as given
    // (translate them first).
    void ShowMessage(HWND owner, const VLString& caption, const VLString& text) const;
    // A Yes/No question; true for Yes.
    bool AskYesNo(HWND owner, const VLString& caption, const VLString& text) const;

    // Settings section by path with scope flag 0 (user) or 1 (machine).
    CToolsSection OpenSection(const wchar_t* path, int scope) const;
    // Registry key for reading, through the module's registry-key service.
    CToolsSection OpenRegistryKey(HKEY root, const wchar_t* path) const;

    // The installed product's program folder (process record install path).
    VLString GetInstalledProgramFolder() const;

    // Full path of an art file ("Application.ico"), empty when none is found.
    // Start-up may give the product's art-file lookup; without one the
    // installer folder and its "Quenbox\" folder are searched.
    using ArtFileLookup = std::function<VLString(const VLString& name)>;
    void SetArtFileLookup(ArtFileLookup lookup) { m_artLookup = std::move(lookup); }
    VLString FindArtFile(const VLString& name) const;

private:
    IVLTools* m_tools;
    VLString m_installerFolder;
    ArtFileLookup m_artLookup;
};
