#pragma once
// The one process-wide record of install options: filled by Install.xml, the
// command line, the wizard pages and the install engine, read everywhere.

#include "VLString.h"
#include "VLStringArray.h"

struct InstallOptionsData {
    bool Silent = false;
    bool Upgrade = false;
    bool Express = false;
    bool Portable = false;
    bool AutoInstall = false;
    bool ExistingInstall = false;
    bool AllowDowngrade = true;
    bool NoAssociations = false;
    bool NoDependencies = false;
    bool NoUpgrade = false;
    bool NoRun = false;
    bool NoDriver = false;
    bool RestartRequired = false;  // a file is only replaced at the next restart
    VLString DestinationFolder;
    VLString ExistingUninstallKey;
    VLStringArray SupportFolders;
    VLString LibraryFolder;
    VLString MediaFolder;
    VLString DistributorID;
    VLStringArray PendingInstalls;  // "target|staged" or "target|_DELETEFILE"
    VLStringArray PreviousLocations;
    VLStringArray PendingRegistrations;  // "target|_REGISTERFILE"
    bool ShellExtensionRegistrationAllowed = true;
};

// The process's options, built by a static initialiser before main.
InstallOptionsData& InstallOptions();

// Puts every field back to its default (tests, and a fresh parse).
void ResetInstallOptions();
