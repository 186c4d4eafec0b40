#pragma once
// File and folder operations. Every path goes through VLPath::ToSystemPath,
// so paths of 260 units and more work everywhere. Operations return success
// and leave partial results in place; none throws.

#include "VLString.h"
#include "VLStringArray.h"

#include <windows.h>

#ifdef GetFreeSpace
#undef GetFreeSpace  // an old 16-bit macro of winbase.h
#endif

class VLFileSystem {
public:
    // An existing entry that is not a folder.
    static bool FileExists(const VLString& path);
    // An existing folder.
    static bool DirectoryExists(const VLString& path);
    // Size of a local file; -1 when it does not exist (or is a folder). For an
    // address ("http://...") the remote size query answers, -1 without one.
    static LONGLONG GetFileSize(const VLString& path);
    // The file loader plugs in its HTTP "HEAD" size query here (it sits above
    // this library); nullptr removes it.
    using RemoteSizeQuery = LONGLONG (*)(const VLString& url);
    static void SetRemoteSizeQuery(RemoteSizeQuery query);
    // INVALID_FILE_ATTRIBUTES when the entry does not exist.
    static DWORD GetAttributes(const VLString& path);
    static bool SetAttributes(const VLString& path, DWORD attributes);

    // Creates the folder and every missing parent; the path must be absolute
    // ("X:\" or "\\server"). With writeTest, also DirectoryWriteTest.
    static bool EnsureDirectory(const VLString& path, bool writeTest = false);
    // Whether files can be added to the folder.
    static bool DirectoryWriteTest(const VLString& folder);
    // One folder level (CreateDirectoryW); an existing folder counts as success.
    static bool CreateFolder(const VLString& path);

    // Resets the attributes (read-only included), then deletes. GetLastError
    // tells why on failure.
    static bool RemoveFile(const VLString& path);
    // Deletes the folder with everything in it; each deleted file is added to
    // deletedFiles when given. True when the folder is gone.
    static bool DeleteDirectoryTree(const VLString& folder, VLStringArray* deletedFiles = nullptr);
    // "Thumbs.db" does not count. A sub-folder counts when stopAtSubFolders is
    // set; with recurse, only when it is not empty itself.
    static bool IsDirectoryEmpty(const VLString& folder, bool recurse, bool stopAtSubFolders);
    // Deletes the folder and then its parents for as long as they are empty;
    // never a bare drive.
    static void RemoveEmptyFolders(const VLString& folder);

    // "report.txt" -> "report (1).txt" -> "report (2).txt" ... until free.
    static VLString MakeUniqueFileName(const VLString& path);
    // Replaces target by newFile so that the target survives any failure; on
    // failure the new file is deleted.
    static bool SafeReplaceFile(const VLString& target, const VLString& newFile);

    // Free space for the caller, total size and total free space of the
    // volume holding path; a folder that does not exist yet is measured at
    // its nearest existing parent. All 0 and false when none is found.
    static bool GetFreeSpace(const VLString& path, ULONGLONG* availableToCaller, ULONGLONG* totalBytes = nullptr,
                             ULONGLONG* totalFree = nullptr);

    // Thin wrappers for the remaining file calls, so callers never hand a
    // path to Windows themselves.
    static bool CopyFileTo(const VLString& source, const VLString& destination, bool overwrite);
    static bool MoveFileTo(const VLString& source, const VLString& destination);
    // MoveFileExW with its flags (MOVEFILE_*); an empty destination deletes
    // (with MOVEFILE_DELAY_UNTIL_REBOOT: at the next start).
    static bool MoveFileWithFlags(const VLString& source, const VLString& destination, DWORD flags);
    static bool RemoveFolder(const VLString& path);
};
