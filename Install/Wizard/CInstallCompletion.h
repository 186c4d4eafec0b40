#pragma once
// Completing an installation, without windows: the deferred file operations
// handed to the completion program (settings section "Installer\Finalize"
// and the RunOnce entry that starts it), the restart decision, the
// completion mode, the install counters, the product's own registration of
// its programs ("/Register"), and the completion journal Finish.txt.
// Everything the work touches comes in as parameters, so tests aim it at
// scratch folders, their own settings and a registry root of their choice.

#include <windows.h>

#include "EngineContext.h"
#include "InstallOptions.h"
#include "VLString.h"
#include "VLStringArray.h"

enum class ECompletionMode : int {
    Nothing = 0,
    RestartWindows = 1,
    RunProgram = 2,
};

struct CCompletionResult {
    bool RestartNeeded = false;
    ECompletionMode Mode = ECompletionMode::Nothing;
};

// What the completion work runs with. Host and Runner may be null: the
// settings writes or the program starts are then skipped.
struct CCompletionJob {
    InstallOptionsData* Options = nullptr;  // lists, flags and destination; the pending installs are emptied
    VLString MainProgramFile;               // file name of the product's main program
    IEngineHost* Host = nullptr;            // settings store (Finalize section, counters)
    IComponentRunner* Runner = nullptr;     // starts the "/Register" programs
    HKEY RunOnceRoot = HKEY_CURRENT_USER;
    int RegisterTimeoutMs = 15000;
};

namespace CInstallCompletion {

extern const wchar_t kFinalizeSection[];  // "Installer\Finalize"
extern const wchar_t kRunOnceKey[];       // "SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce"
extern const wchar_t kRunOnceValue[];     // "Install Wizard Completion"
extern const wchar_t kJournalName[];      // "Finish.txt"

// The whole completion, in its order: deferred operations, restart decision,
// completion mode, emptying the pending installs, counters, self-registration,
// install count.
CCompletionResult Run(const CCompletionJob& job);

// Writes the Finalize values and the RunOnce entry when either list has an
// entry; nothing otherwise. Best effort: what cannot be opened is skipped.
void WriteDeferredOperations(IEngineHost* host, HKEY runOnceRoot, const VLString& destinationFolder,
                             const VLStringArray& pendingInstalls, const VLStringArray& pendingRegistrations);

// "\"<destination>PackageInstaller.exe\" \"/FinishInstall\"".
VLString RunOnceCommand(const VLString& destinationFolder);

// A restart is needed when the restart flag is set or a pending install
// other than the shell extension replaces a target ("target|..."); a kept
// package ("|staged") does not need one.
bool IsRestartNeeded(bool restartRequired, const VLStringArray& pendingInstalls);

ECompletionMode DecideMode(bool restartNeeded, bool noRun);

// Starts the main program and then "VLService.exe" with "/Register" when they
// exist in the destination, each waited for at most timeoutMs. Nothing for
// the media server product (main program name containing "Hovan").
void RegisterProductPrograms(IComponentRunner& runner, const VLString& destinationFolder,
                             const VLString& mainProgramFile, int timeoutMs);

// Writes `folder` + "Finish.txt": UTF-16 LE with a byte-order mark,
// "VLFI0001\r\n" and the program path without a line end. False when the
// file cannot be written.
bool WriteFinishJournal(const VLString& folder, const VLString& programPath);

// Adds the read-only attribute to the destination folder (nothing when its
// attributes cannot be read).
void MarkFolderReadOnly(const VLString& folder);

}  // namespace CInstallCompletion
