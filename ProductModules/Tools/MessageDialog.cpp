#include "MessageDialog.h"

#include "VLHandle.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct DialogArgs {
    const wchar_t* caption;
    const wchar_t* text;
    const wchar_t* const* buttons;
    int count;
    HFONT font;
};

constexpr int kMargin = 12;
constexpr int kGap = 8;
constexpr int kButtonHeight = 25;
constexpr int kMinButtonWidth = 80;
constexpr int kMaxTextWidth = 460;

SIZE MeasureText(HDC dc, const wchar_t* text, int maxWidth, bool wrap)
{
    RECT rc{0, 0, maxWidth, 0};
    UINT flags = DT_CALCRECT | DT_NOPREFIX | (wrap ? DT_WORDBREAK : DT_SINGLELINE);
    ::DrawTextW(dc, text, -1, &rc, flags);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

void LayOut(HWND dialog, const DialogArgs& args)
{
    HDC dc = ::GetDC(dialog);
    HGDIOBJ oldFont = ::SelectObject(dc, args.font);
    SIZE textSize = MeasureText(dc, args.text, kMaxTextWidth, true);
    std::vector<int> widths(args.count);
    int buttonsWidth = 0;
    for (int i = 0; i < args.count; ++i) {
        SIZE s = MeasureText(dc, args.buttons[i], 1000, false);
        widths[i] = std::max<int>(kMinButtonWidth, s.cx + 24);
        buttonsWidth += widths[i] + (i > 0 ? kGap : 0);
    }
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(dialog, dc);

    const int clientWidth = std::max<int>(textSize.cx, buttonsWidth) + 2 * kMargin;
    const int clientHeight = kMargin + textSize.cy + 2 * kMargin + kButtonHeight + kMargin;

    HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    HWND textWindow = ::CreateWindowExW(0, L"STATIC", args.text, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                        kMargin, kMargin, textSize.cx, textSize.cy, dialog,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(CMessageDialog::kTextId)),
                                        instance, nullptr);
    ::SendMessageW(textWindow, WM_SETFONT, reinterpret_cast<WPARAM>(args.font), FALSE);

    int x = clientWidth - kMargin - buttonsWidth;  // buttons on the right, in caption order
    const int y = clientHeight - kMargin - kButtonHeight;
    HWND first = nullptr;
    for (int i = 0; i < args.count; ++i) {
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON | WS_GROUP : BS_PUSHBUTTON);
        HWND button = ::CreateWindowExW(
            0, L"BUTTON", args.buttons[i], style, x, y, widths[i], kButtonHeight, dialog,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(CMessageDialog::kFirstButtonId + i)), instance, nullptr);
        ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(args.font), FALSE);
        if (i == 0)
            first = button;
        x += widths[i] + kGap;
    }

    RECT frame{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT area{};
    HWND owner = ::GetWindow(dialog, GW_OWNER);
    if (owner == nullptr || !::GetWindowRect(owner, &area))
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    ::SetWindowPos(dialog, HWND_TOP, area.left + (area.right - area.left - width) / 2,
                   area.top + (area.bottom - area.top - height) / 2, width, height, SWP_NOZORDER);
    if (first != nullptr)
        ::SetFocus(first);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto* args = reinterpret_cast<DialogArgs*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        ::SetWindowTextW(dialog, args->caption);
        LayOut(dialog, *args);
        ::SetForegroundWindow(dialog);
        return FALSE;  // focus was set to the first button
    }
    case WM_COMMAND: {
        auto* args = reinterpret_cast<DialogArgs*>(::GetWindowLongPtrW(dialog, DWLP_USER));
        const int id = LOWORD(wParam);
        if (id == IDCANCEL) {
            ::EndDialog(dialog, args->count - 1);  // Escape or the close box: the cancelling choice
            return TRUE;
        }
        if (id >= CMessageDialog::kFirstButtonId && id < CMessageDialog::kFirstButtonId + args->count) {
            ::EndDialog(dialog, id - CMessageDialog::kFirstButtonId);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CLOSE: {
        auto* args = reinterpret_cast<DialogArgs*>(::GetWindowLongPtrW(dialog, DWLP_USER));
        ::EndDialog(dialog, args->count - 1);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

// An empty dialog template: the controls are made at WM_INITDIALOG, when
// their sizes can be measured in the dialog's font.
std::vector<WORD> BuildTemplate()
{
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* header = reinterpret_cast<DLGTEMPLATE*>(t.data());
    header->style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    header->dwExtendedStyle = WS_EX_DLGMODALFRAME;
    header->cdit = 0;
    header->cx = 200;
    header->cy = 80;
    t.push_back(0);  // no menu
    t.push_back(0);  // standard dialog class
    t.push_back(0);  // caption set at WM_INITDIALOG
    t.push_back(8);  // point size
    for (const wchar_t* face = L"MS Shell Dlg"; *face; ++face)
        t.push_back(static_cast<WORD>(*face));
    t.push_back(0);
    return t;
}

}  // namespace

int CMessageDialog::Show(HWND owner, const wchar_t* caption, const wchar_t* text, const wchar_t* const* buttons,
                         int count)
{
    if (buttons == nullptr || count < 1 || count > kMaxButtons)
        return -1;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    VLUniqueGdiObject font(::CreateFontIndirectW(&metrics.lfMessageFont));
    DialogArgs args{caption != nullptr ? caption : L"", text != nullptr ? text : L"", buttons, count,
                    font ? static_cast<HFONT>(font.Get()) : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))};
    std::vector<WORD> dialogTemplate = BuildTemplate();
    HINSTANCE instance = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&DialogProc), &instance);
    INT_PTR result = ::DialogBoxIndirectParamW(instance, reinterpret_cast<DLGTEMPLATE*>(dialogTemplate.data()),
                                               owner, DialogProc, reinterpret_cast<LPARAM>(&args));
    return result < 0 ? -1 : static_cast<int>(result);
}
