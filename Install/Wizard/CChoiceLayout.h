#pragma once
// Lays out the choice pages: a prompt, then radio buttons each followed by
// an indented description that wraps.

#include "CLayoutHelper.h"
#include "VLButton.h"
#include "VLStaticText.h"

namespace CChoiceLayout {

void AddPrompt(CLayoutHelper& layout, HWND parent, VLStaticText& text, const VLString& caption);
void AddChoice(CLayoutHelper& layout, HWND parent, VLRadioButton& button, VLStaticText& description,
               const VLString& caption, const VLString& descriptionText, bool firstOfGroup, UINT id);

}  // namespace CChoiceLayout
