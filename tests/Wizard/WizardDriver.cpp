#include "WizardDriver.h"

#include "VLTestAutomation.h"

namespace wizardtest {

namespace {

struct FindState {
    const wchar_t* className;
    const wchar_t* text;
    HWND found;
};

BOOL CALLBACK FindChild(HWND child, LPARAM param)
{
    auto* state = reinterpret_cast<FindState*>(param);
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    if (_wcsicmp(name, state->className) != 0 || !::IsWindowVisible(child))
        return TRUE;
    if (state->text && vltest::WindowText(child) != state->text)
        return TRUE;
    state->found = child;
    return FALSE;
}

HWND FindDescendant(HWND window, const wchar_t* className, const wchar_t* text)
{
    FindState state{className, text, nullptr};
    ::EnumChildWindows(window, FindChild, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND FolderEdit(HWND wizard)
{
    HWND folder = FindDescendant(wizard, L"VLFolderNameCtrl", nullptr);
    return folder ? FindDescendant(folder, L"Edit", nullptr) : nullptr;
}

}  // namespace

HWND WaitForWizard(DWORD processId, DWORD timeoutMs)
{
    return vltest::WaitForWindowOf(processId, L"VLWizardPopupWnd", timeoutMs);
}

std::wstring Caption(HWND window)
{
    return vltest::WindowText(window);
}

std::wstring Header(HWND wizard)
{
    HWND header = FindDescendant(wizard, L"VLDialogHeaderCtrl", nullptr);
    return header ? vltest::WindowText(header) : std::wstring();
}

bool WaitForPage(HWND wizard, const wchar_t* title, DWORD timeoutMs)
{
    std::wstring want = std::wstring(L"<b>") + title + L"</b>";
    ULONGLONG until = ::GetTickCount64() + timeoutMs;
    while (Header(wizard).compare(0, want.size(), want) != 0) {
        if (::GetTickCount64() > until || !::IsWindow(wizard))
            return false;
        ::Sleep(30);
    }
    ::Sleep(400);  // past the wizard's guard against hasty clicks
    return true;
}

HWND FindButton(HWND window, const wchar_t* text)
{
    return FindDescendant(window, L"Button", text);
}

bool IsEnabled(HWND window)
{
    return window && ::IsWindowEnabled(window);
}

bool Click(HWND window, const wchar_t* text)
{
    HWND button = FindButton(window, text);
    if (!button || !::IsWindowEnabled(button))
        return false;
    ::PostMessageW(button, BM_CLICK, 0, 0);
    return true;
}

bool TypeFolder(HWND wizard, const wchar_t* text)
{
    HWND edit = FolderEdit(wizard);
    if (!edit)
        return false;
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    return true;
}

std::wstring FolderText(HWND wizard)
{
    HWND edit = FolderEdit(wizard);
    return edit ? vltest::WindowText(edit) : std::wstring();
}

void PressKey(HWND wizard, WPARAM virtualKey)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    DWORD thread = ::GetWindowThreadProcessId(wizard, nullptr);
    HWND target = wizard;
    if (::GetGUIThreadInfo(thread, &info) && info.hwndFocus)
        target = info.hwndFocus;
    ::PostMessageW(target, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageW(target, WM_KEYUP, virtualKey, 0xC0000001);
}

bool AnswerBox(DWORD processId, const wchar_t* caption, const wchar_t* button, std::wstring* text, DWORD timeoutMs)
{
    HWND box = vltest::WaitForWindowOf(processId, L"#32770", timeoutMs);
    if (!box)
        return false;
    ::Sleep(100);  // let the box finish creating its controls
    vltest::DialogContent content = vltest::ReadDialog(box);
    if (text)
        *text = content.text;
    if (content.caption != caption)
        return false;
    if (!vltest::PressButton(content, button))
        return false;
    // Wait for the box to go, so the next question is not this one.
    ULONGLONG until = ::GetTickCount64() + 5000;
    while (::IsWindow(box) && ::IsWindowVisible(box) && ::GetTickCount64() < until)
        ::Sleep(20);
    return true;
}

bool NoBox(DWORD processId)
{
    return vltest::FindProcessWindows(processId, L"#32770").empty();
}

}  // namespace wizardtest
