#include "FilePlacer.h"

#include "VLFileSystem.h"
#include "VLPath.h"
#include "VLHandle.h"
#include "VLLog.h"

#include <windows.h>

#include <cwchar>
#include <vector>

namespace {

struct CListedFile {
    VLString Path;
    uint64_t Size;
};

// Every file below folder (which ends in a backslash): the files of a folder
// in the order FindFirstFile gives, then its sub-folders, so that the files of
// one folder stay together. Adds up the sizes as it goes.
void ListFiles(const VLString& folder, std::vector<CListedFile>& files, uint64_t& total)
{
    std::vector<VLString> subFolders;
    WIN32_FIND_DATAW data;
    VLUniqueFind find(::FindFirstFileW(VLPath::ApplyLongPathRule(folder + L"*.*"), &data));
    if (!find.IsValid())
        return;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (data.cFileName[0] != L'.')
                subFolders.push_back(folder + data.cFileName + L"\\");
            continue;
        }
        uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        files.push_back({folder + data.cFileName, size});
        total += size;
    } while (::FindNextFileW(find.Get(), &data));
    find.Reset();
    for (const VLString& subFolder : subFolders)
        ListFiles(subFolder, files, total);
}

using MoveFileExFn = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);

}  // namespace

CFilePlacer::CFilePlacer(CInstallContext& context, IFileVersionSource* versions)
    : m_context(context),
      m_versions(versions ? versions : &m_windowsVersions),
      m_x64Folder(context.DestinationFolder.IsEmpty() ? VLString() : context.DestinationFolder + L"x64\\")
{
}

bool CFilePlacer::EnsureFolderOf(const VLString& path)
{
    int slash = path.ReverseFind(L'\\');
    if (slash < 0)
        return false;
    // Files of one folder come one after another: compare in place, without
    // making the folder text for each of them.
    if (m_lastFolder.GetLength() == slash + 1 && wcsncmp(path, m_lastFolder, slash + 1) == 0)
        return true;
    VLString folder = path.Left(slash + 1);
    if (!VLFileSystem::EnsureDirectory(folder))
        return false;
    m_lastFolder = folder;
    return true;
}

