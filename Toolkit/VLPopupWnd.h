#pragma once
// A top-level window with its own modal loop. RunModal pumps messages (with
// the dialog keyboard rules: Tab, Enter for the default button, Escape)
// until EndModal gives the result, which RunModal returns.
//
// Escape (the cancel command) and the system close (close box, Alt+F4) both
// arrive at OnCloseRequest; the default ends the loop with result 2.

#include "VLWnd.h"

class VLPopupWnd : public VLWnd {
public:
    static constexpr int kRunning = -1;

    // Creates the window hidden, centred on the work area, sized for a client
    // area of `clientWidth` x `clientHeight` pixels.
    [[nodiscard]] bool CreatePopup(const VLString& title, int clientWidth, int clientHeight, HWND owner,
                                   const wchar_t* className = L"VLPopupWnd");

    // Shows the window and runs the loop until EndModal; disables the owner
    // meanwhile. A WM_QUIT met in the loop is posted again for the outer loop
    // and ends this one with result 2.
    int RunModal();
    void EndModal(int result);
    int GetModalResult() const noexcept { return m_modalResult; }

protected:
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // The id of the button Enter presses (0: none).
    virtual UINT GetDefaultButtonId() const { return 0; }
    virtual void OnCloseRequest() { EndModal(2); }

    int m_modalResult = kRunning;
};
