#include "CArtFileLookup.h"

#include <windows.h>

#include <utility>

#include "VLPath.h"

namespace {

bool IsFile(const VLString& path)
{
    DWORD attributes = ::GetFileAttributesW(VLPath::ApplyLongPathRule(path).GetString());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CArtFileLookup::CArtFileLookup(VLStringArray dataFolders)
{
    for (int i = 0; i < dataFolders.GetCount(); ++i)
        AddDataFolder(dataFolders[i]);
}

void CArtFileLookup::AddDataFolder(const VLString& folder)
{
    if (folder.IsEmpty())
        return;
    m_folders.Add(VLPath::AddTrailingBackslash(folder));
}

VLString CArtFileLookup::Find(const VLString& name) const
{
    if (name.IsEmpty())
        return VLString();
    static const wchar_t* const kKinds[] = {L"Custom Art\\", L"Default Art\\"};
    for (int i = 0; i < m_folders.GetCount(); ++i) {
        for (const wchar_t* kind : kKinds) {
            VLString path = m_folders[i];
            path += kind;
            path += name;
            if (IsFile(path))
                return path;
        }
    }
    return VLString();
}

CArtFileLookup CArtFileLookup::ForProduct(const VLString& programFolder, const VLString& installerFolder)
{
    CArtFileLookup lookup;
    if (!programFolder.IsEmpty()) {
        lookup.AddDataFolder(VLPath::AddTrailingBackslash(programFolder) + L"Data\\");
    }
    if (!installerFolder.IsEmpty()) {
        lookup.AddDataFolder(VLPath::AddTrailingBackslash(installerFolder) + L"Quenbox\\Data\\");
    }
    return lookup;
}
