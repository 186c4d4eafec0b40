#pragma once
// The product's settings store: sections are registry keys below the
// product's key (HKEY_CURRENT_USER for scope 0, HKEY_LOCAL_MACHINE for
// scope 1); a registry key opened by root and path offers the same interface.

#include "VLRegistryKey.h"
#include "VLString.h"
#include "VLToolsInterface.h"

class CRegistrySection final : public IVLSection {
public:
    CRegistrySection(VLRegistryKey&& key, const VLString& path) : m_key(std::move(key)), m_path(path) {}

    void Release() override { delete this; }
    bool GetPath(IVLTextSink& out) override;
    int GetInt(const wchar_t* name, int defaultValue) override;
    void GetText(const wchar_t* name, const wchar_t* defaultValue, IVLTextSink& out) override;
    bool SetInt(const wchar_t* name, int value) override;
    bool SetText(const wchar_t* name, const wchar_t* value) override;
    bool SetTextOfKind(const wchar_t* name, const wchar_t* value, int kind) override;
    bool RemoveValue(const wchar_t* name) override;
    bool RemoveAllValues() override;
    bool RemoveSection(const wchar_t* name) override;
    bool CreateSection(const wchar_t* name) override;
    void ListSections(IVLListSink& out) override;
    void ListValues(IVLListSink& out) override;

private:
    VLRegistryKey m_key;
    VLString m_path;
};

class CSettingsStore final : public IVLSettings {
public:
    // productKey: path of the product's key below each root, for example
    // "Software\Velmora Labs\Quenbox".
    void SetProductKey(const VLString& productKey) { m_productKey = productKey; }

    IVLSection* OpenSection(const wchar_t* path, int scope) override;
    IVLSection* OpenRegistryKey(HKEY root, const wchar_t* path, bool create) override;
    bool ImportDefaults(const wchar_t* folder) override;

    // Imports one file of "[Section\Path]" headers and "Name=Value" lines
    // ("dword:<n>" for numbers) into the user's settings.
    bool ImportFile(const wchar_t* path);

private:
    VLString m_productKey;
};
