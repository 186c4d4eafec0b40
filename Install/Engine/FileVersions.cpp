#include "FileVersions.h"

#include "CVersionInfo.h"

bool CWindowsFileVersions::Available()
{
    return CVersionInfo::AreVersionFunctionsAvailable();
}

uint64_t CWindowsFileVersions::Version(const VLString& path)
{
    return CVersionInfo::FileVersion64(path);
}

VLString VLFileVersionText3(const VLString& path)
{
    VLString text;
    CVersionInfo info(path);
    if (FAILED(info.GetVersionText(text, false)))
        return VLString();
    return text;
}
