#include "VLDialogHeaderCtrl.h"

#include "VLLayoutUnits.h"

bool VLDialogHeaderCtrl::Create(HWND parent, const RECT& rect, UINT id)
{
    CreateArgs args;
    args.className = L"VLDialogHeaderCtrl";
    args.parent = parent;
    args.rect = rect;
    args.id = id;
    args.backgroundColor = COLOR_WINDOW;
    return VLWnd::Create(args);
}

void VLDialogHeaderCtrl::SetMarkup(const VLString& markup)
{
    m_markup = markup;
    // The window text carries the markup too, so automation and screen
    // readers can read the header.
    if (m_hwnd)
        ::SetWindowTextW(m_hwnd, markup.GetString());
    Invalidate();
}

void VLDialogHeaderCtrl::SetIcon(HICON icon)
{
    m_icon = icon;
    Invalidate();
}

std::vector<VLDialogHeaderCtrl::Line> VLDialogHeaderCtrl::Parse(const VLString& markup)
{
    std::vector<Line> lines;
    Line line;
    Run run;
    bool bold = false;
    bool atLineStart = true;
    auto flushRun = [&]() {
        if (!run.text.IsEmpty()) {
            run.bold = bold;
            line.runs.push_back(run);
        }
        run = Run();
    };
    int length = markup.GetLength();
    for (int i = 0; i < length;) {
        wchar_t c = markup[i];
        if (c == L'\r' || c == L'\n') {
            flushRun();
            lines.push_back(line);
            line = Line();
            atLineStart = true;
            i += (c == L'\r' && i + 1 < length && markup[i + 1] == L'\n') ? 2 : 1;
            continue;
        }
        if (c == L'\t' && atLineStart) {
            ++line.indent;
            ++i;
            continue;
        }
        atLineStart = false;
        if (c == L'<') {
            VLString rest = markup.Mid(i, 4);
            if (rest.Left(3).CompareNoCase(L"<b>") == 0) {
                flushRun();
                bold = true;
                i += 3;
                continue;
            }
            if (rest.CompareNoCase(L"</b>") == 0) {
                flushRun();
                bold = false;
                i += 4;
                continue;
            }
        }
        run.text += c;
        ++i;
    }
    flushRun();
    if (!line.runs.empty() || line.indent > 0 || lines.empty())
        lines.push_back(line);
    return lines;
}

std::vector<VLString> VLDialogHeaderCtrl::WrapText(HDC dc, const VLString& text, int width)
{
    std::vector<VLString> lines;
    VLString line;
    int length = text.GetLength();
    for (int i = 0; i < length;) {
        // The next word with the spaces before it.
        int end = i;
        while (end < length && text[end] == L' ')
            ++end;
        while (end < length && text[end] != L' ')
            ++end;
        VLString candidate = line + text.Mid(i, end - i);
        SIZE size{};
        ::GetTextExtentPoint32W(dc, candidate.GetString(), candidate.GetLength(), &size);
        if (size.cx > width && !line.IsEmpty()) {
            lines.push_back(line);
            line = text.Mid(i, end - i);
            line.TrimLeft();
        } else {
            line = candidate;
        }
        i = end;
    }
    if (!line.IsEmpty() || lines.empty())
        lines.push_back(line);
    return lines;
}

void VLDialogHeaderCtrl::OnPaint(HDC dc, const RECT& client)
{
    using VLLayoutUnits::Scale;
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));

    RECT text = client;
    text.left += Scale(16);
    text.top += Scale(8);
    text.right -= Scale(12);
    if (m_icon) {
        int size = Scale(32);
        int x = client.right - Scale(12) - size;
        int y = client.top + (client.bottom - client.top - size) / 2;
        ::DrawIconEx(dc, x, y, m_icon, size, size, 0, nullptr, DI_NORMAL);
        text.right = x - Scale(8);
    }

    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ oldFont = ::SelectObject(dc, VLLayoutUnits::GetFont());
    int y = text.top;
    for (const Line& line : Parse(m_markup)) {
        int x = text.left + line.indent * Scale(16);
        int lineHeight = 0;
        if (line.runs.size() == 1) {
            // One style: wrap within the band, so a long description is not cut.
            const Run& run = line.runs[0];
            ::SelectObject(dc, run.bold ? VLLayoutUnits::GetBoldFont() : VLLayoutUnits::GetFont());
            // Wrapped here rather than by DrawText, so every wrapped line keeps
            // the line's indent.
            TEXTMETRICW tm{};
            ::GetTextMetricsW(dc, &tm);
            for (const VLString& part : WrapText(dc, run.text, text.right - x)) {
                RECT r{x, y + lineHeight, text.right, client.bottom};
                ::DrawTextW(dc, part.GetString(), part.GetLength(), &r, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
                lineHeight += tm.tmHeight;
            }
        } else {
            for (const Run& run : line.runs) {
                ::SelectObject(dc, run.bold ? VLLayoutUnits::GetBoldFont() : VLLayoutUnits::GetFont());
                RECT r{x, y, text.right, client.bottom};
                int h = ::DrawTextW(dc, run.text.GetString(), run.text.GetLength(), &r,
                                    DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
                SIZE size{};
                ::GetTextExtentPoint32W(dc, run.text.GetString(), run.text.GetLength(), &size);
                x += size.cx;
                lineHeight = std::max(lineHeight, h);
            }
        }
        if (lineHeight == 0) {
            TEXTMETRICW tm{};
            ::GetTextMetricsW(dc, &tm);
            lineHeight = tm.tmHeight;
        }
        y += lineHeight + Scale(2);
    }
    ::SelectObject(dc, oldFont);

    RECT edge = client;
    ::DrawEdge(dc, &edge, EDGE_ETCHED, BF_BOTTOM);
}
