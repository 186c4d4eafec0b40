#pragma once
// What the shell registration needs to know about the product: its names,
// programs and folders, the art lookup and the text translation.

#include "CArtFileLookup.h"
#include "CShellScript.h"
#include "VLString.h"

struct IVLProductInfo;
struct IVLLanguage;

struct CShellIdentity {
    VLString productName;         // name form 2: family name without version
    VLString versionDesignation;  // appended to the ProgID stem after "."
    VLString launcherPath;        // full path; may be empty
    VLString launcherName;        // may be empty
    VLString mainProgramName;     // file name of the main program
    VLString productExtension;    // "." is put in front when missing
    VLString programFolder;       // the installed product's folder ([INSTALLDIR])
    CArtFileLookup art;           // resolves [CUSTOMART]
    CTranslateFn translate;       // the AutoPlay "Action" texts; none: as written

    // Fills the identity from the product tools module. `programFolder` is the
    // installed product's folder, `installerFolder` the package's; both with
    // or without a trailing backslash. A launcher path the module gives
    // relative to the program folder is made full. `language` may be null
    // (texts stay untranslated); a null `info` leaves the product values empty.
    static CShellIdentity FromProduct(IVLProductInfo* info, IVLLanguage* language, const VLString& programFolder,
                                      const VLString& installerFolder);
};
