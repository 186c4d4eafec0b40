#include "InstallerFolder.h"

#include <windows.h>

namespace {
VLString g_override;
}

VLString GetInstallerFolder()
{
    if (!g_override.IsEmpty())
        return g_override;
    VLString path;
    wchar_t* buffer = path.GetBuffer(32768, false, false);
    DWORD length = ::GetModuleFileNameW(nullptr, buffer, 32768);
    path.ReleaseBuffer(length < 32768 ? static_cast<int>(length) : 0);
    int slash = path.ReverseFind(L'\\');
    return slash >= 0 ? path.Left(slash + 1) : VLString();
}

void SetInstallerFolder(const VLString& folder)
{
    g_override = folder;
    if (!g_override.IsEmpty() && g_override.GetLast() != L'\\')
        g_override += L'\\';
}
