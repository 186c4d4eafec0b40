#pragma once
// The installer's log: one UTF-8 file per run in the user's temporary folder,
// named after the product with the date and a run number, for example
// "Auralis 22 Setup 2026-12-11 (3).log". Each entry is one line
// "hh:mm:ss.mmm [tag] text", written straight to the file so that a crash
// keeps everything logged before it. Safe to call from any thread.

#include "VLString.h"

#include <windows.h>

class VLLog {
public:
    // Both apply to the next file opened; call them before the first entry
    // (or call Close first). The product name defaults to "Auralis 22 Setup",
    // the folder to the user's temporary folder.
    static void SetProductName(const wchar_t* name);
    static void SetFolder(const wchar_t* folder);

    static void Write(const wchar_t* tag, const wchar_t* text);
    template <class... A>
    static void WriteFormat(const wchar_t* tag, const wchar_t* format, const A&... args)
    {
        Write(tag, VLString::Format(format, args...));
    }

    // The file of this run; opens (creates) it when nothing was logged yet.
    // Empty when the file cannot be created.
    static VLString GetFilePath();

    // Closes the file; the next entry starts a new file with the next run number.
    static void Close();
};

// A scoped entry: logs "Start" when created and "Finish (%d ms)" - or
// "Finish (result: %d) (%d ms)" after SetResult - when it ends.
class VLLogScope {
public:
    explicit VLLogScope(const wchar_t* tag);
    ~VLLogScope();
    VLLogScope(const VLLogScope&) = delete;
    VLLogScope& operator=(const VLLogScope&) = delete;

    void Write(const wchar_t* text) const { VLLog::Write(m_tag, text); }
    template <class... A>
    void WriteFormat(const wchar_t* format, const A&... args) const
    {
        VLLog::Write(m_tag, VLString::Format(format, args...));
    }
    void SetResult(int result)
    {
        m_result = result;
        m_hasResult = true;
    }

private:
    VLString m_tag;
    ULONGLONG m_start;
    int m_result = 0;
    bool m_hasResult = false;
};