CPlaceResult CFilePlacer::PlaceFile(const VLString& source, const VLString& target, int mode,
                                    VLStringArray* registrationList)
{
    CPlaceResult result;
    CPlaceInput in;
    in.Source = &source;
    in.Target = &target;
    in.Mode = mode;
    in.X64Folder = &m_x64Folder;
    in.Is64BitWindows = m_context.Is64BitWindows;

    // Deciding first reads nothing but versions, so no folder is made for a
    // file that is not placed.
    CPlacementDecision decision = VLDecidePlacement(in, *m_versions);
    result.Decision = decision.Action;
    if (decision.Action == EPlaceDecision::Skip64BitOn32 || decision.Action == EPlaceDecision::LeaveCoreModule)
        return result;

    EnsureFolderOf(target);

    // The media server holds its program open while it runs.
    if (VLEndsWithNoCase(target, L"HovanServer.exe") && VLFileSystem::FileExists(target) && m_context.Runner)
        m_context.Runner->RunAndWait(target, L"stop", 0);

    if (decision.Action == EPlaceDecision::Copy) {
        VLString sysTarget = VLPath::ApplyLongPathRule(target);
        // A read-only or hidden target would refuse the delete and the copy.
        ::SetFileAttributesW(sysTarget, FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(sysTarget);
        if (::CopyFileW(VLPath::ApplyLongPathRule(source), sysTarget, FALSE)) {
            result.Copied = true;
            ::SetFileAttributesW(sysTarget, FILE_ATTRIBUTE_NORMAL);
            if (mode & kModeFont)
                ::AddFontResourceW(sysTarget);
        } else {
            VLLog::WriteFormat(L"CFilePlacer::PlaceFile", L"Copy to '%s' failed (error %d)", target,
                               static_cast<int>(::GetLastError()));
            CCopyFailureOutcome failure = VLDecideCopyFailure(ReplaceAtRestart(source, target), source, target);
            result.Deferred = failure.Deferred;
            if (failure.SetRestartRequired && m_context.Deferred.RestartRequired)
                *m_context.Deferred.RestartRequired = true;
            if (failure.ClearShellExtension && m_context.Deferred.ShellExtRegistrationAllowed)
                *m_context.Deferred.ShellExtRegistrationAllowed = false;
            if (failure.Stage)
                result.Staged = StageForCompletion(source, target, false);
            else
                VLLog::WriteFormat(L"CFilePlacer::PlaceFile", L"'%s' is replaced at the next restart", target);
        }
    }

    result.Registration = VLDecideRegistration(source, result.Deferred, decision.Is64BitFile, registrationList != nullptr);
    RunRegistration(result.Registration, target, registrationList);
    return result;
}

void CFilePlacer::RunRegistration(ERegistration registration, const VLString& target,
                                  VLStringArray* registrationList)
{
    switch (registration) {
    case ERegistration::AtRestart:
        if (m_context.Deferred.PendingRegistration)
            m_context.Deferred.PendingRegistration->Add(VLString::Format(L"%s|%s", target, L"_REGISTERFILE"));
        break;
    case ERegistration::RegSvr32x64:
        if (m_context.Runner)
            m_context.Runner->RegisterWithRegSvr32x64(target);
        break;
    case ERegistration::AddToList:
        registrationList->Add(target);
        break;
    case ERegistration::InProcess:
        if (m_context.Runner)
            m_context.Runner->RegisterInProcess(target);
        break;
    case ERegistration::None:
    case ERegistration::Invalid:
        break;
    }
}

bool CFilePlacer::CopyFolder(int mode, IEngineProgress* progress, const VLString& targetFolder,
                             const VLString& sourceFolder, VLStringArray* registrationList)
{
    VLString target = VLPath::AddTrailingBackslash(targetFolder);
    VLString source = VLPath::AddTrailingBackslash(sourceFolder);

    std::vector<CListedFile> files;
    uint64_t total = 0;
    ListFiles(source, files, total);

    int position = 0;
    if (progress) {
        progress->SetProgressRange(0, 100);
        progress->SetProgressPos(0);
        progress->PumpMessages();
    }
    uint64_t done = 0;
    const int sourceLength = source.GetLength();
    for (size_t i = 0; i < files.size(); ++i) {
        if (progress)
            progress->PumpMessages();
        const CListedFile& file = files[i];
        PlaceFile(file.Path, target + file.Path.Mid(sourceLength), mode, registrationList);
        done += file.Size;
        // A folder of empty files advances by file count instead of bytes.
        int now = total ? static_cast<int>(done * 100 / total) : static_cast<int>((i + 1) * 100 / files.size());
        if (progress) {
            if (now != position) {
                position = now;
                progress->SetProgressPos(position);
            }
            progress->PumpMessages();
        }
    }
    return true;
}

VLString CFilePlacer::StagedPathFor(const VLString& source, bool unique) const
{
    VLString staging = m_context.StagingFolder();
    VLString name = VLPath::GetFileName(source);
    VLString staged = staging + name;
    if (!unique)
        return staged;
    // Two targets of the same name (a file and its "x64\" twin) must not share
    // one staged copy, or one of them would receive the other's contents.
    const VLStringArray& used = m_context.StagedFiles;
    int dot = name.ReverseFind(L'.');
    VLString stem = dot > 0 ? name.Left(dot) : name;
    VLString extension = dot > 0 ? name.Mid(dot) : VLString();
    for (int n = 1; used.Find(staged, false) >= 0; ++n)
        staged = staging + stem + VLString::Format(L" (%d)", n) + extension;
    return staged;
}

void CFilePlacer::NoteStaged(const VLString& staged)
{
    m_context.StagedFiles.Add(staged);
}

bool CFilePlacer::ReplaceAtRestart(const VLString& source, const VLString& target)
{
    auto moveFileEx = reinterpret_cast<MoveFileExFn>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "MoveFileExW"));
    if (!moveFileEx)
        return false;
    VLFileSystem::EnsureDirectory(m_context.StagingFolder());
    VLString staged = StagedPathFor(source, true);
    if (!::CopyFileW(VLPath::ApplyLongPathRule(source), VLPath::ApplyLongPathRule(staged), FALSE)) {
        VLLog::WriteFormat(L"CFilePlacer::ReplaceAtRestart", L"Copy to '%s' failed (error %d)", staged,
                           static_cast<int>(::GetLastError()));
        return false;
    }
    if (!moveFileEx(VLPath::ApplyLongPathRule(staged), VLPath::ApplyLongPathRule(target),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT)) {
        VLLog::WriteFormat(L"CFilePlacer::ReplaceAtRestart", L"MoveFileExW to '%s' failed (error %d)", target,
                           static_cast<int>(::GetLastError()));
        return false;
    }
    NoteStaged(staged);
    return true;
}

