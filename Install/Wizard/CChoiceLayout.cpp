#include "CChoiceLayout.h"

#include "VLLayoutUnits.h"

using VLLayoutUnits::Scale;

namespace CChoiceLayout {

void AddPrompt(CLayoutHelper& layout, HWND parent, VLStaticText& text, const VLString& caption)
{
    VLControl::CreateArgs args;
    args.parent = parent;
    args.text = caption;
    args.rect = layout.TakeTop(
        CLayoutHelper::MeasureTextHeight(caption, layout.GetRemainingWidth(), VLLayoutUnits::GetFont()));
    (void)text.Create(args);
    layout.Skip(Scale(8));
}

void AddChoice(CLayoutHelper& layout, HWND parent, VLRadioButton& button, VLStaticText& description,
               const VLString& caption, const VLString& descriptionText, bool firstOfGroup, UINT id)
{
    VLControl::CreateArgs args;
    args.parent = parent;
    args.id = id;
    args.text = caption;
    args.rect = layout.TakeTop(Scale(17));
    (void)button.Create(args, firstOfGroup);
    ::SendMessageW(button.GetHwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(VLLayoutUnits::GetBoldFont()), FALSE);

    RECT r = layout.GetRemaining();
    r.left += Scale(18);  // under the button's caption, past its circle
    int height = CLayoutHelper::MeasureTextHeight(descriptionText, r.right - r.left, VLLayoutUnits::GetFont());
    r.bottom = r.top + height;
    args.id = id + 1;
    args.text = descriptionText;
    args.rect = r;
    (void)description.Create(args);
    layout.TakeTop(height);
    layout.Skip(Scale(8));
}

}  // namespace CChoiceLayout
