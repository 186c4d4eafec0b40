#include "VLFileSystem.h"

#include "VLDirectoryFinder.h"
#include "VLFile.h"
#include "VLLog.h"
#include "VLPath.h"
#include "VLStdText.h"

#include <atomic>
#include <vector>

DWORD VLFileSystem::GetAttributes(const VLString& path)
{
    if (path.IsEmpty())
        return INVALID_FILE_ATTRIBUTES;
    return ::GetFileAttributesW(VLPath::ToSystemPath(path));
}

bool VLFileSystem::SetAttributes(const VLString& path, DWORD attributes)
{
    return !path.IsEmpty() && ::SetFileAttributesW(VLPath::ToSystemPath(path), attributes);
}

bool VLFileSystem::FileExists(const VLString& path)
{
    DWORD attributes = GetAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool VLFileSystem::DirectoryExists(const VLString& path)
{
    DWORD attributes = GetAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

std::atomic<VLFileSystem::RemoteSizeQuery> g_remoteSizeQuery{nullptr};

}  // namespace

void VLFileSystem::SetRemoteSizeQuery(RemoteSizeQuery query)
{
    g_remoteSizeQuery.store(query);
}

LONGLONG VLFileSystem::GetFileSize(const VLString& path)
{
    if (path.Find(L"://") >= 0 && path.FindNoCase(L"file://") != 0) {
        RemoteSizeQuery query = g_remoteSizeQuery.load();
        return query ? query(path) : -1;
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.IsEmpty() || !::GetFileAttributesExW(VLPath::ToSystemPath(path), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return static_cast<LONGLONG>((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

bool VLFileSystem::CreateFolder(const VLString& path)
{
    if (path.IsEmpty())
        return false;
    if (::CreateDirectoryW(VLPath::ToSystemPath(VLPath::RemoveTrailingBackslash(path)), nullptr))
        return true;
    return ::GetLastError() == ERROR_ALREADY_EXISTS && DirectoryExists(path);
}

bool VLFileSystem::EnsureDirectory(const VLString& path, bool writeTest)
{
    if (path.IsEmpty())
        return false;
    VLString folder = VLPath::AddTrailingBackslash(path);
    if (!VLPath::IsValidAbsolutePath(folder))
        return false;
    if (DirectoryExists(folder))
        return writeTest ? DirectoryWriteTest(folder) : true;

    // Walk up to the nearest existing folder, then create downwards.
    std::vector<std::wstring> missing;
    std::wstring current = VLToStd(VLPath::RemoveTrailingBackslash(folder));
    while (!current.empty() && !DirectoryExists(VLFromStd(current))) {
        missing.push_back(current);
        size_t cut = current.rfind(L'\\');
        if (cut == std::wstring::npos || cut < 2)
            break;
        current.erase(cut);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!CreateFolder(VLFromStd(*it)))
            return false;
    }
    return writeTest ? DirectoryWriteTest(folder) : true;
}

bool VLFileSystem::DirectoryWriteTest(const VLString& folder)
{
    VLString withSlash = VLPath::AddTrailingBackslash(folder);
    {
        VLUniqueFile handle(::CreateFileW(VLPath::ToSystemPath(VLPath::RemoveTrailingBackslash(withSlash)),
                                          FILE_ADD_FILE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (handle.IsValid())
            return true;
    }
    VLString probe = VLString::Format(L"%sDirectory Write Test (%d).tmp", withSlash,
                                      static_cast<int>(::GetCurrentThreadId()));
    VLFile file;
    if (!file.Open(probe, true, true, VLFile::kOpenAlways))
        return false;
    file.Close();
    RemoveFile(probe);
    return true;
}

bool VLFileSystem::RemoveFile(const VLString& path)
{
    if (path.IsEmpty()) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    VLString systemPath = VLPath::ToSystemPath(path);
    ::SetFileAttributesW(systemPath, FILE_ATTRIBUTE_NORMAL);
    return ::DeleteFileW(systemPath) != FALSE;
}

bool VLFileSystem::RemoveFolder(const VLString& path)
{
    if (path.IsEmpty())
        return false;
    VLString systemPath = VLPath::ToSystemPath(VLPath::RemoveTrailingBackslash(path));
    ::SetFileAttributesW(systemPath, FILE_ATTRIBUTE_NORMAL);
    return ::RemoveDirectoryW(systemPath) != FALSE;
}

bool VLFileSystem::DeleteDirectoryTree(const VLString& folder, VLStringArray* deletedFiles)
{
    if (folder.IsEmpty())
        return false;
    VLDirectoryFinder finder(folder);
    while (finder.Next()) {
        if (finder.IsFolder()) {
            // A junction or symbolic link is removed as a link; following it
            // would delete what it points to, outside this tree.
            if (finder.GetAttributes() & FILE_ATTRIBUTE_REPARSE_POINT)
                RemoveFolder(finder.GetPath());
            else
                DeleteDirectoryTree(finder.GetPath(), deletedFiles);
        } else if (RemoveFile(finder.GetPath()) && deletedFiles) {
            deletedFiles->Add(finder.GetPath());
        }
    }
    finder.Close();
    RemoveFolder(folder);
    return !DirectoryExists(folder);
}

bool VLFileSystem::IsDirectoryEmpty(const VLString& folder, bool recurse, bool stopAtSubFolders)
{
    VLDirectoryFinder finder(folder);
    while (finder.Next()) {
        if (!finder.IsFolder()) {
            if (finder.GetName().CompareNoCase(L"Thumbs.db") != 0)
                return false;
        } else if (recurse) {
            if (!IsDirectoryEmpty(finder.GetPath(), recurse, stopAtSubFolders))
                return false;
        } else if (stopAtSubFolders) {
            return false;
        }
    }
    return true;
}

void VLFileSystem::RemoveEmptyFolders(const VLString& folder)
{
    std::wstring current = VLToStd(VLPath::RemoveTrailingBackslash(folder));
    while (current.size() > 2) {
        VLString path = VLFromStd(current);
        if (!IsDirectoryEmpty(path, true, false))
            break;
        if (DirectoryExists(path) && !DeleteDirectoryTree(path))
            break;  // in use: its parents cannot be empty either
        size_t cut = current.rfind(L'\\');
        if (cut == std::wstring::npos)
            break;
        current.erase(cut);
    }
}

VLString VLFileSystem::MakeUniqueFileName(const VLString& path)
{
    VLString result = path;
    std::wstring text = VLToStd(path);
    size_t nameStart = text.rfind(L'\\');
    nameStart = nameStart == std::wstring::npos ? 0 : nameStart + 1;
    size_t dot = text.rfind(L'.');
    if (dot == std::wstring::npos || dot < nameStart)
        dot = text.size();
    VLString stem = VLFromStd(text.substr(0, dot));
    VLString extension = VLFromStd(text.substr(dot));
    for (int guard = 0; FileExists(result) && guard < 100000; ++guard) {
        stem.IncrementNumberSuffix();
        result = stem + extension;
    }
    return result;
}

bool VLFileSystem::SafeReplaceFile(const VLString& target, const VLString& newFile)
{
    static const wchar_t kTag[] = L"VLFileSystem::SafeReplaceFile";
    bool ok = false;
    if (GetFileSize(newFile) == -1) {
        ok = false;
    } else if (!FileExists(target)) {
        ok = MoveFileTo(newFile, target);
    } else {
        VLString backup = MakeUniqueFileName(target);
        if (!MoveFileTo(target, backup)) {
            VLLog::Write(kTag, L"Error renaming original file");
        } else if (MoveFileTo(newFile, target)) {
            RemoveFile(backup);
            ok = true;
        } else {
            MoveFileTo(backup, target);
            VLLog::Write(kTag, L"Error moving new file into place of original name");
        }
    }
    if (!ok) {
        DWORD error = ::GetLastError();
        RemoveFile(newFile);
        ::SetLastError(error);
    }
    return ok;
}

bool VLFileSystem::GetFreeSpace(const VLString& path, ULONGLONG* availableToCaller, ULONGLONG* totalBytes,
                                ULONGLONG* totalFree)
{
    std::wstring current = VLToStd(path);
    if (current.size() == 1)
        current += L':';
    current = VLToStd(VLPath::AddTrailingBackslash(VLFromStd(current)));
    for (;;) {
        ULARGE_INTEGER available, total, free;
        if (!current.empty() &&
            ::GetDiskFreeSpaceExW(VLPath::ToSystemPath(VLFromStd(current)), &available, &total, &free)) {
            if (availableToCaller)
                *availableToCaller = available.QuadPart;
            if (totalBytes)
                *totalBytes = total.QuadPart;
            if (totalFree)
                *totalFree = free.QuadPart;
            return true;
        }
        while (!current.empty() && current.back() == L'\\')
            current.pop_back();
        size_t cut = current.rfind(L'\\');
        if (cut == std::wstring::npos || cut < 2)
            break;
        current.erase(cut + 1);
    }
    if (availableToCaller)
        *availableToCaller = 0;
    if (totalBytes)
        *totalBytes = 0;
    if (totalFree)
        *totalFree = 0;
    return false;
}

bool VLFileSystem::CopyFileTo(const VLString& source, const VLString& destination, bool overwrite)
{
    return ::CopyFileW(VLPath::ToSystemPath(source), VLPath::ToSystemPath(destination), !overwrite) != FALSE;
}

bool VLFileSystem::MoveFileTo(const VLString& source, const VLString& destination)
{
    return ::MoveFileW(VLPath::ToSystemPath(source), VLPath::ToSystemPath(destination)) != FALSE;
}

bool VLFileSystem::MoveFileWithFlags(const VLString& source, const VLString& destination, DWORD flags)
{
    VLString systemDestination = destination.IsEmpty() ? VLString() : VLPath::ToSystemPath(destination);
    return ::MoveFileExW(VLPath::ToSystemPath(source), destination.IsEmpty() ? nullptr : systemDestination.GetString(),
                         flags) != FALSE;
}
