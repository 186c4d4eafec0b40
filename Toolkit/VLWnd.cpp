#include "VLWnd.h"

#include <set>
#include <string>

#include "VLControl.h"
#include "VLLayoutUnits.h"

namespace {

std::set<std::wstring>& RegisteredClasses()
{
    static std::set<std::wstring> names;
    return names;
}

bool EnsureClass(const std::wstring& name, int color, WNDPROC proc)
{
    if (RegisteredClasses().count(name))
        return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = color >= 0 ? ::GetSysColorBrush(color) : nullptr;
    wc.lpszClassName = name.c_str();
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    RegisteredClasses().insert(name);
    return true;
}

}  // namespace

VLWnd::~VLWnd()
{
    Destroy();
}

bool VLWnd::Create(const CreateArgs& args)
{
    if (m_hwnd)
        return false;
    // A class is registered with the background of its first window; every
    // window of one class paints the same.
    std::wstring className = args.className;
    if (!EnsureClass(className, args.backgroundColor, &VLWnd::WindowProc))
        return false;
    HMENU menuOrId = (args.style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(args.id)) : nullptr;
    HWND hwnd = ::CreateWindowExW(args.exStyle, className.c_str(), args.text.GetString(), args.style,
                                  args.rect.left, args.rect.top, args.rect.right - args.rect.left,
                                  args.rect.bottom - args.rect.top, args.parent, menuOrId,
                                  ::GetModuleHandleW(nullptr), this);
    if (!hwnd) {
        m_hwnd = nullptr;
        return false;
    }
    return true;
}

void VLWnd::Destroy()
{
    if (m_hwnd && ::IsWindow(m_hwnd))
        ::DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
}

bool VLWnd::SetTimer(UINT_PTR id, UINT milliseconds)
{
    return m_hwnd && ::SetTimer(m_hwnd, id, milliseconds, nullptr) != 0;
}

void VLWnd::KillTimer(UINT_PTR id)
{
    if (m_hwnd)
        ::KillTimer(m_hwnd, id);
}

VLWnd* VLWnd::FromHwnd(HWND hwnd) noexcept
{
    if (!hwnd)
        return nullptr;
    wchar_t className[64] = {};
    ::GetClassNameW(hwnd, className, 64);
    if (!RegisteredClasses().count(className))
        return nullptr;
    return reinterpret_cast<VLWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void VLWnd::UnregisterClasses() noexcept
{
    for (const std::wstring& name : RegisteredClasses())
        ::UnregisterClassW(name.c_str(), ::GetModuleHandleW(nullptr));
    RegisteredClasses().clear();
}

bool VLWnd::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (msg) {
    case WM_CREATE:
        OnCreate();
        result = 0;
        return true;
    case WM_TIMER:
        OnTimer(wParam);
        result = 0;
        return true;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        result = 0;
        return true;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hwnd, &ps);
        RECT client;
        ::GetClientRect(m_hwnd, &client);
        OnPaint(dc, client);
        ::EndPaint(m_hwnd, &ps);
        result = 0;
        return true;
    }
    case WM_COMMAND:
        if (lParam) {
            if (VLControl* control = VLControl::FromHwnd(reinterpret_cast<HWND>(lParam))) {
                control->OnCommand(HIWORD(wParam));
                result = 0;
                return true;
            }
        }
        return false;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
        if (VLControl* control = VLControl::FromHwnd(reinterpret_cast<HWND>(lParam))) {
            if (HBRUSH brush = control->OnCtlColor(reinterpret_cast<HDC>(wParam))) {
                result = reinterpret_cast<LRESULT>(brush);
                return true;
            }
        }
        return false;
    case WM_CLOSE:
        // A multi-line edit sends WM_CLOSE to its parent on Escape; a child
        // window must not be destroyed by it. The top-level window decides.
        if (::GetWindowLongW(m_hwnd, GWL_STYLE) & WS_CHILD) {
            if (HWND root = ::GetAncestor(m_hwnd, GA_ROOT); root && root != m_hwnd)
                ::PostMessageW(root, WM_CLOSE, 0, 0);
            result = 0;
            return true;
        }
        return false;
    case WM_DESTROY:
        OnDestroy();
        return false;
    default:
        return false;
    }
}

LRESULT CALLBACK VLWnd::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    VLWnd* self = nullptr;
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<VLWnd*>(cs->lpCreateParams);
        if (self) {
            self->m_hwnd = hwnd;
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<VLWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);

    LRESULT result = 0;
    bool handled = false;
    try {
        handled = self->OnMessage(msg, wParam, lParam, result);
    } catch (...) {
        // A handler that failed (out of memory) leaves the message to the
        // default procedure rather than unwinding into the system.
        handled = false;
    }
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
    }
    return handled ? result : ::DefWindowProcW(hwnd, msg, wParam, lParam);
}
