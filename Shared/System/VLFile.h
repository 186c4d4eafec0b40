#pragma once
// The file handle wrapper: CreateFileW on the system form of a path (long
// paths included), read, write, seek, close. Move-only; closes on destruction.

#include "VLHandle.h"
#include "VLString.h"

#include <windows.h>

class VLFile {
public:
    // Creation modes, as numbered by callers.
    enum Mode {
        kCreateAlways = 0,
        kCreateNew = 1,
        kOpenAlways = 2,
        kOpenExisting = 3,  // also every number not listed here
        kTruncateExisting = 4,
    };
    // Share bits.
    enum Share { kShareRead = 1, kShareWrite = 2, kShareDelete = 4 };
    // Extra flags.
    enum Flags { kSequentialScan = 1, kRandomAccess = 2, kDeleteOnClose = 4 };

    VLFile() = default;
    VLFile(VLFile&&) noexcept = default;
    VLFile& operator=(VLFile&&) noexcept = default;

    // Closes what was open, then opens. The result is whether the handle is
    // valid; GetLastError tells why not.
    bool Open(const VLString& path, bool read, bool write, int mode = kOpenExisting,
              int share = kShareRead | kShareWrite, int flags = 0);
    void Close() { m_file.Reset(); }
    bool IsOpen() const { return m_file.IsValid(); }
    HANDLE GetHandle() const { return m_file.Get(); }

    // True when the call succeeded; done receives the bytes moved.
    bool Read(void* buffer, DWORD size, DWORD* done = nullptr);
    bool Write(const void* data, DWORD size, DWORD* done = nullptr);
    // method: FILE_BEGIN, FILE_CURRENT or FILE_END.
    bool Seek(LONGLONG distance, DWORD method = FILE_BEGIN, ULONGLONG* position = nullptr);
    // -1 when no file is open.
    LONGLONG GetSize() const;

private:
    VLUniqueFile m_file;
};
