#pragma once
// Collects the paths below a folder, with settings for recursion, folders,
// files, attributes to skip and allowed extensions.

#include "VLString.h"
#include "VLStringArray.h"

#include <windows.h>

class VLFileLister {
public:
    void SetRecurse(bool recurse) { m_recurse = recurse; }
    void SetIncludeFolders(bool include) { m_includeFolders = include; }
    void SetIncludeFiles(bool include) { m_includeFiles = include; }
    // Entries with any of these attributes are skipped (folders are then not entered).
    void SetSkipAttributes(DWORD attributes) { m_skipAttributes = attributes; }
    // Allowed extensions without the dot ("mp3"), compared without regard to
    // case; with a list, files without an extension are skipped. An empty
    // list allows every file.
    void SetExtensions(const VLStringArray& extensions) { m_extensions = extensions; }

    // Appends the paths found below folder (folders with a trailing
    // backslash) and returns how many were added.
    int List(const VLString& folder, VLStringArray& paths) const;

private:
    bool ExtensionAllowed(const VLString& name) const;

    bool m_recurse = false;
    bool m_includeFolders = false;
    bool m_includeFiles = true;
    DWORD m_skipAttributes = 0;
    VLStringArray m_extensions;
};
