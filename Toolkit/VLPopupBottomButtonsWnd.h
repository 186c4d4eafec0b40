#pragma once
// The button row at the bottom of a pop-up: an etched line across the top,
// a static text at the left and push buttons aligned to the right, each a
// standard width (wider when its text needs it).

#include <vector>

#include "VLButton.h"
#include "VLStaticText.h"
#include "VLWnd.h"

class VLPopupBottomButtonsWnd : public VLWnd {
public:
    [[nodiscard]] bool Create(HWND parent, const RECT& rect, UINT id);

    // Adds a button created with this row as its parent. `gapBefore` (layout
    // units) separates it from the previous button: small within a group
    // (Back, Next), larger before another (Cancel).
    void AddButton(VLButton* button, int gapBefore);
    // The static text at the left, or null before the row is created.
    VLStaticText* GetStaticText() { return &m_text; }

    // Height of the row in layout units.
    static int GetRowHeightUnits() { return 39; }
    void Layout();

protected:
    void OnCreate() override;
    void OnSize(int width, int height) override;
    void OnPaint(HDC dc, const RECT& client) override;

private:
    struct Entry {
        VLButton* button;
        int gapBefore;
    };
    std::vector<Entry> m_buttons;
    VLStaticText m_text;
};
