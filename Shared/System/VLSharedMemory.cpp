#include "VLSharedMemory.h"

bool VLSharedMemory::Open(const wchar_t* name, size_t size)
{
    Close();
    if (name == nullptr || name[0] == 0 || size == 0)
        return false;
    const unsigned long long size64 = size;
    m_mapping.Reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                         static_cast<DWORD>(size64 >> 32), static_cast<DWORD>(size64 & 0xFFFFFFFFu),
                                         name));
    if (!m_mapping)
        return false;
    m_existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    m_view.Reset(::MapViewOfFile(m_mapping.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, size));
    if (!m_view) {
        Close();
        return false;
    }
    m_name = name;
    m_size = size;
    return true;
}

void VLSharedMemory::Close()
{
    m_view.Reset();
    m_mapping.Reset();
    m_name.Empty();
    m_size = 0;
    m_existed = false;
}
