#include "VLTextBox.h"

bool VLEdit::Create(const CreateArgs& args)
{
    CreateArgs a = args;
    a.exStyle |= WS_EX_CLIENTEDGE;
    return CreateControl(L"EDIT", a, WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT);
}

bool VLTextBox::Create(const CreateArgs& args)
{
    CreateArgs a = args;
    a.exStyle |= WS_EX_CLIENTEDGE;
    a.text = NormaliseLineEnds(args.text);
    return CreateControl(L"EDIT", a, WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL);
}

void VLTextBox::SetContent(const VLString& text)
{
    SetText(NormaliseLineEnds(text));
}

HBRUSH VLTextBox::OnCtlColor(HDC dc)
{
    // Read-only edits ask with WM_CTLCOLORSTATIC and would come out grey; a
    // document to read stays on the window colour.
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    return ::GetSysColorBrush(COLOR_WINDOW);
}

VLString VLTextBox::NormaliseLineEnds(const VLString& text)
{
    VLString out;
    int length = text.GetLength();
    for (int i = 0; i < length; ++i) {
        wchar_t c = text[i];
        if (c == L'\r') {
            out += L"\r\n";
            if (i + 1 < length && text[i + 1] == L'\n')
                ++i;
        } else if (c == L'\n') {
            out += L"\r\n";
        } else {
            out += c;
        }
    }
    return out;
}
