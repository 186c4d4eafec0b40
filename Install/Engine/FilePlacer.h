#pragma once
// Puts the package's files into place: one file (PlaceFile), a whole package
// folder with progress by bytes (CopyFolder), the core modules with their
// Retry/Cancel box, and the two fallbacks for targets in use (replacement at
// the next restart, staging for the completion program).

#include "EngineContext.h"
#include "FileVersions.h"
#include "PlacementRules.h"

struct CPlaceResult {
    EPlaceDecision Decision = EPlaceDecision::Invalid;
    bool Copied = false;    // the copy succeeded now
    bool Deferred = false;  // replaced at the next restart
    bool Staged = false;    // left to the completion program (pending-install list)
    ERegistration Registration = ERegistration::None;
    // PlaceFile's own result: false only for a 64-bit file on 32-bit Windows.
    bool Placed() const { return Decision != EPlaceDecision::Skip64BitOn32; }
};

class CFilePlacer {
public:
    // context must outlive the placer and hold its destination folder;
    // versions defaults to Windows' own.
    explicit CFilePlacer(CInstallContext& context, IFileVersionSource* versions = nullptr);

    CPlaceResult PlaceFile(const VLString& source, const VLString& target, int mode,
                           VLStringArray* registrationList);

    // Copies every file below sourceFolder to the same place below
    // targetFolder, moving progress from 0 to 100 by bytes. Always true:
    // single files that fail are replaced at restart or staged.
    bool CopyFolder(int mode, IEngineProgress* progress, const VLString& targetFolder,
                    const VLString& sourceFolder, VLStringArray* registrationList);

    // Copies source into the staging folder and schedules its move onto
    // target for the next restart (PendingFileRenameOperations).
    bool ReplaceAtRestart(const VLString& source, const VLString& target);
    // Copies source into the staging folder and records "target|staged" in
    // the pending-install list. With package mode and an empty target the
    // folder holding source travels along. True when the staged copy was made
    // and recorded; otherwise the file is left out (and logged).
    bool StageForCompletion(const VLString& source, const VLString& target, bool packageMode);

    // Copies the seven core modules (and their "x64\" twins on 64-bit
    // Windows); on failure asks Retry/Cancel. False when the user cancels,
    // after the critical-error box.
    bool CopyCoreModules();

    // The system files: into each of systemFolders (one pass per folder)
    // "System\Check Version\" with the check-version rule and "System\Always
    // Overwrite\" over it, and each pass "Fonts\" into fontsFolder. An empty
    // folder is reported in an "Error" box and skipped. Nothing at all for a
    // portable install.
    void InstallSystemFiles(IEngineProgress* progress, const VLStringArray& systemFolders,
                            const VLString& fontsFolder, VLStringArray* registrationList);

private:
    // Creates the folder of path unless it was the last one made.
    bool EnsureFolderOf(const VLString& path);
    VLString StagedPathFor(const VLString& source, bool unique) const;
    void NoteStaged(const VLString& staged);
    // Copies the core modules once; returns the first target that failed, or
    // an empty text when all succeeded.
    VLString CopyCoreModulesOnce();
    void RunRegistration(ERegistration registration, const VLString& target,
                         VLStringArray* registrationList);

    CInstallContext& m_context;
    CWindowsFileVersions m_windowsVersions;
    IFileVersionSource* m_versions;
    VLString m_x64Folder;   // destination + "x64\": the 64-bit files
    VLString m_lastFolder;  // the folder created last: files of one folder come together
};

// The folders of the system passes as this build reaches them: on 64-bit
// Windows the native system folder, then the 32-bit one (SysWOW64); on 32-bit
// Windows the system folder, twice when Windows has the WOW64 redirection
// switch (both passes then reach the same folder).
VLStringArray VLSystemPassFolders();

// Writes a shell link file (IShellLinkW, or IShellLinkA when that is
// missing). Returns the HRESULT of the save or of the first failing step.
HRESULT VLCreateShortcut(const VLString& linkFile, const VLString& target, const VLString& arguments,
                         const VLString* iconFile);
