#include "VLRunProgram.h"

#include "VLHandle.h"
#include "VLLog.h"
#include "VLStdText.h"
#include "VLUserMessage.h"

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

const wchar_t kTag[] = L"RunProgram";

VLString JoinParameters(const VLStringArray& parameters)
{
    VLString text;
    for (int i = 0; i < parameters.GetCount(); ++i) {
        if (i > 0)
            text += L" ";
        text += parameters[i];
    }
    return text;
}

}  // namespace

VLString RunProgramErrorText(int code, const VLString& file)
{
    switch (code) {
    case SE_ERR_FNF: return VLString::Format(L"File '%s' is not found.", file);
    case SE_ERR_PNF: return VLString::Format(L"The specified path to file '%s' was not found.", file);
    case ERROR_BAD_FORMAT: return VLString::Format(L"File '%s' is invalid.", file);
    default: return VLString::Format(L"Can not start program '%s'.  Error unknown.  (%d)", file, code);
    }
}

namespace {

void PumpMessages()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to consume: leave it for the caller's message loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void Terminate(HANDLE process)
{
    ::TerminateProcess(process, static_cast<UINT>(-1));
    // Termination is asynchronous; give it a moment so the caller can reuse the program's files.
    ::WaitForSingleObject(process, 5000);
}

VLString DecodeLine(const std::string& line)
{
    if (line.empty())
        return VLString();
    int length = static_cast<int>(line.size());
    int size = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, line.data(), length, nullptr, 0);
    UINT codePage = CP_UTF8;
    if (size <= 0) {
        codePage = CP_ACP;
        size = ::MultiByteToWideChar(CP_ACP, 0, line.data(), length, nullptr, 0);
    }
    std::wstring text(size, L'\0');
    ::MultiByteToWideChar(codePage, 0, line.data(), length, text.data(), size);
    return VLFromStd(text);
}

// Runs the command line with its standard output on a pipe and appends what
// it writes to output. The program is started directly (no command
// interpreter, no console window).
bool RunCaptured(const VLRunProgramOptions& options, const VLString& parameterText)
{
    std::wstring commandLine = VLToStd(options.File);
    if (commandLine.find(L' ') != std::wstring::npos && commandLine.front() != L'"')
        commandLine = L"\"" + commandLine + L"\"";
    if (!parameterText.IsEmpty())
        commandLine += L" " + VLToStd(parameterText);

    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    VLUniqueHandleObj readEnd, writeEnd;
    if (!::CreatePipe(readEnd.Put(), writeEnd.Put(), &inherit, 0)) {
        VLLog::WriteFormat(kTag, L"Failed to create pipe (error %d)", static_cast<int>(::GetLastError()));
        return false;
    }
    ::SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    VLUniqueFile nul(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                   OPEN_EXISTING, 0, nullptr));

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul.Get();
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = nul.Get();
    PROCESS_INFORMATION info = {};
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(0);
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &info)) {
        int error = static_cast<int>(::GetLastError());
        VLLog::WriteFormat(kTag, L"Failed to start (error %d)", error);
        if (options.ErrorText)
            *options.ErrorText = RunProgramErrorText(error, options.File);
        return false;
    }
    VLUniqueHandleObj process(info.hProcess), thread(info.hThread);
    writeEnd.Reset();  // so that reading ends when the child closes its side

    std::string pending;
    char chunk[1024];
    DWORD got = 0;
    while (::ReadFile(readEnd.Get(), chunk, sizeof(chunk), &got, nullptr) && got > 0) {
        pending.append(chunk, got);
        size_t newline;
        while ((newline = pending.find('\n')) != std::string::npos) {
            *options.CaptureOutput += DecodeLine(pending.substr(0, newline + 1));
            pending.erase(0, newline + 1);
        }
    }
    *options.CaptureOutput += DecodeLine(pending);
    ::WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 0;
    if (options.ExitCode && ::GetExitCodeProcess(process.Get(), &exitCode))
        *options.ExitCode = exitCode;
    return true;
}

}  // namespace

bool RunProgram(const VLRunProgramOptions& options)
{
    VLString parameterText = JoinParameters(options.Parameters);
    VLLog::WriteFormat(kTag, L"Filename: %s / Parameters: %s", options.File, parameterText);
    if (options.CaptureOutput)
        return RunCaptured(options, parameterText);

    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOZONECHECKS;
    if (!options.ShowWindow)
        info.fMask |= SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    if (options.ShowErrors)
        info.fMask |= SEE_MASK_FLAG_NO_UI;  // our own message replaces the shell's
    info.lpVerb = options.Verb.IsEmpty() ? nullptr : options.Verb.GetString();
    info.lpFile = options.File;
    info.lpParameters = parameterText.IsEmpty() ? nullptr : parameterText.GetString();
    info.nShow = options.ShowWindow ? SW_SHOWNORMAL : SW_HIDE;
    VLLog::Write(kTag, L"Performing ShellExecute...");
    BOOL started = ::ShellExecuteExW(&info);
    int instance = static_cast<int>(reinterpret_cast<INT_PTR>(info.hInstApp));
    if (!started || instance <= 32) {
        int code = instance <= 32 ? instance : static_cast<int>(::GetLastError());
        VLLog::WriteFormat(kTag, L"Failed to start (error %d)", code);
        VLString text = RunProgramErrorText(code, options.File);
        if (options.ErrorText)
            *options.ErrorText = text;
        if (options.ShowErrors)
            VLUserMessage::Show(L"Information", text, MB_OK | MB_ICONINFORMATION);
        if (info.hProcess)
            ::CloseHandle(info.hProcess);
        return false;
    }
    if (!info.hProcess)
        return true;  // handed to a program that was already running
    VLUniqueHandleObj process(info.hProcess);

    VLLog::Write(kTag, L"Running process...");
    if (options.PriorityClass != 0 && options.PriorityClass != NORMAL_PRIORITY_CLASS)
        ::SetPriorityClass(process.Get(), options.PriorityClass);
    if (!options.Wait)
        return true;

    VLLog::Write(kTag, L"Waiting for completion");
    HANDLE handles[2] = {process.Get(), options.CancelEvent};
    DWORD count = options.CancelEvent ? 2 : 1;
    DWORD interval = options.FastPolling ? 10 : 500;
    ULONGLONG start = ::GetTickCount64();
    bool result = false;
    for (;;) {
        DWORD wait = ::WaitForMultipleObjects(count, handles, FALSE, interval);
        if (wait == WAIT_OBJECT_0) {
            VLLog::Write(kTag, L"Finished");
            DWORD exitCode = 0;
            if (options.ExitCode && ::GetExitCodeProcess(process.Get(), &exitCode))
                *options.ExitCode = exitCode;
            result = true;
            break;
        }
        if (count == 2 && wait == WAIT_OBJECT_0 + 1) {
            VLLog::Write(kTag, L"Cancel");
            Terminate(process.Get());
            break;
        }
        if (wait == WAIT_TIMEOUT) {
            if (options.TimeoutMs > 0 && ::GetTickCount64() - start > static_cast<ULONGLONG>(options.TimeoutMs)) {
                VLLog::Write(kTag, L"Timeout");
                Terminate(process.Get());
                break;
            }
            if (options.FastPolling)
                PumpMessages();
            continue;
        }
        VLLog::WriteFormat(kTag, L"Unknown wait code (%d)", static_cast<int>(wait));
        Terminate(process.Get());
        break;
    }
    VLLog::Write(kTag, L"Done waiting");
    return result;
}
