#pragma once
// The white header band at the top of a wizard: a light markup of lines
// separated by "\r\n", each line's leading tabs indenting it, and "<b>" ...
// "</b>" switching to the bold font. An optional icon sits at the right.

#include <vector>

#include "VLWnd.h"

class VLDialogHeaderCtrl : public VLWnd {
public:
    struct Run {
        VLString text;
        bool bold = false;
    };
    struct Line {
        int indent = 0;  // number of leading tabs
        std::vector<Run> runs;
    };

    [[nodiscard]] bool Create(HWND parent, const RECT& rect, UINT id);
    void SetMarkup(const VLString& markup);
    const VLString& GetMarkup() const { return m_markup; }
    // The icon is not owned.
    void SetIcon(HICON icon);

    // Splits markup into lines and styled runs. Unknown tags are kept as text.
    static std::vector<Line> Parse(const VLString& markup);
    // Breaks one line of text at spaces so each part fits `width` pixels in
    // the font selected into `dc` (a single word wider than that stays whole).
    static std::vector<VLString> WrapText(HDC dc, const VLString& text, int width);

protected:
    void OnPaint(HDC dc, const RECT& client) override;

private:
    VLString m_markup;
    HICON m_icon = nullptr;
};
