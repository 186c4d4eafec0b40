#pragma once
// Enumerates the entries of one folder ("*.*"). Folders whose name starts
// with "." are skipped (this covers "." and ".."); files never are.
//
//   VLDirectoryFinder finder(folder);
//   while (finder.Next()) { use finder.GetPath() ... }

#include "VLHandle.h"
#include "VLString.h"

#include <windows.h>

class VLDirectoryFinder {
public:
    VLDirectoryFinder() = default;
    explicit VLDirectoryFinder(const VLString& folder) { Start(folder); }

    // Starts over in another folder; the first entry comes with Next().
    void Start(const VLString& folder);
    // Moves to the next entry; false at the end (or when the folder cannot be read).
    bool Next();
    void Close() { m_find.Reset(); }

    // Full path; folders carry a trailing backslash.
    const VLString& GetPath() const { return m_path; }
    const VLString& GetName() const { return m_name; }
    DWORD GetAttributes() const { return m_data.dwFileAttributes; }
    bool IsFolder() const { return (m_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    ULONGLONG GetSize() const
    {
        return (static_cast<ULONGLONG>(m_data.nFileSizeHigh) << 32) | m_data.nFileSizeLow;
    }
    FILETIME GetCreationTime() const { return m_data.ftCreationTime; }
    FILETIME GetLastAccessTime() const { return m_data.ftLastAccessTime; }
    FILETIME GetLastWriteTime() const { return m_data.ftLastWriteTime; }

private:
    bool Accept();

    VLString m_folder;  // with trailing backslash
    VLUniqueFind m_find;
    bool m_started = false;
    WIN32_FIND_DATAW m_data = {};
    VLString m_path;
    VLString m_name;
};
