#pragma once
// The registry script engine. A script is an ordered list of lines:
//
//   ""                                      ignored
//   "HKEY_CLASSES_ROOT" | "HKEY_CURRENT_USER" | "HKEY_LOCAL_MACHINE"
//                                           root of the following entries
//                                           (exact, case-sensitive text)
//   "key|name|data|type|action"             one value
//       key     path below the current root
//       name    "Default" (exact) or empty: the key's unnamed value
//       data    the text, or for a number its decimal digits
//       type    "STRING" writes REG_SZ, anything else REG_DWORD
//       action  "DELETE" deletes the value, "CREATE" writes it only when it is
//               not there yet, anything else ("MODIFY") writes it
//
// Tokens are replaced in every line before it is split (see CScriptTokens).
// Lines naming "[AUTOPLAYKEY]" are written in both registry views on 64-bit
// Windows. Failures are skipped silently: the engine reports nothing and
// rolls nothing back.

#include <windows.h>

#include <functional>

#include "VLString.h"
#include "VLStringArray.h"

// The values of one run, computed before the first line.
struct CScriptTokens {
    VLString installDir;          // [INSTALLDIR], with a trailing backslash
    VLString systemDir;           // [SYSTEMDIR], with a trailing backslash
    VLString currentDir;          // [CURRENTDIR], the installer's folder
    VLString productName;         // [PRODUCTNAME]
    VLString productWithVersion;  // [PRODUCTWITHVERSION]
    VLString exePath;             // [EXEPATH]
    VLString launcherPath;        // [LAUNCHERPATH]
    VLString launcherName;        // [LAUNCHERNAME]
    // [CUSTOMART]<file name>: the full path of the art file; empty when none.
    std::function<VLString(const VLString& fileName)> findArt;
};

class CRegistryScript {
public:
    static constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;  // 0x2001F

    explicit CRegistryScript(CScriptTokens tokens);

    // Runs every line in order; reports nothing.
    void Run(const VLStringArray& lines) const;

    // One line after token replacement, as it will be split and written.
    VLString Substitute(const VLString& line) const;

    // Overrides the 64-bit-Windows answer (tests); by default VLIsWindows64().
    void SetWindows64(bool is64) { m_windows64 = is64; }

    // The access masks of the two passes of a dual-view line: the program's
    // own view first, then the other view of 64-bit Windows.
    static REGSAM SecondPassAccess();

    // Splits on "|" keeping empty fields; "a||" gives "a", "", "".
    static VLStringArray SplitFields(const VLString& line);

    // Decimal number of a DWORD line: white space skipped, optional sign,
    // digits up to the first non-digit, held at +-2147483647.
    static DWORD ParseDword(const VLString& text);

private:
    void RunEntry(HKEY root, const VLStringArray& fields, REGSAM access) const;

    CScriptTokens m_tokens;
    bool m_windows64;
};
