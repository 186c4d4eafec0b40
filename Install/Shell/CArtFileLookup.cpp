#include "CArtFileLookup.h"

#include <windows.h>

#include <utility>

namespace {

bool IsFile(const VLString& path)
{
    DWORD attributes = ::GetFileAttributesW(path.GetString());
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
    VLString withSlash = folder;
    if (withSlash[withSlash.GetLength() - 1] != L'\\')
        withSlash += L'\\';
    m_folders.Add(withSlash);
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
        VLString data = programFolder;
        if (data[data.GetLength() - 1] != L'\\')
            data += L'\\';
        data += L"Data\\";
        lookup.AddDataFolder(data);
    }
    if (!installerFolder.IsEmpty()) {
        VLString data = installerFolder;
        if (data[data.GetLength() - 1] != L'\\')
            data += L'\\';
        data += L"Quenbox\\Data\\";
        lookup.AddDataFolder(data);
    }
    return lookup;
}
