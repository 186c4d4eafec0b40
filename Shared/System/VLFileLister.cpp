#include "VLFileLister.h"

#include "VLDirectoryFinder.h"

bool VLFileLister::ExtensionAllowed(const VLString& name) const
{
    if (m_extensions.GetCount() == 0)
        return true;
    int dot = name.ReverseFind(L'.');
    if (dot < 0)
        return false;
    VLString extension = name.Mid(dot + 1);
    for (int i = 0; i < m_extensions.GetCount(); ++i) {
        if (extension.CompareNoCase(m_extensions[i]) == 0)
            return true;
    }
    return false;
}

int VLFileLister::List(const VLString& folder, VLStringArray& paths) const
{
    int added = 0;
    VLDirectoryFinder finder(folder);
    while (finder.Next()) {
        if (finder.GetAttributes() & m_skipAttributes)
            continue;
        if (finder.IsFolder()) {
            if (m_includeFolders) {
                paths.Add(finder.GetPath());
                ++added;
            }
            if (m_recurse)
                added += List(finder.GetPath(), paths);
        } else if (m_includeFiles && ExtensionAllowed(finder.GetName())) {
            paths.Add(finder.GetPath());
            ++added;
        }
    }
    return added;
}
