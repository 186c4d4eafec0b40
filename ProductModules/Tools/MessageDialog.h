#pragma once
// A modal message box with any number of buttons and captions of our
// choosing ("Retry"/"Cancel", "Restart"/"Cancel"). It is a real dialog of
// the standard dialog class, so automation finds it like any message box:
// the text is the static control with id kTextId, the buttons have ids
// kFirstButtonId + index in caption order.

#include <windows.h>

class CMessageDialog {
public:
    static constexpr int kTextId = 0xFFFF;
    static constexpr int kFirstButtonId = 1000;
    static constexpr int kMaxButtons = 256;

    // Returns the index of the pressed button; Escape or closing the box
    // gives the last index; -1 when it cannot be shown.
    static int Show(HWND owner, const wchar_t* caption, const wchar_t* text, const wchar_t* const* buttons, int count);
};
