#include "VLProgressBar.h"

#include <commctrl.h>

bool VLProgressBar::Create(const CreateArgs& args)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
    if (!CreateControl(PROGRESS_CLASSW, args, 0))
        return false;
    SetRange(100);
    return true;
}

void VLProgressBar::SetRange(int maximum)
{
    if (m_hwnd)
        ::SendMessageW(m_hwnd, PBM_SETRANGE32, 0, maximum);
}

void VLProgressBar::SetPosition(int position)
{
    if (m_hwnd)
        ::SendMessageW(m_hwnd, PBM_SETPOS, position, 0);
}

int VLProgressBar::GetPosition() const
{
    return m_hwnd ? static_cast<int>(::SendMessageW(m_hwnd, PBM_GETPOS, 0, 0)) : 0;
}
