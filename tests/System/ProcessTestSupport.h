#pragma once
// Helpers of the program-runner tests: a fresh stand-in journal per test and
// a count of running stand-in processes.

#include "StandinJournal.h"
#include "SystemTestSupport.h"
#include "VLLog.h"

#include <windows.h>
#include <tlhelp32.h>

// Points VL_STANDIN_JOURNAL at a new file for the life of the object.
class JournalScope {
public:
    explicit JournalScope(const ScratchFolder& scratch) : m_path(scratch / L"journal.txt")
    {
        ::SetEnvironmentVariableW(L"VL_STANDIN_JOURNAL", m_path);
    }
    ~JournalScope() { ::SetEnvironmentVariableW(L"VL_STANDIN_JOURNAL", nullptr); }
    JournalScope(const JournalScope&) = delete;
    JournalScope& operator=(const JournalScope&) = delete;

    std::vector<StandinJournalEntry> Entries() const { return StandinJournalRead(Std(m_path)); }

private:
    VLString m_path;
};

// How many processes with this file name are running.
inline int CountProcesses(const wchar_t* exeName)
{
    VLUniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.IsValid())
        return -1;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry))
        if (_wcsicmp(entry.szExeFile, exeName) == 0)
            ++count;
    return count;
}

inline std::string LogText()
{
    return ReadTextFile(VLLog::GetFilePath());
}
