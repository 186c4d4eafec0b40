#pragma once
// Operations every toolkit window and control shares: they act on the HWND
// the object holds, and do nothing while it has none.

#include <windows.h>

#include "VLString.h"

class VLWindowBase {
public:
    VLWindowBase() = default;
    VLWindowBase(const VLWindowBase&) = delete;
    VLWindowBase& operator=(const VLWindowBase&) = delete;
    virtual ~VLWindowBase() = default;

    HWND GetHwnd() const noexcept { return m_hwnd; }
    bool HasWindow() const noexcept { return m_hwnd != nullptr && ::IsWindow(m_hwnd); }

    void SetText(const VLString& text);
    VLString GetText() const;
    void Enable(bool enable);
    bool IsEnabled() const;
    void Show(bool show);
    bool IsVisible() const;
    void Move(const RECT& rect);
    void SetFocus();
    void Invalidate();

protected:
    HWND m_hwnd = nullptr;
};
