#include "VLMoveCopyDirectory.h"

#include "VLDirectoryFinder.h"
#include "VLFileSystem.h"
#include "VLPath.h"
#include "VLStdText.h"

#include <windows.h>

#include <set>

bool VLMoveCopyDirectory::Copy(const VLString& sourceFolder, const VLString& destinationFolder)
{
    return Run(sourceFolder, destinationFolder, false);
}

bool VLMoveCopyDirectory::Move(const VLString& sourceFolder, const VLString& destinationFolder)
{
    return Run(sourceFolder, destinationFolder, true);
}

void VLMoveCopyDirectory::Collect(const VLString& source, const VLString& destination)
{
    Item folder;
    folder.kind = Item::kFolder;
    folder.source = source;
    folder.destination = destination;
    m_items.push_back(folder);

    VLDirectoryFinder finder(source);
    while (finder.Next()) {
        if (finder.IsFolder()) {
            Collect(finder.GetPath(), destination + finder.GetName() + L"\\");
        } else {
            Item file;
            file.kind = Item::kFile;
            file.source = finder.GetPath();
            file.destination = destination + finder.GetName();
            m_items.push_back(file);
        }
    }
}

bool VLMoveCopyDirectory::Run(const VLString& sourceFolder, const VLString& destinationFolder, bool move)
{
    m_items.clear();
    VLString source = VLPath::AddTrailingBackslash(sourceFolder);
    VLString destination = VLPath::AddTrailingBackslash(destinationFolder);
    if (source.IsEmpty() || destination.IsEmpty() || !VLFileSystem::DirectoryExists(source))
        return false;
    Collect(source, destination);

    bool allDone = true;
    for (Item& item : m_items) {
        if (item.kind != Item::kFolder)
            continue;
        item.succeeded = VLFileSystem::EnsureDirectory(item.destination);
        allDone &= item.succeeded;
    }
    for (Item& item : m_items) {
        if (item.kind != Item::kFile)
            continue;
        // A read-only file in the way would refuse to be overwritten.
        DWORD attributes = VLFileSystem::GetAttributes(item.destination);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            VLFileSystem::SetAttributes(item.destination, attributes & ~FILE_ATTRIBUTE_READONLY);
        item.succeeded = VLFileSystem::CopyFileTo(item.source, item.destination, true);
        allDone &= item.succeeded;
    }
    if (!move)
        return allDone;

    // Remove the sources, innermost first. A source that is also a
    // destination (a tree moved into itself) stays, and so does every item
    // that failed, together with the folders holding it.
    std::set<std::wstring> destinations;
    for (const Item& item : m_items) {
        std::wstring key = VLToStd(item.destination);
        ::CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
        destinations.insert(key);
    }
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
        std::wstring key = VLToStd(it->source);
        ::CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
        if (!it->succeeded || destinations.count(key))
            continue;
        if (it->kind == Item::kFolder) {
            // Only the moved tree is tidied: its parents were not part of the move.
            if (VLFileSystem::IsDirectoryEmpty(it->source, true, false))
                VLFileSystem::DeleteDirectoryTree(it->source);
        } else {
            VLFileSystem::RemoveFile(it->source);
        }
    }
    return allDone;
}
