#pragma once
// Unpacks zip archives (stored and deflated entries) with zlib.

#include "VLString.h"

class CZipArchive {
public:
    // Turns an entry name into a path relative to the target folder, with
    // backslashes. False for names that could land outside the folder or
    // that Windows would reinterpret: absolute paths, drive letters or any
    // ":", ".." (or any all-dots segment), and characters not allowed in file
    // names.
    static bool SafeRelativePath(const VLString& entryName, VLString& relative);

    // Checks every entry first; only when all are acceptable are files
    // written. Without keepFolders each file lands directly in folder.
    // On failure returns false with a reason in `error`.
    static bool Extract(const wchar_t* archive, const wchar_t* folder, bool keepFolders, VLString& error);
};
