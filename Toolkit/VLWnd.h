#pragma once
// A window of the toolkit's own classes. The object learns its HWND at
// WM_NCCREATE (lpCreateParams carries `this`), so no message is lost, and
// keeps it until WM_NCDESTROY. Messages go to OnMessage, which returns
// whether it handled the message and the result; unhandled messages reach
// DefWindowProc. Nothing unwinds out of the window procedure.

#include <windows.h>

#include "VLWindowBase.h"

class VLWnd : public VLWindowBase {
public:
    struct CreateArgs {
        const wchar_t* className = L"VLWnd";
        VLString text;
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD exStyle = 0;
        RECT rect{};  // in pixels, relative to the parent's client area
        HWND parent = nullptr;
        UINT id = 0;  // control id of a child window
        // System colour index of the class background (-1 paints nothing);
        // taken when the class is first registered.
        int backgroundColor = COLOR_BTNFACE;
    };

    VLWnd() = default;
    // Destroys the window if the object still has one.
    ~VLWnd() override;

    // Registers the class on first use and creates the window. Returns false
    // (and leaves the object without a window) when either call fails.
    [[nodiscard]] bool Create(const CreateArgs& args);
    void Destroy();

    // Window timers, numbered by the window; handled in OnTimer.
    bool SetTimer(UINT_PTR id, UINT milliseconds);
    void KillTimer(UINT_PTR id);

    // The object behind a window of the toolkit's classes, or null.
    static VLWnd* FromHwnd(HWND hwnd) noexcept;

    // Unregisters every class this module registered (at shutdown).
    static void UnregisterClasses() noexcept;

protected:
    // Returns true when the message was handled; `result` is then returned
    // from the window procedure. The base handles creation, timers, sizing,
    // painting and routes child notifications to their control objects.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    virtual void OnCreate() {}
    virtual void OnTimer(UINT_PTR id) {}
    virtual void OnSize(int width, int height) {}
    virtual void OnPaint(HDC dc, const RECT& client) {}
    virtual void OnDestroy() {}

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};
