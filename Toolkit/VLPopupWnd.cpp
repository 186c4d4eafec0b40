#include "VLPopupWnd.h"

bool VLPopupWnd::CreatePopup(const VLString& title, int clientWidth, int clientHeight, HWND owner,
                             const wchar_t* className)
{
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
    RECT frame{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;

    RECT work{0, 0, 1024, 768};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int left = work.left + ((work.right - work.left) - width) / 2;
    int top = work.top + ((work.bottom - work.top) - height) / 2;

    m_modalResult = kRunning;
    CreateArgs args;
    args.className = className;
    args.text = title;
    args.style = style;
    args.exStyle = exStyle;
    args.rect = RECT{left < work.left ? work.left : left, top < work.top ? work.top : top, 0, 0};
    args.rect.right = args.rect.left + width;
    args.rect.bottom = args.rect.top + height;
    args.parent = owner;
    return VLWnd::Create(args);
}

int VLPopupWnd::RunModal()
{
    if (!m_hwnd)
        return 2;
    HWND owner = ::GetWindow(m_hwnd, GW_OWNER);
    bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled)
        ::EnableWindow(owner, FALSE);
    ::ShowWindow(m_hwnd, SW_SHOW);
    ::SetForegroundWindow(m_hwnd);
    ::UpdateWindow(m_hwnd);

    MSG msg;
    while (m_modalResult == kRunning) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            if (m_modalResult == kRunning)
                m_modalResult = 2;
            break;
        }
        if (m_hwnd && ::IsDialogMessageW(m_hwnd, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (ownerWasEnabled)
        ::EnableWindow(owner, TRUE);
    if (m_hwnd)
        ::ShowWindow(m_hwnd, SW_HIDE);
    return m_modalResult;
}

void VLPopupWnd::EndModal(int result)
{
    m_modalResult = result;
    // Wakes GetMessage so the loop sees the result at once.
    if (m_hwnd)
        ::PostMessageW(m_hwnd, WM_NULL, 0, 0);
}

bool VLPopupWnd::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case DM_GETDEFID:
        if (UINT id = GetDefaultButtonId()) {
            result = MAKELRESULT(id, DC_HASDEFID);
            return true;
        }
        result = 0;
        return true;
    case WM_CLOSE:
        OnCloseRequest();
        result = 0;
        return true;
    case WM_COMMAND:
        // Escape through the dialog keyboard rules.
        if (LOWORD(wParam) == IDCANCEL && lParam == 0) {
            OnCloseRequest();
            result = 0;
            return true;
        }
        break;
    case WM_DESTROY:
        if (m_modalResult == kRunning)
            m_modalResult = 2;
        break;
    default:
        break;
    }
    return VLWnd::OnMessage(msg, wParam, lParam, result);
}
