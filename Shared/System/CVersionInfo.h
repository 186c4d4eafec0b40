#pragma once
// The fixed version block of a file's version resource. The version
// functions live in "Version.dll", which is loaded at run time so that a
// system without it only loses version checks.

#include <windows.h>

#include <cstdint>

#include "VLString.h"

class CVersionInfo {
public:
    CVersionInfo() = default;
    explicit CVersionInfo(const VLString& path) { Load(path); }

    // Sets the file and reads its fixed version block. Returns false when the
    // file is missing, has no version resource or the version functions are
    // unavailable; the object then holds the path but no block.
    bool Load(const VLString& path);

    bool HasVersion() const noexcept { return m_hasBlock; }
    const VLString& GetPath() const noexcept { return m_path; }
    const VS_FIXEDFILEINFO& GetFixedInfo() const noexcept { return m_fixed; }

    // "major.minor.build.revision", or with `fourParts` false
    // "major.minor.build". E_FAIL (and `text` unchanged) when no file is set
    // or its block could not be read.
    HRESULT GetVersionText(VLString& text, bool fourParts = true) const;

    // The file version as one number (most significant word first), so that
    // versions compare as unsigned 64-bit values; 0 without a block.
    uint64_t GetFileVersion64() const noexcept;

    // The 64-bit file version of `path`; 0 for a missing file or a file
    // without version information.
    static uint64_t FileVersion64(const VLString& path);

    // True when "Version.dll" and its three functions can be loaded.
    static bool AreVersionFunctionsAvailable();

private:
    VLString m_path;
    VS_FIXEDFILEINFO m_fixed{};
    bool m_hasBlock = false;
};
