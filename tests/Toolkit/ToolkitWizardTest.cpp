// The wizard frame's navigation through real windows: skipping in both
// directions, refusals, pages that remove themselves, finishing, the click
// guard, the chrome, the command codes and the keyboard.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ToolkitTestSupport.h"
#include "VLLayoutUnits.h"
#include "VLWizardPopupWnd.h"

using toolkittest::PumpFor;
using toolkittest::PumpUntil;

namespace {

std::vector<std::wstring> g_log;

class TestPage : public VLWizardPageWnd {
public:
    explicit TestPage(const wchar_t* name) : m_name(name) {}
    bool accept = true;
    bool leaveForwards = true;
    bool leaveBackwards = true;
    bool removeAfterLeaving = false;
    bool nextEnabled = true;
    int created = 0;

    bool AcceptActivation() override
    {
        g_log.push_back(m_name + L"?");
        return accept;
    }
    void OnDeactivate() override { g_log.push_back(m_name + L"-"); }
    void OnCancel() override { g_log.push_back(m_name + L"x"); }
    bool MayLeaveForwards() override { return leaveForwards; }
    bool MayLeaveBackwards() override { return leaveBackwards; }
    bool RemoveAfterLeaving() override { return removeAfterLeaving; }
    bool IsNextEnabled() override { return nextEnabled; }
    VLString GetWindowTitle() override { return VLString(L"Title ") + m_name.c_str(); }
    VLString GetHeaderTitle() override { return VLString(L"Head ") + m_name.c_str(); }
    VLString GetHeaderDescription() override { return m_name == L"D" ? VLString() : VLString(L"About it"); }

protected:
    void OnCreatePage() override { ++created; }

private:
    std::wstring m_name;
};

class WizardFixture : public ::testing::Test {
protected:
    void SetUp() override { g_log.clear(); }
    // Builds pages A, B, C, D and creates the frame (which shows A).
    void Build(int count = 4)
    {
        const wchar_t* names[] = {L"A", L"B", L"C", L"D"};
        for (int i = 0; i < count; ++i) {
            pages.push_back(new TestPage(names[i]));
            wizard.AppendPage(pages.back(), true);
        }
        ASSERT_TRUE(wizard.CreateWizard(nullptr));
        ::ShowWindow(wizard.GetHwnd(), SW_SHOW);
        g_log.clear();
    }
    int Index() const { return wizard.GetCurrentIndex(); }
    void WaitGuard() { PumpFor(static_cast<DWORD>(VLWizardPopupWnd::kClickGuardMilliseconds) + 50); }

    VLWizardPopupWnd wizard;
    std::vector<TestPage*> pages;  // owned by the wizard
};

std::wstring Log()
{
    std::wstring out;
    for (const auto& s : g_log)
        out += s + L" ";
    return out;
}

}  // namespace

TEST_F(WizardFixture, SkipsRefusedPagesInTheDirectionOfTravel)
{
    Build();
    pages[1]->accept = false;
    pages[2]->accept = false;
    wizard.Next();
    EXPECT_EQ(Index(), 3);
    EXPECT_EQ(Log(), L"A- B? C? D? ");
    EXPECT_TRUE(pages[3]->IsVisible());
    EXPECT_FALSE(pages[0]->IsVisible());

    g_log.clear();
    wizard.Back();
    EXPECT_EQ(Index(), 0);
    EXPECT_EQ(Log(), L"D- C? B? A? ");
    // Each page window is created once, even when it is asked again.
    EXPECT_EQ(pages[1]->created, 1);
    EXPECT_EQ(pages[0]->created, 1);
}

