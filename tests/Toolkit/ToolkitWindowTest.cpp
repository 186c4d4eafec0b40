// Real windows and controls of the toolkit under Wine: message routing,
// click callbacks, radio groups, timers, the modal loop, GDI+ pictures.
#include <gtest/gtest.h>

#include <objidl.h>
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ToolkitTestSupport.h"
#include "VLButton.h"
#include "VLHandle.h"
#include "VLTestAutomation.h"
#include "VLFolderNameCtrl.h"
#include "VLLayoutUnits.h"
#include "VLPictureCtrl.h"
#include "VLPopupWnd.h"
#include "VLProgressBar.h"
#include "VLStaticText.h"
#include "VLTextBox.h"

using toolkittest::PumpFor;
using toolkittest::PumpUntil;

namespace {

// A pop-up that records what reached OnMessage and hosts some controls.
class ProbePopup : public VLPopupWnd {
public:
    std::vector<UINT> messages;
    std::vector<UINT_PTR> timers;
    int closeRequests = 0;
    bool endOnClose = true;
    HWND hwndAtCreate = nullptr;

protected:
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        messages.push_back(msg);
        return VLPopupWnd::OnMessage(msg, wParam, lParam, result);
    }
    void OnCreate() override { hwndAtCreate = m_hwnd; }
    void OnTimer(UINT_PTR id) override { timers.push_back(id); }
    void OnCloseRequest() override
    {
        ++closeRequests;
        if (endOnClose)
            EndModal(2);
    }
};

bool Seen(const std::vector<UINT>& messages, UINT msg)
{
    return std::find(messages.begin(), messages.end(), msg) != messages.end();
}

VLControl::CreateArgs Args(HWND parent, const wchar_t* text, RECT rect, UINT id)
{
    VLControl::CreateArgs a;
    a.parent = parent;
    a.text = text;
    a.rect = rect;
    a.id = id;
    return a;
}

