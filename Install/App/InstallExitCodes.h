#pragma once
// Process exit codes of Setup.exe. They are the codes deployment tools
// already understand from Windows Installer, so an unattended run that
// installed nothing is never reported as a success. Never reuse or renumber
// a code; retire one by leaving it here as a comment.

enum InstallExitCode : int {
    kExitInstalled = 0,              // installed
    kExitUserCancelled = 1602,       // the user cancelled, or declined to close a running copy
    kExitFatalError = 1603,          // critical error or a refused environment check
    kExitAnotherInstallRunning = 1618,  // another installer holds the single-instance mutex
    kExitRestartRequired = 3010,     // installed; a restart completes the installation
};
