#include "CLayoutHelper.h"

#include <algorithm>

CLayoutHelper::CLayoutHelper(const RECT& area, int spacing) noexcept
    : m_area(area), m_remaining(area), m_spacing(spacing)
{
}

RECT CLayoutHelper::TakeTop(int height) noexcept
{
    RECT r{m_remaining.left, m_remaining.top, m_remaining.right, m_remaining.top + height};
    m_remaining.top = std::min<LONG>(m_remaining.bottom, r.bottom + m_spacing);
    return r;
}

RECT CLayoutHelper::TakeBottom(int height) noexcept
{
    RECT r{m_remaining.left, m_remaining.bottom - height, m_remaining.right, m_remaining.bottom};
    m_remaining.bottom = std::max<LONG>(m_remaining.top, r.top - m_spacing);
    return r;
}

RECT CLayoutHelper::TakeLeft(int width) noexcept
{
    RECT r{m_remaining.left, m_remaining.top, m_remaining.left + width, m_remaining.bottom};
    m_remaining.left = std::min<LONG>(m_remaining.right, r.right + m_spacing);
    return r;
}

RECT CLayoutHelper::TakeRight(int width) noexcept
{
    RECT r{m_remaining.right - width, m_remaining.top, m_remaining.right, m_remaining.bottom};
    m_remaining.right = std::max<LONG>(m_remaining.left, r.left - m_spacing);
    return r;
}

void CLayoutHelper::Skip(int pixels) noexcept
{
    m_remaining.top = std::min<LONG>(m_remaining.bottom, m_remaining.top + pixels);
}

void CLayoutHelper::Indent(int pixels) noexcept
{
    m_remaining.left = std::min<LONG>(m_remaining.right, m_remaining.left + pixels);
}

int CLayoutHelper::MeasureTextHeight(const VLString& text, int width, HFONT font)
{
    HDC dc = ::GetDC(nullptr);
    if (!dc)
        return 0;
    HGDIOBJ old = ::SelectObject(dc, font);
    RECT r{0, 0, width, 0};
    ::DrawTextW(dc, text.IsEmpty() ? L" " : text.GetString(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    return r.bottom - r.top;
}

int CLayoutHelper::MeasureTextWidth(const VLString& text, HFONT font)
{
    HDC dc = ::GetDC(nullptr);
    if (!dc)
        return 0;
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.GetString(), text.GetLength(), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    return size.cx;
}
