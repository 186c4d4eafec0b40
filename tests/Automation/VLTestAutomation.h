#pragma once
// Drives real windows of a real process from a test: starts a program,
// finds its top-level windows, reads a dialog's caption, text and buttons
// and presses a button the way a click would (WM_COMMAND from the button).
// Works on the standard message box and on the tools module's boxes alike.

#include <windows.h>

#include <string>
#include <vector>

namespace vltest {

struct DialogButton {
    int id = 0;
    HWND window = nullptr;
    std::wstring caption;
};

struct DialogContent {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;  // the static text control(s), joined by "\n"
    std::vector<DialogButton> buttons;
};

// A started program; waits for it and closes its handles.
class TestProcess {
public:
    TestProcess() = default;
    ~TestProcess();
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;

    // CreateProcessW of "\"program\" arguments" in workingFolder (null: the program's folder).
    bool Start(const std::wstring& program, const std::wstring& arguments, const wchar_t* workingFolder = nullptr);
    DWORD Id() const { return m_info.dwProcessId; }
    HANDLE Handle() const { return m_info.hProcess; }
    bool IsRunning() const;
    // Waits and returns the full Windows exit code; false on timeout.
    bool Wait(DWORD timeoutMs, DWORD& exitCode);
    void Kill();

private:
    PROCESS_INFORMATION m_info{};
};

// Visible top-level windows of a process, optionally of one class.
std::vector<HWND> FindProcessWindows(DWORD processId, const wchar_t* className = nullptr);
// Waits until the process shows a visible window of that class (null when it
// ends or the time runs out).
HWND WaitForWindow(const TestProcess& process, const wchar_t* className, DWORD timeoutMs);
// Same for any process id (in-process dialogs shown by another thread).
HWND WaitForWindowOf(DWORD processId, const wchar_t* className, DWORD timeoutMs);

// Reads a dialog's caption, static texts and buttons.
DialogContent ReadDialog(HWND dialog);
// Presses the button with this caption ("&" ignored). False when absent.
bool PressButton(const DialogContent& dialog, const std::wstring& caption);
// Sends Escape's command (IDCANCEL) to a dialog.
void CancelDialog(HWND dialog);

std::wstring WindowText(HWND window);

}  // namespace vltest
