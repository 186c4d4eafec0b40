#pragma once
// The journal that stand-in programs and modules append to, one line per
// start or call, so that tests can see what the installer ran:
//
//   <module file name> TAB <current folder> TAB <arguments or entry name> CRLF
//
// in UTF-8. The file is the one named by the environment variable
// "VL_STANDIN_JOURNAL" (inherited by every child process), else
// "StandinJournal.txt" beside the stand-in. Header-only: the stand-ins
// write with it and tests read with it.

#include <windows.h>

#include <string>
#include <vector>

struct StandinJournalEntry {
    std::wstring Program;    // "PackageInstaller.exe", "StandinServer.dll", ...
    std::wstring Folder;     // current folder at the time
    std::wstring Arguments;  // command line after the program name, or the entry called
};

inline std::wstring StandinJournalPath(HMODULE self)
{
    wchar_t buffer[2080];
    DWORD length = ::GetEnvironmentVariableW(L"VL_STANDIN_JOURNAL", buffer, 2080);
    if (length > 0 && length < 2080)
        return std::wstring(buffer, length);
    length = ::GetModuleFileNameW(self, buffer, 2080);
    std::wstring path(buffer, length < 2080 ? length : 0);
    size_t slash = path.rfind(L'\\');
    return (slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1)) + L"StandinJournal.txt";
}

inline void StandinJournalAppend(HMODULE self, const std::wstring& arguments)
{
    wchar_t buffer[2080];
    DWORD length = ::GetModuleFileNameW(self, buffer, 2080);
    std::wstring program(buffer, length < 2080 ? length : 0);
    program = program.substr(program.rfind(L'\\') + 1);
    length = ::GetCurrentDirectoryW(2080, buffer);
    std::wstring folder(buffer, length < 2080 ? length : 0);
    std::wstring line = program + L"\t" + folder + L"\t" + arguments + L"\r\n";

    int size = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string bytes(size, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(), size, nullptr,
                          nullptr);
    std::wstring path = StandinJournalPath(self);
    // Several stand-ins may start at once: retry while another one writes.
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            ::CloseHandle(file);
            return;
        }
        if (::GetLastError() != ERROR_SHARING_VIOLATION)
            return;
        ::Sleep(10);
    }
}

inline std::vector<StandinJournalEntry> StandinJournalRead(const std::wstring& path)
{
    std::vector<StandinJournalEntry> entries;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return entries;
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    ::CloseHandle(file);
    int size = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(size, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);

    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line = text.substr(start, end - start);
        start = end + 2;
        size_t tab1 = line.find(L'\t');
        size_t tab2 = tab1 == std::wstring::npos ? std::wstring::npos : line.find(L'\t', tab1 + 1);
        if (tab2 == std::wstring::npos)
            continue;
        entries.push_back({line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)});
    }
    return entries;
}
