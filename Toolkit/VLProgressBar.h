#pragma once
// A progress bar (common control) with a 32-bit range.

#include "VLControl.h"

class VLProgressBar : public VLControl {
public:
    [[nodiscard]] bool Create(const CreateArgs& args);
    void SetRange(int maximum);
    void SetPosition(int position);
    int GetPosition() const;
};
