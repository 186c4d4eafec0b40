// Layout rules of the toolkit that need no window: header markup, layout
// helper, picture fitting, line ends, DPI scaling.
#include <gtest/gtest.h>

#include "CLayoutHelper.h"
#include "VLDialogHeaderCtrl.h"
#include "VLLayoutUnits.h"
#include "VLPictureCtrl.h"
#include "VLTextBox.h"

namespace {

std::wstring Describe(const std::vector<VLDialogHeaderCtrl::Line>& lines)
{
    // "indent:[b]text|text;" per line, so a whole parse compares as one string.
    std::wstring out;
    for (const auto& line : lines) {
        out += std::to_wstring(line.indent) + L":";
        for (size_t i = 0; i < line.runs.size(); ++i) {
            if (i)
                out += L"|";
            if (line.runs[i].bold)
                out += L"[b]";
            out += line.runs[i].text.GetString();
        }
        out += L";";
    }
    return out;
}

}  // namespace

TEST(HeaderMarkup, ParsesBoldRunsLinesAndTabIndent)
{
    struct Case {
        const wchar_t* markup;
        const wchar_t* want;
    };
    const Case cases[] = {
        {L"<b>Welcome</b>\r\n\tWelcome to the Install Wizard.", L"0:[b]Welcome;1:Welcome to the Install Wizard.;"},
        {L"<b>Title</b>", L"0:[b]Title;"},  // no description: one line
        {L"plain <b>bold</b> tail", L"0:plain |[b]bold| tail;"},
        {L"<B>upper</B>", L"0:[b]upper;"},
        {L"a\nb\r\n\t\tc", L"0:a;0:b;2:c;"},
        {L"x\ty", L"0:x\ty;"},              // a tab inside a line is text
        {L"1 < 2 <i>", L"0:1 < 2 <i>;"},    // other tags stay text
        {L"<b>open", L"0:[b]open;"},        // unclosed bold runs to the end
        {L"", L"0:;"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Describe(VLDialogHeaderCtrl::Parse(c.markup)), c.want) << c.markup;
}

TEST(LayoutHelper, PlacesPiecesWithSpacingAndNeverPastTheArea)
{
    CLayoutHelper layout(RECT{10, 20, 210, 120}, 5);
    RECT top = layout.TakeTop(30);
    EXPECT_EQ(top.top, 20);
    EXPECT_EQ(top.bottom, 50);
    EXPECT_EQ(top.left, 10);
    EXPECT_EQ(top.right, 210);
    EXPECT_EQ(layout.GetRemaining().top, 55);

    RECT bottom = layout.TakeBottom(20);
    EXPECT_EQ(bottom.bottom, 120);
    EXPECT_EQ(bottom.top, 100);
    EXPECT_EQ(layout.GetRemaining().bottom, 95);

    RECT right = layout.TakeRight(50);
    EXPECT_EQ(right.right, 210);
    EXPECT_EQ(right.left, 160);
    EXPECT_EQ(right.top, 55);
    EXPECT_EQ(right.bottom, 95);
    EXPECT_EQ(layout.GetRemaining().right, 155);

    layout.Indent(15);
    EXPECT_EQ(layout.GetRemaining().left, 25);

    // Asking for more than is left leaves an empty, not an inverted, rest.
    layout.TakeTop(500);
    EXPECT_EQ(layout.GetRemaining().top, layout.GetRemaining().bottom);
    layout.TakeLeft(500);
    EXPECT_EQ(layout.GetRemaining().left, layout.GetRemaining().right);
}

TEST(PictureFit, KeepsProportionsAndCentres)
{
    struct Case {
        int w, h;
        RECT box;
        RECT want;
    };
    const Case cases[] = {
        {200, 100, {0, 0, 100, 100}, {0, 25, 100, 75}},      // wide picture: full width
        {100, 200, {0, 0, 100, 100}, {25, 0, 75, 100}},      // tall picture: full height
        {50, 50, {10, 10, 110, 210}, {10, 60, 110, 160}},    // small pictures grow to fit
        {300, 300, {0, 0, 100, 100}, {0, 0, 100, 100}},
        {0, 10, {0, 0, 100, 100}, {0, 0, 0, 0}},             // no picture: empty
        {100, 100, {5, 5, 5, 50}, {5, 5, 5, 5}},             // no room: empty
        {60000, 40000, {0, 0, 60000, 60000}, {0, 10000, 60000, 50000}},  // no overflow in the products
    };
    for (const Case& c : cases) {
        RECT r = VLPictureCtrl::FitRect(c.w, c.h, c.box);
        EXPECT_EQ(r.left, c.want.left) << c.w << "x" << c.h;
        EXPECT_EQ(r.top, c.want.top) << c.w << "x" << c.h;
        EXPECT_EQ(r.right, c.want.right) << c.w << "x" << c.h;
        EXPECT_EQ(r.bottom, c.want.bottom) << c.w << "x" << c.h;
    }
}

TEST(TextBox, LineEndsBecomeCarriageReturnLineFeed)
{
    struct Case {
        const wchar_t* in;
        const wchar_t* want;
    };
    const Case cases[] = {
        {L"a\nb", L"a\r\nb"}, {L"a\r\nb", L"a\r\nb"}, {L"a\rb", L"a\r\nb"},
        {L"a\n\nb", L"a\r\n\r\nb"}, {L"a\r\r\nb", L"a\r\n\r\nb"}, {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(VLTextBox::NormaliseLineEnds(c.in).GetString(), c.want);
}

TEST(LayoutUnits, ScaleWithTheDpi)
{
    struct Case {
        int dpi, units, want;
    };
    const Case cases[] = {{96, 500, 500}, {144, 500, 750}, {120, 23, 29}, {192, 8, 16}, {144, 1, 2}};
    for (const Case& c : cases) {
        VLLayoutUnits::SetDpiForTesting(c.dpi);
        EXPECT_EQ(VLLayoutUnits::Scale(c.units), c.want) << c.dpi << " " << c.units;
    }
    VLLayoutUnits::SetDpiForTesting(0);
}

TEST(HeaderMarkup, LongLinesWrapAtSpacesAndKeepWholeWords)
{
    HDC dc = ::GetDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HGDIOBJ old = ::SelectObject(dc, VLLayoutUnits::GetFont());
    SIZE twoWords{};
    ::GetTextExtentPoint32W(dc, L"Click Next", 10, &twoWords);
    auto wrap = [&](const wchar_t* text, int width) {
        std::wstring out;
        for (const VLString& part : VLDialogHeaderCtrl::WrapText(dc, text, width))
            out += std::wstring(part.GetString()) + L"|";
        return out;
    };
    EXPECT_EQ(wrap(L"Click Next to install", twoWords.cx), L"Click Next|to install|");
    EXPECT_EQ(wrap(L"Click Next to install", 100000), L"Click Next to install|");
    EXPECT_EQ(wrap(L"Unbreakable", 1), L"Unbreakable|");  // a word wider than the line stays whole
    EXPECT_EQ(wrap(L"", 100), L"|");
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
}
