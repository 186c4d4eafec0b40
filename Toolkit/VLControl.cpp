#include "VLControl.h"

#include "VLLayoutUnits.h"

namespace {
const wchar_t kObjectProp[] = L"VLControlObject";
}

VLControl::~VLControl()
{
    // The parent may already have destroyed the window, and the handle value
    // may be reused; only a window that still carries this object is ours.
    if (m_hwnd && ::IsWindow(m_hwnd) && ::GetPropW(m_hwnd, kObjectProp) == this) {
        ::RemovePropW(m_hwnd, kObjectProp);
        ::DestroyWindow(m_hwnd);
    }
    m_hwnd = nullptr;
}

VLControl* VLControl::FromHwnd(HWND hwnd) noexcept
{
    if (!hwnd)
        return nullptr;
    return static_cast<VLControl*>(::GetPropW(hwnd, kObjectProp));
}

bool VLControl::CreateControl(const wchar_t* className, const CreateArgs& args, DWORD typeStyle)
{
    if (m_hwnd && ::IsWindow(m_hwnd))
        return false;
    HWND hwnd = ::CreateWindowExW(args.exStyle, className, args.text.GetString(),
                                  WS_CHILD | WS_VISIBLE | typeStyle | args.style, args.rect.left, args.rect.top,
                                  args.rect.right - args.rect.left, args.rect.bottom - args.rect.top, args.parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(args.id)),
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (!hwnd)
        return false;
    ::SetPropW(hwnd, kObjectProp, this);
    ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(VLLayoutUnits::GetFont()), FALSE);
    m_hwnd = hwnd;
    return true;
}
