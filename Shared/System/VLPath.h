#pragma once
// Path text operations. Folder paths carry exactly one trailing backslash,
// file paths none. ToSystemPath is the one place where a path is made ready
// for a Windows file call; every file operation of this library goes
// through it.

#include "VLString.h"

class VLPath {
public:
    // Paths this long or longer get the "\\?\" prefix before they reach Windows.
    static constexpr int kLongPathLength = 260;
    // Size of the fixed buffers for Windows path queries.
    static constexpr int kPathBufferSize = 2080;

    // "" stays ""; one trailing backslash is added or extra ones cut, except
    // that "\\" (exactly two backslashes) stays as it is.
    static VLString AddTrailingBackslash(const VLString& path);
    // Drops every trailing backslash.
    static VLString RemoveTrailingBackslash(const VLString& path);
    // The long-name form (GetLongPathNameW) when it exists, with one trailing backslash.
    static VLString NormalizeFolder(const VLString& path);
    // Tidies a folder path typed by the user: spaces and dots around
    // separators, doubled separators, invalid characters, a missing "\" after
    // the drive, and a length cap of 252 units.
    static VLString CleanPath(const VLString& path);
    // "file://" addresses to paths, "/" to "\", "(Install Drive):" to the
    // installed product's drive, then the long-path rule.
    static VLString ToSystemPath(const VLString& path);
    // The long-path rule alone: at 260 units or more the full path with
    // "\\?\" (or "\\?\UNC\" for a network path) in front.
    static VLString ApplyLongPathRule(const VLString& path);

    // "X:\..." or "\\" followed by a letter or digit.
    static bool IsValidAbsolutePath(const VLString& path);
    // Not empty, not an address, not a token or XML form, not a virtual item.
    static bool IsLocalFile(const VLString& path);

    // The folder part with its trailing backslash ("" when there is none).
    static VLString GetFolder(const VLString& path);
    // The part after the last backslash.
    static VLString GetFileName(const VLString& path);
};