// Writes a PNG of the given size with GDI+ itself.
bool WritePng(const wchar_t* path, int width, int height)
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return false;
    bool ok = false;
    {
        Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
        UINT count = 0, size = 0;
        Gdiplus::GetImageEncodersSize(&count, &size);
        std::vector<BYTE> buffer(size);
        auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
        Gdiplus::GetImageEncoders(count, size, encoders);
        for (UINT i = 0; i < count; ++i) {
            if (wcscmp(encoders[i].MimeType, L"image/png") == 0)
                ok = bitmap.Save(path, &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return ok;
}

std::wstring TempPath(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

}  // namespace

TEST(ToolkitWindow, LearnsItsHandleBeforeCreationAndRoutesEarlyMessages)
{
    ProbePopup popup;
    ASSERT_TRUE(popup.CreatePopup(L"Probe", 300, 200, nullptr));
    // OnCreate already saw the handle; non-client messages before WM_CREATE
    // reached the object too.
    EXPECT_EQ(popup.hwndAtCreate, popup.GetHwnd());
    EXPECT_TRUE(Seen(popup.messages, WM_NCCREATE));
    EXPECT_TRUE(Seen(popup.messages, WM_NCCALCSIZE));
    EXPECT_EQ(VLWnd::FromHwnd(popup.GetHwnd()), &popup);

    RECT client;
    ::GetClientRect(popup.GetHwnd(), &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);

    HWND hwnd = popup.GetHwnd();
    popup.Destroy();
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(popup.GetHwnd(), nullptr);
}

TEST(ToolkitWindow, ClicksReachCallbacksAndRadioButtonsExcludeEachOther)
{
    ProbePopup popup;
    ASSERT_TRUE(popup.CreatePopup(L"Controls", 400, 300, nullptr));
    HWND parent = popup.GetHwnd();
    VLButton push;
    VLCheckBox check;
    VLRadioButton first, second, otherGroup;
    ASSERT_TRUE(push.Create(Args(parent, L"Push", {10, 10, 110, 33}, 10)));
    ASSERT_TRUE(check.Create(Args(parent, L"Check", {10, 40, 200, 57}, 11)));
    ASSERT_TRUE(first.Create(Args(parent, L"First", {10, 60, 200, 77}, 12), true));
    ASSERT_TRUE(second.Create(Args(parent, L"Second", {10, 80, 200, 97}, 13), false));
    ASSERT_TRUE(otherGroup.Create(Args(parent, L"Other", {10, 100, 200, 117}, 14), true));
    ::ShowWindow(parent, SW_SHOW);

    int pushes = 0, checks = 0;
    push.SetOnClick([&] { ++pushes; });
    check.SetOnClick([&] { ++checks; });

    ::SendMessageW(push.GetHwnd(), BM_CLICK, 0, 0);
    ::SendMessageW(check.GetHwnd(), BM_CLICK, 0, 0);
    PumpFor(50);
    EXPECT_EQ(pushes, 1);
    EXPECT_EQ(checks, 1);
    EXPECT_TRUE(check.IsChecked());  // the automatic check box toggled itself

    first.SetChecked(true);
    otherGroup.SetChecked(true);
    second.SetChecked(true);
    EXPECT_FALSE(first.IsChecked());
    EXPECT_TRUE(second.IsChecked());
    EXPECT_TRUE(otherGroup.IsChecked());  // another group is not touched

    ::SendMessageW(first.GetHwnd(), BM_CLICK, 0, 0);
    PumpFor(20);
    EXPECT_TRUE(first.IsChecked());
    EXPECT_FALSE(second.IsChecked());

    // A control destroyed with its parent leaves an object that no longer
    // claims the (possibly reused) handle.
    popup.Destroy();
    EXPECT_EQ(VLControl::FromHwnd(push.GetHwnd()), nullptr);
}

TEST(ToolkitWindow, TextControlsKeepWhatTheyAreGiven)
{
    ProbePopup popup;
    ASSERT_TRUE(popup.CreatePopup(L"Texts", 400, 300, nullptr));
    HWND parent = popup.GetHwnd();
    VLStaticText label;
    VLTextBox box;
    VLFolderNameCtrl folder;
    VLProgressBar progress;
    ASSERT_TRUE(label.Create(Args(parent, L"Label", {10, 10, 200, 30}, 1), true));
    ASSERT_TRUE(box.Create(Args(parent, L"line 1\nline 2", {10, 40, 300, 120}, 2)));
    ASSERT_TRUE(folder.Create(parent, {10, 130, 390, 153}, 3, L"Change", L"Choose"));
    ASSERT_TRUE(progress.Create(Args(parent, L"", {10, 160, 390, 180}, 4)));

    EXPECT_STREQ(box.GetText().GetString(), L"line 1\r\nline 2");
    EXPECT_EQ(::SendMessageW(box.GetHwnd(), EM_GETLINECOUNT, 0, 0), 2);
    EXPECT_TRUE(::GetWindowLongW(box.GetHwnd(), GWL_STYLE) & ES_READONLY);

    folder.SetPath(L"C:\\Program Files\\Velmora Group\\");
    EXPECT_STREQ(folder.GetPath().GetString(), L"C:\\Program Files\\Velmora Group\\");
    EXPECT_STREQ(folder.GetButton().GetText().GetString(), L"Change");
    // The field and the button share the control's width without overlap.
    RECT edit, button;
    ::GetWindowRect(folder.GetEdit().GetHwnd(), &edit);
    ::GetWindowRect(folder.GetButton().GetHwnd(), &button);
    EXPECT_LT(edit.right, button.left);
    EXPECT_GE(button.right - button.left, VLLayoutUnits::Scale(75));

    progress.SetRange(1000);
    progress.SetPosition(250);
    EXPECT_EQ(progress.GetPosition(), 250);
}

TEST(ToolkitWindow, TimersAndTheModalLoopEndWithTheGivenResult)
{
    ProbePopup popup;
    ASSERT_TRUE(popup.CreatePopup(L"Modal", 200, 100, nullptr));
    ASSERT_TRUE(popup.SetTimer(7, 20));
    // A one-shot thread timer ends the loop from inside it.
    static ProbePopup* s_popup = nullptr;
    s_popup = &popup;
    UINT_PTR ender = ::SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        s_popup->EndModal(42);
    });
    int result = popup.RunModal();
    ::KillTimer(nullptr, ender);
    EXPECT_EQ(result, 42);
    EXPECT_GE(std::count(popup.timers.begin(), popup.timers.end(), UINT_PTR(7)), 2);
    EXPECT_FALSE(::IsWindowVisible(popup.GetHwnd()));
}

