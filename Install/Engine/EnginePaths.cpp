#include "EnginePaths.h"

#include <windows.h>

VLString EngineWin32Path(const VLString& path)
{
    if (path.GetLength() < MAX_PATH)
        return path;
    const wchar_t* p = path;
    if (p[0] == L'\\' && p[1] == L'\\' && p[2] == L'?' && p[3] == L'\\')
        return path;
    DWORD needed = ::GetFullPathNameW(p, 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    VLString full;
    wchar_t* buffer = full.GetBuffer(static_cast<int>(needed), true, false);
    DWORD written = ::GetFullPathNameW(p, needed, buffer, nullptr);
    full.ReleaseBuffer(written < needed ? static_cast<int>(written) : 0);
    if (full.IsEmpty())
        return path;
    const wchar_t* f = full;
    if (f[0] == L'\\' && f[1] == L'\\')
        return VLString(L"\\\\?\\UNC\\") + full.Mid(2);
    return VLString(L"\\\\?\\") + full;
}

VLString EngineFolderOf(const VLString& path)
{
    int slash = path.ReverseFind(L'\\');
    return slash < 0 ? VLString() : path.Left(slash + 1);
}

VLString EngineFileNameOf(const VLString& path)
{
    int slash = path.ReverseFind(L'\\');
    return slash < 0 ? path : path.Mid(slash + 1);
}

VLString EngineWithBackslash(const VLString& folder)
{
    VLString result = folder;
    while (result.GetLength() > 1 && result[result.GetLength() - 1] == L'\\' &&
           result[result.GetLength() - 2] == L'\\')
        result = result.Left(result.GetLength() - 1);
    if (!result.IsEmpty() && result[result.GetLength() - 1] != L'\\')
        result += L'\\';
    return result;
}

bool EngineFileExists(const VLString& path)
{
    DWORD attributes = ::GetFileAttributesW(EngineWin32Path(path));
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool EngineEnsureFolder(const VLString& folder)
{
    VLString path = EngineWithBackslash(folder);
    if (path.GetLength() < 3)
        return false;
    DWORD attributes = ::GetFileAttributesW(EngineWin32Path(path));
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // Walk up to the first existing folder, then create the missing ones from
    // the outside in.
    VLString parent = EngineFolderOf(path.Left(path.GetLength() - 1));
    if (parent.GetLength() >= 3 && parent != path && !EngineEnsureFolder(parent))
        return false;
    if (::CreateDirectoryW(EngineWin32Path(path), nullptr))
        return true;
    return ::GetLastError() == ERROR_ALREADY_EXISTS;
}
