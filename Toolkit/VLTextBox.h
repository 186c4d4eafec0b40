#pragma once
// Text fields: a single-line edit and a multi-line read-only text box with a
// vertical scroll bar (the licence).

#include "VLControl.h"

class VLEdit : public VLControl {
public:
    [[nodiscard]] bool Create(const CreateArgs& args);
};

class VLTextBox : public VLControl {
public:
    [[nodiscard]] bool Create(const CreateArgs& args);
    // Shows `text`; bare "\n" and "\r" line ends become "\r\n", which the
    // edit control needs to break lines.
    void SetContent(const VLString& text);
    HBRUSH OnCtlColor(HDC dc) override;

    static VLString NormaliseLineEnds(const VLString& text);
};