TEST(ToolkitWindow, EscapeAndAltF4GoThroughTheCloseRequest)
{
    ProbePopup popup;
    ASSERT_TRUE(popup.CreatePopup(L"Close", 200, 100, nullptr));
    VLButton button;
    ASSERT_TRUE(button.Create(Args(popup.GetHwnd(), L"Focus", {10, 10, 100, 33}, 5)));
    popup.endOnClose = false;
    static ProbePopup* s_popup = nullptr;
    static HWND s_button = nullptr;
    s_popup = &popup;
    s_button = button.GetHwnd();
    // Escape on the focused control, then the system close command, then end.
    UINT_PTR driver = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
        static int step = 0;
        switch (step++) {
        case 0:
            ::SetFocus(s_button);
            ::PostMessageW(s_button, WM_KEYDOWN, VK_ESCAPE, 0);
            break;
        case 1:
            ::PostMessageW(s_popup->GetHwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        default:
            s_popup->EndModal(9);
            break;
        }
    });
    int result = popup.RunModal();
    ::KillTimer(nullptr, driver);
    EXPECT_EQ(result, 9);
    EXPECT_EQ(popup.closeRequests, 2);
}

TEST(ToolkitWindow, PictureControlDecodesPngAndRefusesOtherFiles)
{
    std::wstring png = TempPath(L"vl-toolkit-picture.png");
    ASSERT_TRUE(WritePng(png.c_str(), 64, 32));
    std::wstring notPicture = TempPath(L"vl-toolkit-not-picture.png");
    HANDLE f = ::CreateFileW(notPicture.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(f, "not a picture", 13, &written, nullptr);
    ::CloseHandle(f);

    ProbePopup popup;
    ASSERT_TRUE(popup.CreatePopup(L"Picture", 200, 200, nullptr));
    VLPictureCtrl picture;
    ASSERT_TRUE(picture.Create(popup.GetHwnd(), {0, 0, 200, 200}, 1));
    ASSERT_TRUE(picture.LoadPicture(png.c_str()));
    EXPECT_EQ(picture.GetPictureSize().cx, 64);
    EXPECT_EQ(picture.GetPictureSize().cy, 32);
    // The picture was copied: the file can go while it is shown.
    EXPECT_TRUE(::DeleteFileW(png.c_str()));
    ::ShowWindow(popup.GetHwnd(), SW_SHOW);
    ::UpdateWindow(popup.GetHwnd());

    EXPECT_FALSE(picture.LoadPicture(notPicture.c_str()));
    EXPECT_FALSE(picture.HasPicture());
    EXPECT_FALSE(picture.LoadPicture(L"C:\\no\\such\\picture.jpg"));
    ::DeleteFileW(notPicture.c_str());
}

TEST(ToolkitWindow, ChangeOpensTheSystemFolderChooserAndCancelKeepsThePath)
{
    VLComInit com;
    ProbePopup popup;
    ASSERT_TRUE(popup.CreatePopup(L"Folder", 400, 100, nullptr));
    VLFolderNameCtrl folder;
    ASSERT_TRUE(folder.Create(popup.GetHwnd(), {10, 10, 390, 33}, 1, L"Change", L"Install to:"));
    folder.SetPath(L"C:\\windows\\");
    ::ShowWindow(popup.GetHwnd(), SW_SHOW);

    HWND chooser = nullptr;
    std::wstring caption;
    std::thread user([&] {
        chooser = vltest::WaitForWindowOf(::GetCurrentProcessId(), L"#32770", 20000);
        if (!chooser)
            return;
        ::Sleep(500);
        caption = vltest::WindowText(chooser);
        vltest::CancelDialog(chooser);
    });
    // The button's click runs the chooser modally on this thread.
    ::SendMessageW(folder.GetButton().GetHwnd(), BM_CLICK, 0, 0);
    user.join();
    ASSERT_NE(chooser, nullptr) << "no folder chooser appeared";
    EXPECT_EQ(caption, L"Install to:");
    EXPECT_STREQ(folder.GetPath().GetString(), L"C:\\windows\\");
}
