#include "VLFile.h"

#include "VLPath.h"

bool VLFile::Open(const VLString& path, bool read, bool write, int mode, int share, int flags)
{
    Close();
    DWORD access = (read ? GENERIC_READ : 0) | (write ? GENERIC_WRITE : 0);
    DWORD shareMode = ((share & kShareRead) ? FILE_SHARE_READ : 0) | ((share & kShareWrite) ? FILE_SHARE_WRITE : 0) |
                      ((share & kShareDelete) ? FILE_SHARE_DELETE : 0);
    DWORD creation;
    switch (mode) {
    case kCreateAlways: creation = CREATE_ALWAYS; break;
    case kCreateNew: creation = CREATE_NEW; break;
    case kOpenAlways: creation = OPEN_ALWAYS; break;
    case kTruncateExisting: creation = TRUNCATE_EXISTING; break;
    default: creation = OPEN_EXISTING; break;
    }
    DWORD attributes = FILE_ATTRIBUTE_NORMAL | ((flags & kSequentialScan) ? FILE_FLAG_SEQUENTIAL_SCAN : 0) |
                       ((flags & kRandomAccess) ? FILE_FLAG_RANDOM_ACCESS : 0) |
                       ((flags & kDeleteOnClose) ? FILE_FLAG_DELETE_ON_CLOSE : 0);
    VLString systemPath = VLPath::ToSystemPath(path);
    m_file.Reset(::CreateFileW(systemPath, access, shareMode, nullptr, creation, attributes, nullptr));
    return m_file.IsValid();
}

bool VLFile::Read(void* buffer, DWORD size, DWORD* done)
{
    DWORD count = 0;
    bool ok = IsOpen() && ::ReadFile(m_file.Get(), buffer, size, &count, nullptr);
    if (done)
        *done = count;
    return ok;
}

bool VLFile::Write(const void* data, DWORD size, DWORD* done)
{
    DWORD count = 0;
    bool ok = IsOpen() && ::WriteFile(m_file.Get(), data, size, &count, nullptr);
    if (done)
        *done = count;
    return ok;
}

bool VLFile::Seek(LONGLONG distance, DWORD method, ULONGLONG* position)
{
    LARGE_INTEGER move, result;
    move.QuadPart = distance;
    if (!IsOpen() || !::SetFilePointerEx(m_file.Get(), move, &result, method))
        return false;
    if (position)
        *position = static_cast<ULONGLONG>(result.QuadPart);
    return true;
}

LONGLONG VLFile::GetSize() const
{
    LARGE_INTEGER size;
    if (!IsOpen() || !::GetFileSizeEx(m_file.Get(), &size))
        return -1;
    return size.QuadPart;
}
