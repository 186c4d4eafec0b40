#pragma once
// Owner of one open registry key. It remembers the registry view it was
// opened in (KEY_WOW64_64KEY / KEY_WOW64_32KEY) so that keys opened, created
// or deleted below it stay in that view. Operations return the Windows error
// code (0 = success) or a bool and never throw; reads fall back to defaults.
// Error codes made here: 13 (ERROR_INVALID_DATA: no key held, missing text,
// wrong value type) and 1168 (ERROR_NOT_FOUND: write without a key).

#include "VLHandle.h"
#include "VLString.h"
#include "VLStringArray.h"

#include <windows.h>

#include <vector>

class VLRegistryKey {
public:
    static constexpr REGSAM kViewMask = KEY_WOW64_64KEY | KEY_WOW64_32KEY;

    VLRegistryKey() = default;
    ~VLRegistryKey() { Close(); }
    VLRegistryKey(VLRegistryKey&& other) noexcept;
    VLRegistryKey& operator=(VLRegistryKey&& other) noexcept;
    VLRegistryKey(const VLRegistryKey&) = delete;
    VLRegistryKey& operator=(const VLRegistryKey&) = delete;

    // RegOpenKeyExW. The key held so far is closed only when the open
    // succeeds; on failure the object keeps it.
    LONG Open(HKEY root, const wchar_t* subKey, REGSAM access = KEY_READ);
    // Opens below another key, in its view unless access names a view.
    LONG Open(const VLRegistryKey& parent, const wchar_t* subKey, REGSAM access = KEY_READ);

    // With create, RegCreateKeyExW (no class, no options, default security),
    // else RegOpenKeyExW. On failure the object holds no key.
    LONG Create(HKEY root, const wchar_t* subKey, bool create = true, REGSAM access = KEY_READ | KEY_WRITE);
    LONG Create(const VLRegistryKey& parent, const wchar_t* subKey, bool create = true,
                REGSAM access = KEY_READ | KEY_WRITE);

    void Close();
    bool IsOpen() const { return m_key.IsValid(); }
    HKEY GetHandle() const { return m_key.Get(); }
    REGSAM GetViewBits() const { return m_viewBits; }

    // REG_SZ / REG_EXPAND_SZ as stored (not expanded), REG_DWORD as decimal
    // text; any other type or a missing value gives the default.
    VLString ReadString(const wchar_t* name, const wchar_t* defaultValue = L"") const;
    // REG_DWORD as it is, REG_SZ through ToInt; anything else gives 0.
    int ReadInt(const wchar_t* name) const;
    bool HasStringValue(const wchar_t* name) const;
    // REG_SZ or REG_EXPAND_SZ into a caller buffer of size units; the text is
    // always terminated. length receives the units read without the terminator.
    LONG ReadStringBuffer(const wchar_t* name, wchar_t* buffer, DWORD size, DWORD* length) const;
    // Typed reads: false (and the output untouched) when the value is missing
    // or of another type.
    bool ReadDword(const wchar_t* name, DWORD& value) const;
    bool ReadBinary(const wchar_t* name, std::vector<BYTE>& data) const;
    bool ReadMultiString(const wchar_t* name, VLStringArray& values) const;
    // The value's type and size in bytes; false when it does not exist.
    bool QueryValue(const wchar_t* name, DWORD* type, DWORD* size) const;

    LONG WriteString(const wchar_t* name, const wchar_t* text);
    LONG WriteExpandString(const wchar_t* name, const wchar_t* text);
    LONG WriteDword(const wchar_t* name, DWORD value);
    LONG WriteBinary(const wchar_t* name, const void* data, DWORD size);
    LONG WriteMultiString(const wchar_t* name, const VLStringArray& values);

    LONG DeleteValue(const wchar_t* name);
    // Deletes the sub-key with everything below it, in this key's view.
    // A missing sub-key gives ERROR_FILE_NOT_FOUND; an empty name is refused
    // (13) rather than taken as this key itself.
    LONG DeleteKeyTree(const wchar_t* subKey);

    // False past the last entry or without a key.
    bool EnumValueName(DWORD index, VLString& name) const;
    bool EnumKeyName(DWORD index, VLString& name) const;

private:
    LONG WriteText(const wchar_t* name, const wchar_t* text, DWORD type);
    static LONG DeleteTree(HKEY parent, const wchar_t* subKey, REGSAM view);

    VLUniqueKey m_key;
    REGSAM m_viewBits = 0;
};
