#include "VLPopupBottomButtonsWnd.h"

#include <algorithm>

#include "CLayoutHelper.h"
#include "VLLayoutUnits.h"

bool VLPopupBottomButtonsWnd::Create(HWND parent, const RECT& rect, UINT id)
{
    CreateArgs args;
    args.className = L"VLPopupBottomButtonsWnd";
    args.parent = parent;
    args.rect = rect;
    args.id = id;
    args.exStyle = WS_EX_CONTROLPARENT;
    return VLWnd::Create(args);
}

void VLPopupBottomButtonsWnd::OnCreate()
{
    VLControl::CreateArgs args;
    args.parent = m_hwnd;
    (void)m_text.Create(args);
}

void VLPopupBottomButtonsWnd::AddButton(VLButton* button, int gapBefore)
{
    m_buttons.push_back({button, gapBefore});
    Layout();
}

void VLPopupBottomButtonsWnd::OnSize(int, int)
{
    Layout();
}

void VLPopupBottomButtonsWnd::Layout()
{
    using VLLayoutUnits::Scale;
    if (!m_hwnd)
        return;
    RECT client;
    ::GetClientRect(m_hwnd, &client);
    int height = Scale(23);
    int top = client.top + Scale(8);
    int right = client.right - Scale(8);
    for (auto it = m_buttons.rbegin(); it != m_buttons.rend(); ++it) {
        VLButton* button = it->button;
        int width = std::max(Scale(75), CLayoutHelper::MeasureTextWidth(button->GetText(), VLLayoutUnits::GetFont()) +
                                            Scale(16));
        button->Move(RECT{right - width, top, right, top + height});
        right -= width + Scale(it->gapBefore);
    }
    if (m_text.GetHwnd()) {
        int textHeight = CLayoutHelper::MeasureTextHeight(L"Ag", 1000, VLLayoutUnits::GetFont());
        int textTop = top + (height - textHeight) / 2;
        m_text.Move(RECT{client.left + Scale(8), textTop, std::max<LONG>(client.left + Scale(8), right),
                         textTop + textHeight});
    }
}

void VLPopupBottomButtonsWnd::OnPaint(HDC dc, const RECT& client)
{
    RECT edge = client;
    ::DrawEdge(dc, &edge, EDGE_ETCHED, BF_TOP);
}
