#pragma once
// The product's registration with the Windows shell. An owner creates the
// object with the product's identity, sets the apply and notify flags, and
// destroys it: destruction then runs the built-in registry script, the
// product-type and default-programs registrations, and tells the shell that
// associations changed. An object whose flags stay false writes nothing (the
// association page keeps one only to test current associations).

#include "CArtFileLookup.h"
#include "CRegistryScript.h"
#include "CShellScript.h"
#include "VLString.h"
#include "VLStringArray.h"

// What the product-information service tells about the product, plus the
// folders and services the registration needs.
struct CShellIdentity {
    VLString productName;         // name form 2: family name without version
    VLString versionDesignation;  // appended to the ProgID stem after "."
    VLString launcherPath;        // may be empty
    VLString launcherName;        // may be empty
    VLString mainProgramName;     // file name of the main program
    VLString productExtension;    // "." is put in front when missing
    VLString programFolder;       // the installed product's folder ([INSTALLDIR])
    CArtFileLookup art;           // resolves [CUSTOMART]
    CTranslateFn translate;       // the AutoPlay "Action" texts; none: as written
};

class CShellRegistration {
public:
    explicit CShellRegistration(CShellIdentity identity);
    ~CShellRegistration();
    CShellRegistration(const CShellRegistration&) = delete;
    CShellRegistration& operator=(const CShellRegistration&) = delete;

    void SetApply(bool apply) { m_apply = apply; }
    void SetNotify(bool notify) { m_notify = notify; }
    bool GetApply() const { return m_apply; }
    bool GetNotify() const { return m_notify; }

    // Family name without spaces, ".", version designation: "Auralis.22".
    const VLString& GetProductWithVersion() const { return m_productWithVersion; }
    const VLString& GetLauncherPath() const { return m_launcherPath; }
    const VLString& GetLauncherName() const { return m_launcherName; }
    const VLString& GetMainProgramPath() const { return m_mainProgramPath; }
    const VLString& GetProductExtension() const { return m_productExtension; }
    const CShellIdentity& GetIdentity() const { return m_identity; }

    // The built-in script for this product (launcher lines only with a launcher).
    VLStringArray BuildScript() const;
    // The token values of a run of the script.
    CScriptTokens MakeTokens() const;

private:
    void Apply();

    bool m_apply = false;
    bool m_notify = false;
    VLString m_productWithVersion;
    VLString m_launcherPath;
    VLString m_launcherName;
    VLString m_mainProgramPath;
    VLString m_productExtension;
    CShellIdentity m_identity;
};
