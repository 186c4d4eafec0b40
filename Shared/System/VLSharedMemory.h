#pragma once
// A named block of shared memory backed by the paging file.

#include "VLHandle.h"
#include "VLString.h"

class VLSharedMemory {
public:
    VLSharedMemory() = default;
    ~VLSharedMemory() { Close(); }
    VLSharedMemory(const VLSharedMemory&) = delete;
    VLSharedMemory& operator=(const VLSharedMemory&) = delete;

    // Creates the block or opens the existing one of that name and maps all
    // of it for reading and writing. Closes what was open first. Returns false
    // and leaves nothing open for an empty name or when mapping fails.
    [[nodiscard]] bool Open(const wchar_t* name, size_t size);
    void Close();

    bool IsOpen() const { return m_view.IsValid(); }
    // True when Open found a block that another handle already kept alive.
    bool Existed() const { return m_existed; }
    const VLString& GetName() const { return m_name; }
    size_t GetSize() const { return m_size; }
    unsigned char* GetData() const { return static_cast<unsigned char*>(m_view.Get()); }

private:
    VLString m_name;
    VLUniqueHandleObj m_mapping;
    VLUniqueView m_view;
    size_t m_size = 0;
    bool m_existed = false;
};
