// Stands in for the product's main program. Started plainly it opens its main
// window (class "QBFrame") titled with the product name from the product
// document beside it ("Name1" in Product.ini), so a user who runs the
// installed product sees it start. The installer's switches ("/Stop",
// "/Register") are recorded in the stand-in journal and end it at once.

#include "StandinJournal.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

std::wstring ProductName()
{
    wchar_t buffer[2080];
    DWORD length = ::GetModuleFileNameW(nullptr, buffer, 2080);
    std::wstring path(buffer, length < 2080 ? length : 0);
    path = path.substr(0, path.rfind(L'\\') + 1) + L"Product.ini";
    std::wstring name = L"Auralis 22";
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return name;
    char bytes[8192];
    DWORD read = 0;
    ::ReadFile(file, bytes, sizeof bytes - 1, &read, nullptr);
    ::CloseHandle(file);
    std::string text(bytes, read);
    size_t at = text.find("Name1=");
    if (at == std::string::npos)
        return name;
    size_t end = text.find_first_of("\r\n", at);
    std::string value = text.substr(at + 6, end == std::string::npos ? std::string::npos : end - at - 6);
    int size = ::MultiByteToWideChar(CP_UTF8, 0, value.data(), static_cast<int>(value.size()), nullptr, 0);
    std::wstring wide(size, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, value.data(), static_cast<int>(value.size()), wide.data(), size);
    return wide.empty() ? name : wide;
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandTail, int showCommand)
{
    std::wstring arguments = commandTail ? commandTail : L"";
    if (!arguments.empty()) {
        StandinJournalAppend(nullptr, arguments);
        return 0;
    }
    WNDCLASSEXW windowClass{sizeof windowClass};
    windowClass.lpfnWndProc = FrameProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"QBFrame";
    if (!::RegisterClassExW(&windowClass))
        return 1;
    HWND frame = ::CreateWindowExW(0, L"QBFrame", ProductName().c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                   CW_USEDEFAULT, 640, 420, nullptr, nullptr, instance, nullptr);
    if (!frame)
        return 1;
    ::ShowWindow(frame, showCommand);
    ::UpdateWindow(frame);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
