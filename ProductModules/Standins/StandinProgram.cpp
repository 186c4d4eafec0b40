// A stand-in for the product's programs (PackageInstaller.exe, the main
// program, services...). It records its start in the stand-in journal and
// then does what its switches ask, so tests can drive the installer's
// waiting, timeout and capture paths:
//   /Sleep <ms>   wait that long before ending
//   /Exit <code>  end with that exit code (also: environment VL_STANDIN_EXIT_CODE)
//   /Print <text> write the text and a line break to standard output
// Every other argument is only recorded. Copy or rename the program to stand
// in for another one: the journal names the file that ran.

#include "StandinJournal.h"

#include <shellapi.h>
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

// The command line after the program name, as it was given.
std::wstring ArgumentText()
{
    const wchar_t* line = ::GetCommandLineW();
    if (*line == L'"') {
        ++line;
        while (*line && *line != L'"')
            ++line;
        if (*line)
            ++line;
    } else {
        while (*line && *line != L' ' && *line != L'\t')
            ++line;
    }
    while (*line == L' ' || *line == L'\t')
        ++line;
    return line;
}

void WriteOut(const std::wstring& text)
{
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (!out || out == INVALID_HANDLE_VALUE)
        return;
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string bytes(size, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                          nullptr);
    DWORD written = 0;
    ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

int Run()
{
    StandinJournalAppend(nullptr, ArgumentText());

    DWORD exitCode = 0;
    wchar_t value[64];
    DWORD length = ::GetEnvironmentVariableW(L"VL_STANDIN_EXIT_CODE", value, 64);
    if (length > 0 && length < 64)
        exitCode = static_cast<DWORD>(wcstoul(value, nullptr, 0));

    int count = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 1; argv && i < count; ++i) {
        bool hasValue = i + 1 < count;
        if (_wcsicmp(argv[i], L"/Sleep") == 0 && hasValue)
            ::Sleep(static_cast<DWORD>(wcstoul(argv[++i], nullptr, 10)));
        else if (_wcsicmp(argv[i], L"/Exit") == 0 && hasValue)
            exitCode = static_cast<DWORD>(wcstoul(argv[++i], nullptr, 0));
        else if (_wcsicmp(argv[i], L"/Print") == 0 && hasValue)
            WriteOut(std::wstring(argv[++i]) + L"\n");
    }
    ::LocalFree(argv);
    return static_cast<int>(exitCode);
}

}  // namespace

#ifdef STANDIN_WINDOWED
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return Run();
}
#else
int wmain()
{
    return Run();
}
#endif
