#pragma once
// The library handle: one loaded module, freed on destruction or when
// another one is loaded.

#include "VLHandle.h"
#include "VLString.h"

#include <windows.h>

class VLLibrary {
public:
    VLLibrary() = default;
    VLLibrary(VLLibrary&&) noexcept = default;
    VLLibrary& operator=(VLLibrary&&) noexcept = default;

    // Frees the module held, then LoadLibraryExW(path, no flags). False for
    // an empty path or when loading fails (GetLastError tells why).
    bool Load(const VLString& path);
    void Free() { m_module.Reset(); }
    // Gives up ownership: the module stays loaded.
    HMODULE Detach() { return m_module.Release(); }
    bool IsLoaded() const { return m_module.IsValid(); }
    HMODULE GetHandle() const { return m_module.Get(); }

    // GetProcAddress; nullptr when nothing is loaded or the entry is missing.
    FARPROC GetEntryPoint(const char* name) const;
    FARPROC GetEntryPoint(const VLString& name) const;

private:
    VLUniqueModule m_module;
};