bool CFilePlacer::StageForCompletion(const VLString& source, const VLString& target, bool packageMode)
{
    VLString staging = m_context.StagingFolder();
    VLFileSystem::EnsureDirectory(staging);
    VLString staged = StagedPathFor(source, !packageMode);
    bool recorded = ::CopyFileW(VLPath::ApplyLongPathRule(source), VLPath::ApplyLongPathRule(staged), FALSE) != FALSE;
    if (recorded) {
        NoteStaged(staged);
        if (m_context.Deferred.PendingInstall)
            m_context.Deferred.PendingInstall->Add(VLString::Format(L"%s|%s", target, staged));
        VLLog::WriteFormat(L"CFilePlacer::StageForCompletion", L"'%s' staged as '%s'", target, staged);
    } else {
        VLLog::WriteFormat(L"CFilePlacer::StageForCompletion", L"'%s' left out: copy to '%s' failed (error %d)",
                           source, staged, static_cast<int>(::GetLastError()));
    }
    if (target.IsEmpty() && packageMode) {
        // The data files beside a package travel with it.
        VLString folder = VLPath::GetFolder(source);
        std::vector<CListedFile> files;
        uint64_t total = 0;
        ListFiles(folder, files, total);
        const int folderLength = folder.GetLength();
        for (const CListedFile& file : files) {
            VLString copy = staging + file.Path.Mid(folderLength);
            VLFileSystem::EnsureDirectory(VLPath::GetFolder(copy));
            ::CopyFileW(VLPath::ApplyLongPathRule(file.Path), VLPath::ApplyLongPathRule(copy), FALSE);
        }
    }
    return recorded;
}

VLString CFilePlacer::CopyCoreModulesOnce()
{
    const int passes = m_context.Is64BitWindows ? 2 : 1;
    VLString sourceFolder = m_context.InstallerFolder + L"Quenbox\\";
    VLString targetFolder = m_context.DestinationFolder;
    VLFileSystem::EnsureDirectory(targetFolder);
    if (passes > 1)
        VLFileSystem::EnsureDirectory(targetFolder + L"x64\\");
    for (int pass = 0; pass < passes; ++pass) {
        VLString from = pass == 0 ? sourceFolder : sourceFolder + L"x64\\";
        VLString to = pass == 0 ? targetFolder : targetFolder + L"x64\\";
        for (const wchar_t* name : kCoreModules) {
            VLString source = from + name;
            if (!VLFileSystem::FileExists(source))
                continue;
            VLString target = to + name;
            VLString sysTarget = VLPath::ApplyLongPathRule(target);
            ::SetFileAttributesW(sysTarget, FILE_ATTRIBUTE_NORMAL);
            if (!::CopyFileW(VLPath::ApplyLongPathRule(source), sysTarget, FALSE)) {
                VLLog::WriteFormat(L"CFilePlacer::CopyCoreModules", L"Copy to '%s' failed (error %d)", target,
                                   static_cast<int>(::GetLastError()));
                return target;
            }
            ::SetFileAttributesW(sysTarget, FILE_ATTRIBUTE_NORMAL);
        }
    }
    return VLString();
}

bool CFilePlacer::CopyCoreModules()
{
    for (;;) {
        VLString failed = CopyCoreModulesOnce();
        if (failed.IsEmpty())
            return true;
        IEngineHost* host = m_context.Host;
        if (!host)
            return false;
        VLString text = host->Translate(L"Install Wizard could not copy necessary files to the destination folder.\r\n\r\n") +
                        VLString::Format(host->Translate(L"Please ensure that the file '%s' is not in use."), failed);
        VLString retry = host->Translate(L"Retry");
        VLStringArray buttons;
        buttons.Add(retry);
        buttons.Add(host->Translate(L"Cancel"));
        VLString pressed = host->MessageBox(host->Translate(L"Failure Copying System File"), text, buttons);
        if (pressed == retry)
            continue;
        VLString critical = host->Translate(L"Install Wizard encountered a critical error and must close.\r\n\r\n") +
                            host->Translate(L"It is recommended that you reboot your computer and install again.\r\n\r\n") +
                            host->Translate(L"If this error persists, please uninstall and then install again.");
        VLStringArray ok;
        ok.Add(host->Translate(L"OK"));
        host->MessageBox(host->Translate(L"Install Error"), critical, ok);
        return false;
    }
}
