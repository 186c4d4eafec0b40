#include "VLDirectoryFinder.h"

#include "VLPath.h"

void VLDirectoryFinder::Start(const VLString& folder)
{
    m_find.Reset();
    m_folder = VLPath::AddTrailingBackslash(folder);
    m_started = false;
    m_path = VLString();
    m_name = VLString();
}

bool VLDirectoryFinder::Accept()
{
    bool folder = (m_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (folder && m_data.cFileName[0] == L'.')
        return false;
    m_name = VLString(m_data.cFileName);
    m_path = m_folder + m_name;
    if (folder)
        m_path += L"\\";
    return true;
}

bool VLDirectoryFinder::Next()
{
    if (!m_started) {
        m_started = true;
        if (m_folder.IsEmpty())
            return false;
        VLString pattern = VLPath::ToSystemPath(m_folder + L"*.*");
        m_find.Reset(::FindFirstFileW(pattern, &m_data));
        if (!m_find.IsValid())
            return false;
        if (Accept())
            return true;
    }
    if (!m_find.IsValid())
        return false;
    while (::FindNextFileW(m_find.Get(), &m_data)) {
        if (Accept())
            return true;
    }
    m_find.Reset();
    return false;
}
