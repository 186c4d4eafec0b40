#pragma once
// The records an installation leaves: the uninstall entry in Windows' list of
// installed programs, the installations record other programs of the maker
// use to find this install, the installer values in the product's settings,
// and the install counters. Every write is best effort: a key or section that
// cannot be opened skips its values silently.

#include "EngineContext.h"

#include <windows.h>

extern const wchar_t kUninstallKeyRoot[];  // "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\"
extern const wchar_t kInstallationsKey[];  // "Software\Velmora Labs\Nuvicore\Installations"

class CProductRecords {
public:
    // root is HKEY_LOCAL_MACHINE in the program.
    explicit CProductRecords(const CInstallContext& context, HKEY root = HKEY_LOCAL_MACHINE);

    // The nine values under the uninstall key chosen for this install.
    void WriteUninstallEntry();
    // The installations record (not for a portable install), then the
    // installer values "Distributor ID" and "Install Directory" (always).
    void WriteInstallationsRecord();
    void WriteInstallCounters(bool updating);
    void WriteInstallCount(bool upgrade);

    // Whether this install updates an existing one (a portable install never does).
    static bool IsUpdating(const CInstallContext& context)
    {
        return context.ExistingInstall && !context.Portable;
    }

private:
    void WriteInstallerValues();

    const CInstallContext& m_context;
    HKEY m_root;
};
