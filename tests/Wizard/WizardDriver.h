#pragma once
// Drives the install wizard's real windows from another thread or process,
// as a user would: reads the caption and the header band, finds buttons by
// their text, clicks them, types into fields, presses keys, answers boxes.

#include <windows.h>

#include <string>

namespace wizardtest {

// The wizard's visible top-level window in a process (null after timeoutMs).
HWND WaitForWizard(DWORD processId, DWORD timeoutMs);
std::wstring Caption(HWND window);
// The header band's markup ("<b>Title</b>\r\n\tDescription").
std::wstring Header(HWND wizard);
// Waits until the header's title is `title`, then a little longer than the
// wizard's click guard so a following click counts. False on timeout.
bool WaitForPage(HWND wizard, const wchar_t* title, DWORD timeoutMs = 10000);
// A visible button with this text anywhere in the window.
HWND FindButton(HWND window, const wchar_t* text);
bool IsEnabled(HWND window);
// Clicks a visible, enabled button with this text. False when there is none.
bool Click(HWND window, const wchar_t* text);
// Sets the folder field's text (the edit of the folder-name control).
bool TypeFolder(HWND wizard, const wchar_t* text);
std::wstring FolderText(HWND wizard);
// Posts a key press to the window that has the keyboard focus in the
// wizard's thread.
void PressKey(HWND wizard, WPARAM virtualKey);
// Waits for a message box of the process, checks its caption, returns its
// text through `text`, and presses `button`. False when no box came or the
// caption or the button did not match.
bool AnswerBox(DWORD processId, const wchar_t* caption, const wchar_t* button, std::wstring* text = nullptr,
               DWORD timeoutMs = 10000);
// No message box is showing in the process.
bool NoBox(DWORD processId);

}  // namespace wizardtest