TEST_F(WizardFixture, PageThatRefusesToBeLeftKeepsTheWizardWhereItIs)
{
    Build();
    pages[0]->leaveForwards = false;
    EXPECT_FALSE(wizard.GoToPage(1, true));
    EXPECT_EQ(Index(), 0);
    EXPECT_EQ(Log(), L"");  // not even deactivated
    EXPECT_TRUE(pages[0]->IsVisible());

    pages[0]->leaveForwards = true;
    wizard.Next();
    pages[1]->leaveBackwards = false;
    EXPECT_FALSE(wizard.GoToPage(0, true));
    EXPECT_EQ(Index(), 1);
    // The same index, or a negative one, does nothing.
    EXPECT_FALSE(wizard.GoToPage(1, true));
    EXPECT_FALSE(wizard.GoToPage(-1, true));
}

TEST_F(WizardFixture, PageRemovedAfterLeavingInBothDirections)
{
    Build();
    pages[1]->removeAfterLeaving = true;
    wizard.Next();  // A -> B
    wizard.Next();  // B leaves and is removed: C is shown, now at index 1
    EXPECT_EQ(wizard.GetPageCount(), 3);
    EXPECT_EQ(Index(), 1);
    EXPECT_EQ(wizard.GetCurrentPage(), pages[2]);

    pages[2]->removeAfterLeaving = true;
    wizard.Back();  // C removed; back lands on A
    EXPECT_EQ(wizard.GetPageCount(), 2);
    EXPECT_EQ(Index(), 0);
    EXPECT_EQ(wizard.GetCurrentPage(), pages[0]);
}

TEST_F(WizardFixture, MovingPastTheLastPageFinishes)
{
    Build();
    pages[3]->accept = false;
    wizard.GoToPage(2, false);
    EXPECT_STREQ(wizard.GetNextButton().GetText().GetString(), L"Next >");
    wizard.Next();  // D refuses: the end of the list finishes
    EXPECT_EQ(wizard.GetModalResult(), 1);
}

TEST_F(WizardFixture, CancelTellsThePageAndEndsWithTwo)
{
    Build();
    wizard.CancelClicked();
    EXPECT_EQ(Log(), L"Ax A- ");
    EXPECT_EQ(wizard.GetModalResult(), 2);
}

TEST_F(WizardFixture, ChromeFollowsThePage)
{
    Build();
    EXPECT_STREQ(wizard.GetText().GetString(), L"Title A");
    EXPECT_STREQ(wizard.GetHeader().GetMarkup().GetString(), L"<b>Head A</b>\r\n\tAbout it");
    EXPECT_FALSE(wizard.GetBackButton().IsEnabled());  // first page
    EXPECT_TRUE(wizard.GetBackButton().IsVisible());
    EXPECT_STREQ(wizard.GetBackButton().GetText().GetString(), L"< Back");
    EXPECT_STREQ(wizard.GetCancelButton().GetText().GetString(), L"Cancel");

    wizard.GoToPage(3, false);
    EXPECT_STREQ(wizard.GetHeader().GetMarkup().GetString(), L"<b>Head D</b>");  // no description line
    EXPECT_STREQ(wizard.GetNextButton().GetText().GetString(), L"Finish");
    EXPECT_TRUE(wizard.GetBackButton().IsEnabled());

    pages[3]->nextEnabled = false;
    wizard.UpdateChrome();
    EXPECT_FALSE(wizard.GetNextButton().IsEnabled());
    wizard.Next();  // refused by the page's Next-enabled state
    EXPECT_EQ(Index(), 3);
    EXPECT_EQ(wizard.GetModalResult(), VLPopupWnd::kRunning);
}

TEST(WizardSinglePage, BackButtonIsHiddenWithOnePage)
{
    VLWizardPopupWnd wizard;
    TestPage only(L"A");
    wizard.AppendPage(&only);
    ASSERT_TRUE(wizard.CreateWizard(nullptr));
    EXPECT_FALSE(wizard.GetBackButton().IsVisible());
    EXPECT_STREQ(wizard.GetNextButton().GetText().GetString(), L"Finish");
}

