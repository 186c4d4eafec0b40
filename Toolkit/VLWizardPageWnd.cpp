#include "VLWizardPageWnd.h"

#include "VLWizardPopupWnd.h"

VLString VLWizardPageWnd::GetBackButtonText()
{
    return m_wizard ? m_wizard->Translate(L"< Back") : VLString(L"< Back");
}

VLString VLWizardPageWnd::GetNextButtonText()
{
    bool last = m_wizard && GetPageIndex() == m_wizard->GetPageCount() - 1;
    VLString text = last ? L"Finish" : L"Next >";
    return m_wizard ? m_wizard->Translate(text) : text;
}

bool VLWizardPageWnd::IsBackEnabled()
{
    return GetPageIndex() > 0;
}

int VLWizardPageWnd::GetPageIndex() const
{
    return m_wizard ? m_wizard->IndexOfPage(this) : -1;
}

bool VLWizardPageWnd::CreatePage(HWND parent, const RECT& rect)
{
    CreateArgs args;
    args.className = L"VLWizardPageWnd";
    args.parent = parent;
    args.rect = rect;
    args.style = WS_CHILD | WS_CLIPCHILDREN;  // hidden until the wizard shows it
    args.exStyle = WS_EX_CONTROLPARENT;
    return VLWnd::Create(args);
}

void VLWizardPageWnd::OnCreate()
{
    OnCreatePage();
}
