#pragma once
// The product's registration with the Windows shell. An owner creates the
// object with the product's identity, sets the apply and notify flags, and
// destroys it: destruction then runs the built-in registry script, the
// product-type and default-programs registrations, and tells the shell that
// associations changed. An object whose flags stay false writes nothing (the
// association page keeps one only to test current associations).

#include "CRegistryScript.h"
#include "CShellIdentity.h"
#include "VLString.h"
#include "VLStringArray.h"

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

    // Values in shared shell keys. A value about to be replaced is first kept
    // in a backup value, unless it is already this product's own; an existing
    // backup is never overwritten, so the oldest foreign value survives
    // repeated runs. A null or empty name is the key's unnamed value.

    // "<product with version>.<name>.BAK" (".Default.BAK" for the unnamed
    // value), with every space removed.
    VLString BackupValueName(const wchar_t* name) const;
    // "<product with version>FileAssoc.BAK", the backup of a disc handler command.
    VLString DiscBackupValueName() const;
    // True when the text, cut at its last ".", is the product-with-version
    // value (without regard to case): this version's ProgIDs.
    bool IsOwnValue(const VLString& text) const;
    // The ProgID of the registry script that opens files of `extension`.
    VLString ProgIdForExtension(const VLString& extension) const;
    // Writes `data` (REG_SZ) into `name`, or deletes `name` when `data` is null.
    // With `backUp`, a current text that differs is kept in the backup value
    // first when there is none yet; a current text equal to `data` leaves
    // everything as it is.
    void SetValueWithBackup(HKEY key, const wchar_t* name, const wchar_t* data, bool backUp) const;
    // Puts the backup text back into `name` and deletes the backup; without a
    // backup, deletes `name` when asked.
    void RestoreValueFromBackup(HKEY key, const wchar_t* name, bool deleteIfNoBackup) const;
    // Deletes every value whose name begins with the product-with-version value.
    void PurgeBackupValues(HKEY key) const;

    // The built-in script for this product (launcher lines only with a launcher).
    VLStringArray BuildScript() const;
    // The token values of a run of the script.
    CScriptTokens MakeTokens() const;
    // Runs any script in the built-in script's format with this product's tokens.
    void RunScript(const VLStringArray& lines) const { CRegistryScript(MakeTokens()).Run(lines); }

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