TEST_F(WizardFixture, HastyClicksAreIgnoredSoADoubleClickMovesOnePage)
{
    Build();
    WaitGuard();
    HWND next = wizard.GetNextButton().GetHwnd();
    // A double click: two clicks in quick succession on the real button.
    ::SendMessageW(next, BM_CLICK, 0, 0);
    ::SendMessageW(next, BM_CLICK, 0, 0);
    PumpFor(50);
    EXPECT_EQ(Index(), 1);

    WaitGuard();
    ::SendMessageW(wizard.GetBackButton().GetHwnd(), BM_CLICK, 0, 0);
    ::SendMessageW(wizard.GetBackButton().GetHwnd(), BM_CLICK, 0, 0);
    PumpFor(50);
    EXPECT_EQ(Index(), 0);
    // Right after a page change, a click does nothing; the Next operation
    // itself (pages, command code) is not guarded.
    ::SendMessageW(next, BM_CLICK, 0, 0);
    EXPECT_EQ(Index(), 0);
    wizard.Next();
    EXPECT_EQ(Index(), 1);
}

TEST_F(WizardFixture, CommandCodesMoveAndEndTheWizard)
{
    Build();
    HWND hwnd = wizard.GetHwnd();
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(VLWizardPopupWnd::kCommandNext, 0), 0);
    EXPECT_EQ(Index(), 1);
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(VLWizardPopupWnd::kCommandNext, 0), 0);
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(VLWizardPopupWnd::kCommandBack, 0), 0);
    EXPECT_EQ(Index(), 1);
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(VLWizardPopupWnd::kCommandEnd, 0), 7);
    EXPECT_EQ(wizard.GetModalResult(), 7);
}

TEST_F(WizardFixture, KeyboardEnterPressesNextTabMovesFocusEscapeCloses)
{
    Build();
    static VLWizardPopupWnd* s_wizard;
    static std::vector<int> s_seen;
    static HWND s_focusAfterTab;
    s_wizard = &wizard;
    s_seen.clear();
    s_focusAfterTab = nullptr;
    UINT_PTR driver = ::SetTimer(nullptr, 0, 400, [](HWND, UINT, UINT_PTR, DWORD) {
        static int step = 0;
        if (s_wizard->GetModalResult() != VLPopupWnd::kRunning)
            return;
        HWND focus = ::GetFocus();
        switch (step++ % 4) {
        case 0:  // Enter: the default button (Next)
            ::PostMessageW(focus ? focus : s_wizard->GetHwnd(), WM_KEYDOWN, VK_RETURN, 0);
            break;
        case 1:
            s_seen.push_back(s_wizard->GetCurrentIndex());
            s_wizard->GetNextButton().SetFocus();
            ::PostMessageW(s_wizard->GetNextButton().GetHwnd(), WM_KEYDOWN, VK_TAB, 0);
            break;
        case 2:
            s_focusAfterTab = ::GetFocus();
            ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);  // default close request: ends with 2
            break;
        default:
            break;
        }
    });
    int result = wizard.RunModal();
    ::KillTimer(nullptr, driver);
    ASSERT_EQ(s_seen.size(), 1u);
    EXPECT_EQ(s_seen[0], 1);
    EXPECT_EQ(s_focusAfterTab, wizard.GetCancelButton().GetHwnd());
    EXPECT_EQ(result, 2);
}

TEST(WizardSize, FrameScalesWithTheDpi)
{
    VLWizardPopupWnd wizard;
    SIZE at96, at144;
    {
        VLLayoutUnits::SetDpiForTesting(96);
        at96 = wizard.GetPreferredSize();
        VLLayoutUnits::SetDpiForTesting(144);
        at144 = wizard.GetPreferredSize();
        VLLayoutUnits::SetDpiForTesting(0);
    }
    EXPECT_EQ(at96.cx, 516);
    EXPECT_EQ(at144.cx, 774);
    EXPECT_EQ(at96.cy, 415);  // header 60, margins 8 + 8, page 300, button row 39
    EXPECT_EQ(at144.cy, 623);
}
