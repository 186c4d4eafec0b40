#pragma once
// A static text: a label, possibly wrapping over several lines, in the normal
// or the bold font. Its background is the parent's.

#include "VLControl.h"

class VLStaticText : public VLControl {
public:
    [[nodiscard]] bool Create(const CreateArgs& args, bool bold = false);
    HBRUSH OnCtlColor(HDC dc) override;
};
