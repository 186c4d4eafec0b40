#pragma once
// A child control of a system window class (BUTTON, STATIC, EDIT, the common
// controls). The control object is attached to its window as a property, so
// the parent's WM_COMMAND and WM_CTLCOLOR* handling can route to it.

#include <windows.h>

#include "VLWindowBase.h"

class VLControl : public VLWindowBase {
public:
    struct CreateArgs {
        HWND parent = nullptr;
        VLString text;
        DWORD style = 0;  // WS_CHILD | WS_VISIBLE | WS_TABSTOP are added by the control type as fitting
        DWORD exStyle = 0;
        RECT rect{};
        UINT id = 0;
    };

    VLControl() = default;
    // Destroys the control window if it is still this object's.
    ~VLControl() override;

    // The object attached to a control window, or null.
    static VLControl* FromHwnd(HWND hwnd) noexcept;

    // A WM_COMMAND notification from the control (BN_CLICKED, EN_CHANGE ...).
    virtual void OnCommand(WORD notifyCode) {}
    // WM_CTLCOLOR* for the control: a brush to paint with, or null for the
    // parent's default.
    virtual HBRUSH OnCtlColor(HDC dc) { return nullptr; }

protected:
    [[nodiscard]] bool CreateControl(const wchar_t* className, const CreateArgs& args, DWORD typeStyle);
};
