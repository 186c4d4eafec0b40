#include "VLTestAutomation.h"

namespace vltest {

TestProcess::~TestProcess()
{
    if (m_info.hProcess != nullptr) {
        if (IsRunning())
            Kill();
        ::CloseHandle(m_info.hProcess);
        ::CloseHandle(m_info.hThread);
    }
}

bool TestProcess::Start(const std::wstring& program, const std::wstring& arguments, const wchar_t* workingFolder)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    std::wstring folder;
    if (workingFolder == nullptr) {
        folder = program.substr(0, program.find_last_of(L'\\'));
        workingFolder = folder.c_str();
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, workingFolder,
                            &startup, &m_info) != FALSE;
}

bool TestProcess::IsRunning() const
{
    return m_info.hProcess != nullptr && ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

bool TestProcess::Wait(DWORD timeoutMs, DWORD& exitCode)
{
    if (m_info.hProcess == nullptr || ::WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    return ::GetExitCodeProcess(m_info.hProcess, &exitCode) != FALSE;
}

void TestProcess::Kill()
{
    if (m_info.hProcess != nullptr) {
        ::TerminateProcess(m_info.hProcess, 9999);
        ::WaitForSingleObject(m_info.hProcess, 10000);
    }
}

std::wstring WindowText(HWND window)
{
    wchar_t buffer[4096] = {};
    DWORD_PTR copied = 0;
    // WM_GETTEXT is marshalled between processes.
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer),
                               SMTO_ABORTIFHUNG, 5000, &copied))
        return std::wstring();
    return std::wstring(buffer, copied);
}

namespace {

struct EnumState {
    DWORD processId;
    const wchar_t* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param)
{
    auto* state = reinterpret_cast<EnumState*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != state->processId || !::IsWindowVisible(window))
        return TRUE;
    if (state->className != nullptr) {
        wchar_t name[256] = {};
        ::GetClassNameW(window, name, 256);
        if (_wcsicmp(name, state->className) != 0)
            return TRUE;
    }
    state->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    auto* content = reinterpret_cast<DialogContent*>(param);
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    if (_wcsicmp(name, L"Button") == 0) {
        DialogButton button;
        button.id = ::GetDlgCtrlID(child);
        button.window = child;
        button.caption = WindowText(child);
        content->buttons.push_back(button);
    } else if (_wcsicmp(name, L"Static") == 0) {
        std::wstring text = WindowText(child);
        if (!text.empty()) {
            if (!content->text.empty())
                content->text += L"\n";
            content->text += text;
        }
    }
    return TRUE;
}

std::wstring WithoutAmpersands(const std::wstring& text)
{
    std::wstring result;
    for (wchar_t ch : text)
        if (ch != L'&')
            result += ch;
    return result;
}

}  // namespace

std::vector<HWND> FindProcessWindows(DWORD processId, const wchar_t* className)
{
    EnumState state{processId, className, {}};
    ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND WaitForWindowOf(DWORD processId, const wchar_t* className, DWORD timeoutMs)
{
    const ULONGLONG until = ::GetTickCount64() + timeoutMs;
    do {
        std::vector<HWND> windows = FindProcessWindows(processId, className);
        if (!windows.empty())
            return windows.front();
        ::Sleep(50);
    } while (::GetTickCount64() < until);
    return nullptr;
}

HWND WaitForWindow(const TestProcess& process, const wchar_t* className, DWORD timeoutMs)
{
    const ULONGLONG until = ::GetTickCount64() + timeoutMs;
    do {
        std::vector<HWND> windows = FindProcessWindows(process.Id(), className);
        if (!windows.empty())
            return windows.front();
        if (!process.IsRunning())
            return nullptr;
        ::Sleep(50);
    } while (::GetTickCount64() < until);
    return nullptr;
}

DialogContent ReadDialog(HWND dialog)
{
    DialogContent content;
    content.window = dialog;
    content.caption = WindowText(dialog);
    ::EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&content));
    return content;
}

bool PressButton(const DialogContent& dialog, const std::wstring& caption)
{
    for (const DialogButton& button : dialog.buttons) {
        if (WithoutAmpersands(button.caption) == WithoutAmpersands(caption)) {
            ::PostMessageW(dialog.window, WM_COMMAND, MAKEWPARAM(button.id, BN_CLICKED),
                           reinterpret_cast<LPARAM>(button.window));
            return true;
        }
    }
    return false;
}

void CancelDialog(HWND dialog)
{
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

}  // namespace vltest
