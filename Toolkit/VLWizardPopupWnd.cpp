#include "VLWizardPopupWnd.h"

#include "VLLayoutUnits.h"

using VLLayoutUnits::Scale;

VLWizardPopupWnd::~VLWizardPopupWnd()
{
    // Page windows are children of the frame: destroy the frame first, then
    // the pages this list owns.
    Destroy();
    for (VLWizardPageInfo& info : m_pages) {
        if (info.ownsPage)
            delete info.page;
    }
    m_pages.clear();
}

SIZE VLWizardPopupWnd::GetPreferredSize()
{
    SIZE page = GetDefaultPageAreaSize();
    int width = kMarginUnits + page.cx + kMarginUnits;
    int height = kHeaderHeightUnits + kMarginUnits + page.cy + kMarginUnits +
                 VLPopupBottomButtonsWnd::GetRowHeightUnits();
    return SIZE{Scale(width), Scale(height)};
}

RECT VLWizardPopupWnd::GetPageAreaRect() const
{
    RECT client{};
    if (m_hwnd)
        ::GetClientRect(m_hwnd, &client);
    int rowHeight = Scale(VLPopupBottomButtonsWnd::GetRowHeightUnits());
    return RECT{client.left + Scale(kMarginUnits), client.top + Scale(kHeaderHeightUnits + kMarginUnits),
                client.right - Scale(kMarginUnits), client.bottom - rowHeight - Scale(kMarginUnits)};
}

bool VLWizardPopupWnd::CreateWizard(HWND owner)
{
    SIZE size = GetPreferredSize();
    return CreatePopup(VLString(), size.cx, size.cy, owner, L"VLWizardPopupWnd");
}

void VLWizardPopupWnd::OnCreate()
{
    RECT client;
    ::GetClientRect(m_hwnd, &client);
    int rowHeight = Scale(VLPopupBottomButtonsWnd::GetRowHeightUnits());

    (void)m_header.Create(m_hwnd, RECT{0, 0, client.right, Scale(kHeaderHeightUnits)}, kIdHeader);
    (void)m_buttonRow.Create(m_hwnd, RECT{0, client.bottom - rowHeight, client.right, client.bottom}, kIdButtonRow);

    VLControl::CreateArgs args;
    args.parent = m_buttonRow.GetHwnd();
    args.id = kIdBack;
    args.text = Translate(L"< Back");
    (void)m_back.Create(args);
    args.id = kIdNext;
    args.text = Translate(L"Next >");
    (void)m_next.Create(args, true);
    args.id = kIdCancel;
    args.text = Translate(L"Cancel");
    (void)m_cancel.Create(args);
    m_buttonRow.AddButton(&m_back, 0);
    m_buttonRow.AddButton(&m_next, 0);
    m_buttonRow.AddButton(&m_cancel, 8);

    m_back.SetOnClick([this]() { BackClicked(); });
    m_next.SetOnClick([this]() { NextClicked(); });
    m_cancel.SetOnClick([this]() { CancelClicked(); });

    m_next.SetFocus();
    GoToPage(0, false);
}

void VLWizardPopupWnd::AppendPage(VLWizardPageWnd* page, bool ownsPage)
{
    if (!page)
        return;
    page->SetWizard(this);
    m_pages.push_back(VLWizardPageInfo{page, ownsPage});
}

VLWizardPageWnd* VLWizardPopupWnd::GetCurrentPage() const
{
    return GetPageAt(m_currentIndex);
}

VLWizardPageWnd* VLWizardPopupWnd::GetPageAt(int index) const
{
    if (index < 0 || index >= GetPageCount())
        return nullptr;
    return m_pages[static_cast<size_t>(index)].page;
}

int VLWizardPopupWnd::IndexOfPage(const VLWizardPageWnd* page) const
{
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i].page == page)
            return static_cast<int>(i);
    }
    return -1;
}

