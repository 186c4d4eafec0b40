#pragma once
// The install configuration document, "Install.xml" (root "VLIC"): where it
// is looked for, which settings are read and how they reach the options.
// Reading it never stops the installer: a missing, unreadable or unexpected
// document leaves the defaults in place.

#include "VLString.h"
#include "VLStringArray.h"

#include <functional>

// The option fields the document fills (references into InstallOptions).
struct InstallConfigurationFields {
    VLStringArray& SupportFolders;  // folders with a trailing backslash, in order
    VLString& LibraryFolder;
    VLString& MediaFolder;
    bool& AllowDowngrade;
};

// Folder-exists test; the default asks the file system.
using InstallFolderExists = std::function<bool(const VLString& folder)>;

// Appends installerFolder + "Support\", sets the library folder, then reads
// "Install.xml" beside the installer or, when absent there, in its parent
// folder, and applies its "Settings". installerFolder ends with a backslash.
// Always returns true.
bool LoadInstallConfiguration(const VLString& installerFolder, const InstallConfigurationFields& fields,
                              const InstallFolderExists& folderExists = nullptr);

// A folder value of the document: absolute ("\\server..." or "X:\...") as
// it stands, otherwise relative to the folder of documentPath, with "." and
// ".." segments resolved. The result ends with a backslash.
VLString ResolveConfigurationFolder(const VLString& documentPath, const VLString& value);

// The first support folder + name; with mustExist, the first support folder
// whose folder + name is an existing file. Empty when none qualifies.
VLString FindSupportFile(const VLStringArray& supportFolders, const VLString& name, bool mustExist);

// Appends every ".qbp" file of each support folder, folder by folder.
void CollectPackages(const VLStringArray& supportFolders, VLStringArray& packages);
