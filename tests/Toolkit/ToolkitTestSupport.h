#pragma once
// Message pumping for window tests on the test's own thread.

#include <windows.h>

#include <functional>

namespace toolkittest {

// Dispatches messages (with the dialog keyboard rules of `dialog`, when
// given) until `done` holds or `timeoutMs` passes; returns `done()`.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, HWND dialog = nullptr)
{
    DWORD until = ::GetTickCount() + timeoutMs;
    MSG msg;
    while (!done()) {
        if (static_cast<LONG>(::GetTickCount() - until) >= 0)
            return done();
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (dialog && ::IsDialogMessageW(dialog, &msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    }
    return true;
}

inline void PumpFor(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

}  // namespace toolkittest
