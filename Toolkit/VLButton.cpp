#include "VLButton.h"

bool VLButton::Create(const CreateArgs& args, bool isDefault)
{
    return CreateControl(L"BUTTON", args, WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
}

void VLButton::Click()
{
    if (m_onClick)
        m_onClick();
}

void VLButton::OnCommand(WORD notifyCode)
{
    if (notifyCode == BN_CLICKED)
        Click();
}

bool VLCheckBox::Create(const CreateArgs& args)
{
    return CreateControl(L"BUTTON", args, WS_TABSTOP | BS_AUTOCHECKBOX);
}

bool VLCheckBox::IsChecked() const
{
    return m_hwnd && ::SendMessageW(m_hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void VLCheckBox::SetChecked(bool checked)
{
    if (m_hwnd)
        ::SendMessageW(m_hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool VLRadioButton::Create(const CreateArgs& args, bool firstOfGroup)
{
    return CreateControl(L"BUTTON", args, BS_AUTORADIOBUTTON | (firstOfGroup ? (WS_GROUP | WS_TABSTOP) : 0));
}

bool VLRadioButton::IsChecked() const
{
    return m_hwnd && ::SendMessageW(m_hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void VLRadioButton::SetChecked(bool checked)
{
    if (!m_hwnd)
        return;
    if (!checked) {
        ::SendMessageW(m_hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
        return;
    }
    // Checking one button of a group clears the others, as a click would.
    HWND parent = ::GetParent(m_hwnd);
    HWND first = m_hwnd;
    while (!(::GetWindowLongW(first, GWL_STYLE) & WS_GROUP)) {
        HWND prev = ::GetWindow(first, GW_HWNDPREV);
        if (!prev)
            break;
        first = prev;
    }
    for (HWND h = first; h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h != first && (::GetWindowLongW(h, GWL_STYLE) & WS_GROUP))
            break;
        if (::GetParent(h) == parent && (::SendMessageW(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            ::SendMessageW(h, BM_SETCHECK, h == m_hwnd ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}
