#pragma once
// Finds the product's art files (icons and pictures). Each data folder holds
// a "Custom Art" folder - a distributor's replacements - and a "Default Art"
// folder; a name is looked up in "Custom Art" before "Default Art".
//
// Data folders are searched in the order given: normally the installed
// product's "Data\" folder first and the package's "Quenbox\Data\" second, so
// that registry entries point at the installed copy once the files are in
// place, and the wizard still finds its icon before anything is installed.

#include "VLString.h"
#include "VLStringArray.h"

class CArtFileLookup {
public:
    CArtFileLookup() = default;
    explicit CArtFileLookup(VLStringArray dataFolders);

    // Adds a data folder (a trailing backslash is added when missing); an
    // empty folder is ignored.
    void AddDataFolder(const VLString& folder);
    const VLStringArray& GetDataFolders() const { return m_folders; }

    // The full path of the first existing file `name`, or empty when none
    // exists (or the name is empty).
    VLString Find(const VLString& name) const;

    // The usual search order for a product: program folder + "Data\", then
    // installer folder + "Quenbox\Data\". Either folder may be empty.
    static CArtFileLookup ForProduct(const VLString& programFolder, const VLString& installerFolder);

private:
    VLStringArray m_folders;
};
