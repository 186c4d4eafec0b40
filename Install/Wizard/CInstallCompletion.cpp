#include "CInstallCompletion.h"

#include "ProductRecords.h"
#include "VLFile.h"
#include "VLFileSystem.h"
#include "VLLog.h"
#include "VLPath.h"
#include "VLRegistryKey.h"

namespace CInstallCompletion {

const wchar_t kFinalizeSection[] = L"Installer\\Finalize";
const wchar_t kRunOnceKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const wchar_t kRunOnceValue[] = L"Install Wizard Completion";
const wchar_t kJournalName[] = L"Finish.txt";

namespace {

const wchar_t kLogTag[] = L"CInstallCompletion";

VLString WithTrailingBackslash(const VLString& folder)
{
    return folder.IsEmpty() ? VLString() : VLPath::AddTrailingBackslash(folder);
}

}  // namespace

VLString RunOnceCommand(const VLString& destinationFolder)
{
    return L"\"" + destinationFolder + L"PackageInstaller.exe\" \"/FinishInstall\"";
}

void WriteDeferredOperations(IEngineHost* host, HKEY runOnceRoot, const VLString& destinationFolder,
                             const VLStringArray& pendingInstalls, const VLStringArray& pendingRegistrations)
{
    if (pendingInstalls.GetCount() == 0 && pendingRegistrations.GetCount() == 0)
        return;

    std::unique_ptr<ISettingsSection> section = host ? host->OpenSection(kFinalizeSection, 1) : nullptr;
    if (section) {
        // Deletions and installs are numbered separately, each from 0, in list order.
        int deletes = 0, installs = 0;
        for (int i = 0; i < pendingInstalls.GetCount(); ++i) {
            const VLString& entry = pendingInstalls[i];
            VLString name = entry.Find(L"_DELETEFILE") >= 0 ? VLString::Format(L"Delete File (%d)", deletes++)
                                                              : VLString::Format(L"Install File (%d)", installs++);
            section->SetText(name, entry, 0);
        }
    } else {
        VLLog::Write(kLogTag, L"The section \"Installer\\Finalize\" cannot be opened; deferred files are not recorded");
    }

    VLRegistryKey runOnce;
    LONG error = runOnce.Create(runOnceRoot, kRunOnceKey, true, KEY_READ | KEY_WRITE);
    if (error == ERROR_SUCCESS)
        error = runOnce.WriteString(kRunOnceValue, RunOnceCommand(destinationFolder));
    if (error != ERROR_SUCCESS)
        VLLog::WriteFormat(kLogTag, L"RunOnce entry not written (error %d)", static_cast<int>(error));

    if (section) {
        for (int i = 0; i < pendingRegistrations.GetCount(); ++i)
            section->SetText(VLString::Format(L"Register File (%d)", i), pendingRegistrations[i], 0);
    }
}

bool IsRestartNeeded(bool restartRequired, const VLStringArray& pendingInstalls)
{
    if (restartRequired)
        return true;
    // Every entry counts, the last one included: a file replaced at the next
    // logon is only taken up after a restart, wherever it stands in the list.
    for (int i = 0; i < pendingInstalls.GetCount(); ++i) {
        VLString entry = pendingInstalls[i];
        entry.Trim();
        // A kept package ("|staged") is installed from the staging folder and
        // needs no restart; the shell extension is taken up by the next logon.
        if (entry.Find(L'|', 1) > 0 && entry.FindNoCase(L"shellext.dll") < 0)
            return true;
    }
    return false;
}

ECompletionMode DecideMode(bool restartNeeded, bool noRun)
{
    if (restartNeeded)
        return ECompletionMode::RestartWindows;
    return noRun ? ECompletionMode::Nothing : ECompletionMode::RunProgram;
}

void RegisterProductPrograms(IComponentRunner& runner, const VLString& destinationFolder,
                             const VLString& mainProgramFile, int timeoutMs)
{
    // The media server product has neither program to register; without a
    // destination the names would be taken from the current folder.
    if (destinationFolder.IsEmpty() || mainProgramFile.FindNoCase(L"Hovan") >= 0)
        return;
    // A missing main program name must not start the destination folder itself.
    if (!mainProgramFile.IsEmpty()) {
        VLString mainProgram = destinationFolder + mainProgramFile;
        if (VLFileSystem::FileExists(mainProgram))
            runner.RunAndWait(mainProgram, L"/Register", timeoutMs);
    }
    VLString service = destinationFolder + L"VLService.exe";
    if (VLFileSystem::FileExists(service))
        runner.RunAndWait(service, L"/Register", timeoutMs);
}

bool WriteFinishJournal(const VLString& folder, const VLString& programPath)
{
    VLString text = L"\xFEFF" L"VLFI0001\r\n" + programPath;
    VLFile file;
    if (!file.Open(folder + kJournalName, false, true, VLFile::kCreateAlways, 0)) {
        VLLog::WriteFormat(kLogTag, L"Finish.txt not written (error %d)", static_cast<int>(::GetLastError()));
        return false;
    }
    const DWORD size = static_cast<DWORD>(text.GetLength()) * sizeof(wchar_t);
    DWORD done = 0;
    return file.Write(text.GetString(), size, &done) && done == size;
}

void MarkFolderReadOnly(const VLString& folder)
{
    DWORD attributes = VLFileSystem::GetAttributes(folder);
    // Adding a bit to INVALID_FILE_ATTRIBUTES would set every attribute.
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    VLFileSystem::SetAttributes(folder, attributes | FILE_ATTRIBUTE_READONLY);
}

CCompletionResult Run(const CCompletionJob& job)
{
    VLLogScope scope(kLogTag);
    CCompletionResult result;
    if (!job.Options)
        return result;
    InstallOptionsData& options = *job.Options;
    const VLString destination = WithTrailingBackslash(options.DestinationFolder);

    WriteDeferredOperations(job.Host, job.RunOnceRoot, destination, options.PendingInstalls,
                            options.PendingRegistrations);
    result.RestartNeeded = IsRestartNeeded(options.RestartRequired, options.PendingInstalls);
    result.Mode = DecideMode(result.RestartNeeded, options.NoRun);
    options.PendingInstalls.RemoveAll();

    CInstallContext context;
    context.DestinationFolder = destination;
    context.Portable = options.Portable;
    context.ExistingInstall = options.ExistingInstall;
    context.Upgrade = options.Upgrade;
    context.Host = job.Host;
    CProductRecords records(context);
    records.WriteInstallCounters(CProductRecords::IsUpdating(context));

    if (job.Runner)
        RegisterProductPrograms(*job.Runner, destination, job.MainProgramFile, job.RegisterTimeoutMs);

    records.WriteInstallCount(options.Upgrade);
    scope.WriteFormat(L"restart needed %d, completion mode %d", result.RestartNeeded ? 1 : 0,
                      static_cast<int>(result.Mode));
    return result;
}

}  // namespace CInstallCompletion
