#include "VLWindowBase.h"

void VLWindowBase::SetText(const VLString& text)
{
    if (m_hwnd)
        ::SetWindowTextW(m_hwnd, text.GetString());
}

VLString VLWindowBase::GetText() const
{
    if (!m_hwnd)
        return VLString();
    int length = ::GetWindowTextLengthW(m_hwnd);
    if (length <= 0)
        return VLString();
    VLString text;
    wchar_t* buffer = text.GetBuffer(length + 1);
    int copied = ::GetWindowTextW(m_hwnd, buffer, length + 1);
    text.ReleaseBuffer(copied > 0 ? copied : 0);
    return text;
}

void VLWindowBase::Enable(bool enable)
{
    if (m_hwnd)
        ::EnableWindow(m_hwnd, enable ? TRUE : FALSE);
}

bool VLWindowBase::IsEnabled() const
{
    return m_hwnd && ::IsWindowEnabled(m_hwnd);
}

void VLWindowBase::Show(bool show)
{
    if (m_hwnd)
        ::ShowWindow(m_hwnd, show ? SW_SHOW : SW_HIDE);
}

bool VLWindowBase::IsVisible() const
{
    return m_hwnd && ::IsWindowVisible(m_hwnd);
}

void VLWindowBase::Move(const RECT& rect)
{
    if (m_hwnd)
        ::MoveWindow(m_hwnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

void VLWindowBase::SetFocus()
{
    if (m_hwnd)
        ::SetFocus(m_hwnd);
}

void VLWindowBase::Invalidate()
{
    if (m_hwnd)
        ::InvalidateRect(m_hwnd, nullptr, TRUE);
}
