#pragma once
// Places child controls one after another: a rectangle being filled, the part
// of it still free, and the spacing left after each placed piece. All values
// are pixels (scale layout units with VLLayoutUnits::Scale first).

#include <windows.h>

#include "VLString.h"

class CLayoutHelper {
public:
    CLayoutHelper(const RECT& area, int spacing) noexcept;

    // A band of `height` across the free width at its top; the free part
    // then starts below it plus the spacing.
    RECT TakeTop(int height) noexcept;
    // The same at the bottom of the free part.
    RECT TakeBottom(int height) noexcept;
    // A strip of `width` at the left of the free part (full free height);
    // the free part then starts right of it plus the spacing.
    RECT TakeLeft(int width) noexcept;
    RECT TakeRight(int width) noexcept;

    // Extra vertical space without placing anything.
    void Skip(int pixels) noexcept;
    // Narrows the free part from the left (an indented block).
    void Indent(int pixels) noexcept;

    const RECT& GetArea() const noexcept { return m_area; }
    const RECT& GetRemaining() const noexcept { return m_remaining; }
    int GetSpacing() const noexcept { return m_spacing; }
    int GetRemainingWidth() const noexcept { return m_remaining.right - m_remaining.left; }

    // Height in pixels that `text` needs when wrapped at `width` in `font`.
    static int MeasureTextHeight(const VLString& text, int width, HFONT font);
    // Width in pixels of one line of `text` in `font`.
    static int MeasureTextWidth(const VLString& text, HFONT font);

private:
    RECT m_area;
    RECT m_remaining;
    int m_spacing;
};
