#include "VLStaticText.h"

#include "VLLayoutUnits.h"

bool VLStaticText::Create(const CreateArgs& args, bool bold)
{
    if (!CreateControl(L"STATIC", args, SS_LEFT | SS_NOPREFIX))
        return false;
    if (bold)
        ::SendMessageW(m_hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(VLLayoutUnits::GetBoldFont()), FALSE);
    return true;
}

HBRUSH VLStaticText::OnCtlColor(HDC dc)
{
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    return ::GetSysColorBrush(COLOR_BTNFACE);
}
