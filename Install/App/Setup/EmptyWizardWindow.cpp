#include "EmptyWizardWindow.h"

#include "CInstallApp.h"
#include "VLToolsHost.h"

namespace {

constexpr const wchar_t* kClassName = L"VLInstallWizard";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int RunEmptyWizardWindow()
{
    CInstallApp* app = CInstallApp::GetCurrent();
    HINSTANCE instance = app != nullptr ? app->GetInstance() : ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.lpszClassName = kClassName;
    if (!::RegisterClassExW(&wc))
        return kExitFatalError;
    if (app != nullptr)
        app->AddRegisteredClass(kClassName);

    VLToolsHost& tools = VLToolsHost::Get();
    VLString title = tools.Translate(L"%s Setup");
    title.Replace(L"%s", tools.GetProductName(1), true);
    HWND window = ::CreateWindowExW(0, kClassName, title, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return kExitFatalError;
    ::ShowWindow(window, SW_SHOW);
    ::UpdateWindow(window);
    if (IVLTools* module = tools.Tools())
        module->RunMessageLoop();
    return kExitUserCancelled;
}