bool VLWizardPopupWnd::GoToPage(int target, bool focus)
{
    if (target < 0 || target == m_currentIndex)
        return false;

    if (VLWizardPageWnd* current = GetCurrentPage()) {
        bool forwards = target > m_currentIndex;
        if (!(forwards ? current->MayLeaveForwards() : current->MayLeaveBackwards()))
            return false;
        current->Show(false);
        current->OnDeactivate();
        if (current->RemoveAfterLeaving()) {
            int removed = m_currentIndex;
            if (m_pages[static_cast<size_t>(removed)].ownsPage)
                current->Destroy();  // deleted below, window first
            VLWizardPageInfo info = m_pages[static_cast<size_t>(removed)];
            m_pages.erase(m_pages.begin() + removed);
            if (info.ownsPage)
                delete info.page;
            else
                info.page->SetWizard(nullptr);
            if (forwards) {
                m_currentIndex = removed - 1;
                target = removed;
            } else {
                target = removed - 1;
            }
            if (target < 0)
                target = 0;
        }
    }

    const int direction = m_currentIndex < target ? 1 : -1;
    const int previous = m_currentIndex;
    for (;;) {
        m_currentIndex = target;
        if (target < 0 || target >= GetPageCount()) {
            Finish();
            if (m_modalResult == kRunning) {
                // Only a frame hosted as a child keeps running; stay put.
                m_currentIndex = previous;
                return false;
            }
            return true;
        }
        VLWizardPageWnd* page = GetPageAt(target);
        bool created = page->HasWindow() || page->CreatePage(m_hwnd, GetPageAreaRect());
        bool accepted = created && page->AcceptActivation();
        m_pageTimer.Restart();
        if (accepted) {
            page->Move(GetPageAreaRect());
            page->Show(true);
            break;
        }
        target += direction;
    }

    if (m_hwnd && ::IsWindow(m_hwnd)) {
        UpdateChrome();
        if (focus) {
            VLWizardPageWnd* page = GetCurrentPage();
            HWND first = page ? ::GetNextDlgTabItem(page->GetHwnd(), nullptr, FALSE) : nullptr;
            if (first && ::IsChild(page->GetHwnd(), first))
                ::SetFocus(first);
            else
                m_next.SetFocus();
        }
    }
    return true;
}

void VLWizardPopupWnd::Back()
{
    VLWizardPageWnd* page = GetCurrentPage();
    if (page && page->IsBackEnabled())
        GoToPage(m_currentIndex - 1, true);
}

void VLWizardPopupWnd::Next()
{
    VLWizardPageWnd* page = GetCurrentPage();
    if (page && page->IsNextEnabled())
        GoToPage(m_currentIndex + 1, true);
}

void VLWizardPopupWnd::Finish()
{
    EndModal(1);
}

void VLWizardPopupWnd::Cancel()
{
    if (VLWizardPageWnd* page = GetCurrentPage()) {
        page->OnCancel();
        page->OnDeactivate();
    }
    EndModal(2);
}

void VLWizardPopupWnd::BackClicked()
{
    if (m_pageTimer.GetElapsedMilliseconds() < kClickGuardMilliseconds)
        return;
    Back();
}

void VLWizardPopupWnd::NextClicked()
{
    if (m_pageTimer.GetElapsedMilliseconds() < kClickGuardMilliseconds)
        return;
    Next();
}

void VLWizardPopupWnd::CancelClicked()
{
    Cancel();
}

void VLWizardPopupWnd::UpdateChrome()
{
    VLWizardPageWnd* page = GetCurrentPage();
    if (!page || !m_hwnd)
        return;
    m_back.SetText(page->GetBackButtonText());
    m_back.Enable(page->IsBackEnabled());
    m_back.Show(GetPageCount() > 1);
    m_next.SetText(page->GetNextButtonText());
    m_next.Enable(page->IsNextEnabled());
    m_cancel.Enable(page->IsCancelEnabled());
    m_buttonRow.Layout();

    m_windowTitle = page->GetWindowTitle();
    m_headerTitle = page->GetHeaderTitle();
    m_headerDescription = page->GetHeaderDescription();
    SetText(m_windowTitle);
    VLString markup = VLString(L"<b>") + m_headerTitle + L"</b>";
    if (!m_headerDescription.IsEmpty())
        markup += VLString(L"\r\n\t") + m_headerDescription;
    m_header.SetMarkup(markup);
    ::RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE);
}

bool VLWizardPopupWnd::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (msg == WM_COMMAND && HIWORD(wParam) == 0) {
        switch (LOWORD(wParam)) {
        case kCommandEnd:
            EndModal(static_cast<int>(lParam));
            result = 0;
            return true;
        case kCommandBack:
            Back();
            result = 0;
            return true;
        case kCommandNext:
            Next();
            result = 0;
            return true;
        default:
            break;
        }
    }
    return VLPopupWnd::OnMessage(msg, wParam, lParam, result);
}
