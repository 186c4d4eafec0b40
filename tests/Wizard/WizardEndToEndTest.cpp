// Setup.exe itself, started from a package and driven through its windows
// by this second process as a user would: clicks, typing, keys, boxes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InstallExitCodes.h"
#include "VLTestAutomation.h"
#include "WizardDriver.h"
#include "WizardTestPackage.h"

using namespace wizardtest;

namespace {

const std::wstring kPackage = L"C:\\VLWizardEndToEnd\\";
const wchar_t kTitle[] = L"Auralis 22 - Install Wizard";
const wchar_t kDefaultFolder[] = L"C:\\Program Files\\Velmora Group\\Auralis 22\\";

bool OnPage(const std::wstring& header, const wchar_t* title)
{
    std::wstring start = std::wstring(L"<b>") + title + L"</b>";
    return header.compare(0, start.size(), start) == 0;
}

bool PastDestination(const std::wstring& header)
{
    for (const wchar_t* title : {L"Installing Dependencies", L"Copying Files", L"Installing Plugins",
                                 L"Create Shortcuts", L"Install Complete"}) {
        if (OnPage(header, title))
            return true;
    }
    return false;
}

class WizardEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // Feature 173 (portable offered); no file association page.
        ASSERT_TRUE(MakePackage(kPackage, "173"));
        ASSERT_TRUE(::CopyFileW(BuildPath(L"Install\\App\\Setup.exe").c_str(), (kPackage + L"Setup.exe").c_str(),
                                FALSE));
    }
    static void TearDownTestSuite()
    {
        CleanRegistry();
        DeleteTree(kPackage);
    }
    void SetUp() override
    {
        CleanRegistry();
        DeleteTree(kDefaultFolder);
    }
    void TearDown() override
    {
        if (process.IsRunning())
            process.Kill();
    }

    // Starts Setup.exe and returns its wizard window (null on failure).
    HWND Start(const wchar_t* arguments = L"")
    {
        if (!process.Start(kPackage + L"Setup.exe", arguments))
            return nullptr;
        return WaitForWizard(process.Id(), 20000);
    }
    DWORD ExitCode(DWORD timeoutMs = 60000)
    {
        DWORD code = 0xFFFFFFFF;
        if (!process.Wait(timeoutMs, code))
            return 0xFFFFFFFE;
        return code;
    }
    bool ToDestinationPage(HWND w)
    {
        if (!(WaitForPage(w, L"Welcome") && Click(w, L"Accept") && WaitForPage(w, L"Setup Type") &&
              Click(w, L"Custom") && Click(w, L"Next >")))
            return false;
        for (int i = 0; i < 200 && !FindButton(w, L"Portable install"); ++i)
            ::Sleep(25);
        ::Sleep(400);
        return Click(w, L"Next >") && WaitForPage(w, L"Destination Folder");
    }
    bool WaitForCopyStep(HWND w, DWORD timeoutMs = 30000)
    {
        ULONGLONG until = ::GetTickCount64() + timeoutMs;
        while (!PastDestination(Header(w))) {
            if (::GetTickCount64() > until || !process.IsRunning())
                return false;
            ::Sleep(20);
        }
        return true;
    }
    // Cancels from the destination page (or any page before the copy step).
    DWORD CancelFromPage(HWND w)
    {
        PressKey(w, VK_ESCAPE);
        if (!AnswerBox(process.Id(), L"Confirm Cancellation", L"Yes"))
            return 0xFFFFFFFD;
        return ExitCode();
    }

    vltest::TestProcess process;
};

}  // namespace

TEST_F(WizardEndToEnd, PlainRunAcceptCustomNormalTypedFolderToTheEnd)
{
    HWND w = Start();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(ToDestinationPage(w));
    EXPECT_EQ(Caption(w), kTitle);
    EXPECT_EQ(FolderText(w), kDefaultFolder);
    ASSERT_TRUE(TypeFolder(w, L"C:\\VLWizardEndToEnd Target\\Auralis"));
    ASSERT_TRUE(Click(w, L"Next >"));
    ASSERT_TRUE(WaitForCopyStep(w));
    // The copy step moves on by itself; the shortcuts and finish pages follow.
    // Without feature 176 the shortcuts page has index 5; it is past the copy
    // step, so the close request is refused.
    ASSERT_TRUE(WaitForPage(w, L"Create Shortcuts", 60000));
    EXPECT_FALSE(IsEnabled(FindButton(w, L"Cancel")));
    PressKey(w, VK_ESCAPE);
    EXPECT_TRUE(AnswerBox(process.Id(), L"Cancel Unavailable", L"OK"));
    ::Sleep(400);
    ASSERT_TRUE(Click(w, L"Next >"));
    ASSERT_TRUE(WaitForPage(w, L"Install Complete", 30000));
    ASSERT_TRUE(Click(w, L"Finish"));
    DWORD code = ExitCode();
    EXPECT_TRUE(code == kExitInstalled || code == kExitRestartRequired) << code;
    EXPECT_NE(::GetFileAttributesW(L"C:\\VLWizardEndToEnd Target\\Auralis"), INVALID_FILE_ATTRIBUTES);
    DeleteTree(L"C:\\VLWizardEndToEnd Target\\");
}

TEST_F(WizardEndToEnd, SilentAndUpgradeRunsAdvanceByThemselves)
{
    SetSetting(HKEY_LOCAL_MACHINE, L"Installer", L"Run Auto Install", 1);  // never counts down here
    for (const wchar_t* switches : {L"/Silent", L"/Upgrade"}) {
        CleanRegistry();
        SetSetting(HKEY_LOCAL_MACHINE, L"Installer", L"Run Auto Install", 1);
        HWND w = Start(switches);
        ASSERT_NE(w, nullptr) << switches;
        std::vector<std::wstring> headers;
        bool countdown = false;
        while (process.IsRunning() && ::IsWindow(w)) {
            std::wstring h = Header(w);
            if (!h.empty() && (headers.empty() || headers.back() != h))
                headers.push_back(h);
            countdown = countdown || Caption(w).find(L"Auto Install in") != std::wstring::npos;
            ::Sleep(20);
        }
        DWORD code = ExitCode();
        EXPECT_TRUE(code == kExitInstalled || code == kExitRestartRequired) << code;
        EXPECT_FALSE(countdown);
        ASSERT_FALSE(headers.empty());
        for (const std::wstring& h : headers)  // no question was asked on the way
            EXPECT_TRUE(OnPage(h, L"Welcome") || PastDestination(h)) << switches;
        EXPECT_NE(::GetFileAttributesW(kDefaultFolder), INVALID_FILE_ATTRIBUTES) << switches;
    }
}

TEST_F(WizardEndToEnd, ExpressShowsTheDestinationPageWhenItsDefaultFails)
{
    SetSetting(HKEY_CURRENT_USER, L"Installer", L"Install Directory", L"C:\\");
    HWND w = Start();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitForPage(w, L"Welcome") && Click(w, L"Accept") && WaitForPage(w, L"Setup Type"));
    ASSERT_TRUE(Click(w, L"Next >"));  // Express
    std::wstring text;
    ASSERT_TRUE(AnswerBox(process.Id(), L"Invalid Destination Folder", L"OK", &text));
    EXPECT_EQ(text, L"Auralis can not be installed to the root of a drive.\r\n\r\nPlease enter a new destination "
                    L"folder.");
    ASSERT_TRUE(WaitForPage(w, L"Destination Folder"));
    EXPECT_EQ(FolderText(w), L"C:\\");
    ASSERT_TRUE(TypeFolder(w, L"C:\\VLWizardEndToEnd Target\\Express"));
    ASSERT_TRUE(Click(w, L"Next >"));
    ASSERT_TRUE(WaitForCopyStep(w));
    // Express ended: the shortcuts page is shown as in a custom setup.
    EXPECT_TRUE(WaitForPage(w, L"Create Shortcuts", 60000));
    process.Kill();
    DeleteTree(L"C:\\VLWizardEndToEnd Target\\");
}

TEST_F(WizardEndToEnd, CountdownShowsInTheCaptionAndEndsInNext)
{
    SetSetting(HKEY_LOCAL_MACHINE, L"Installer", L"Run Auto Install", 1);
    HWND w = Start();
    ASSERT_NE(w, nullptr);
    std::vector<std::wstring> captions;
    ULONGLONG until = ::GetTickCount64() + 45000;
    bool reached = false;
    while (::GetTickCount64() < until && process.IsRunning()) {
        std::wstring c = Caption(w);
        if (captions.empty() || captions.back() != c)
            captions.push_back(c);
        if (PastDestination(Header(w))) {
            reached = true;
            break;
        }
        ::Sleep(100);
    }
    EXPECT_TRUE(reached);
    auto seen = [&](const wchar_t* c) { return std::find(captions.begin(), captions.end(), c) != captions.end(); };
    EXPECT_TRUE(seen(L"Auralis 22 - Install Wizard (Auto Install in 30 seconds)"));
    EXPECT_TRUE(seen(L"Auralis 22 - Install Wizard (Auto Install in 15 seconds)"));
    EXPECT_TRUE(seen(L"Auralis 22 - Install Wizard (Auto Install in 2 seconds)"));  // the tick of 1 races the 30 s timer
    EXPECT_EQ(Caption(w), kTitle);
}

TEST_F(WizardEndToEnd, EscapeOnTheDestinationPageNoThenYes)
{
    HWND w = Start();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(ToDestinationPage(w));
    PressKey(w, VK_ESCAPE);
    std::wstring question;
    ASSERT_TRUE(AnswerBox(process.Id(), L"Confirm Cancellation", L"No", &question));
    EXPECT_EQ(question, L"Are you sure you want to cancel Auralis 22 installation?");
    ::Sleep(300);
    EXPECT_TRUE(process.IsRunning());
    EXPECT_TRUE(OnPage(Header(w), L"Destination Folder"));
    EXPECT_EQ(CancelFromPage(w), static_cast<DWORD>(kExitUserCancelled));
}

TEST_F(WizardEndToEnd, DoubleClickOnNextMovesOnePage)
{
    HWND w = Start();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitForPage(w, L"Welcome"));
    HWND accept = FindButton(w, L"Accept");
    ASSERT_NE(accept, nullptr);
    ::PostMessageW(accept, BM_CLICK, 0, 0);
    ::PostMessageW(accept, BM_CLICK, 0, 0);
    ::Sleep(800);
    EXPECT_TRUE(OnPage(Header(w), L"Setup Type"));
    EXPECT_NE(FindButton(w, L"Express"), nullptr);  // the setup-type page, not the one after
    EXPECT_EQ(CancelFromPage(w), static_cast<DWORD>(kExitUserCancelled));
}

TEST_F(WizardEndToEnd, EachDestinationCheckShowsItsBox)
{
    AddUninstallRecord(L"Auralis 21", L"Velmora Labs, Inc.", L"C:\\Media\\Auralis 21");
    ULARGE_INTEGER available{};
    bool smallDrive = ::GetDiskFreeSpaceExW(L"S:\\", &available, nullptr, nullptr) &&
                      available.QuadPart < 30ull * 1048576;
    struct Case {
        const wchar_t* typed;
        const wchar_t* caption;
        const wchar_t* text;
    };
    std::vector<Case> cases = {
        {L"C:\\", L"Invalid Destination Folder",
         L"Auralis can not be installed to the root of a drive.\r\n\r\nPlease enter a new destination folder."},
        {L"C:\\Windows\\Auralis\\", L"Invalid Destination Folder",
         L"Auralis can not be installed in the Windows folder.\r\n\r\nPlease enter a new destination folder."},
        {L"C:\\Media\\", L"Invalid Destination Folder",
         L"Auralis can not be installed where a pre-existing program is installed.\r\n\r\n"
         L"Please enter a new destination folder."},
        {L"Auralis", L"Error", L"Failed to create Auralis directory."},
    };
    if (smallDrive)
        cases.push_back({L"S:\\Auralis 22\\", L"Insufficient Disk Space",
                         L"There is not enough free space on this drive to install Auralis 22.\r\n\r\n"
                         L"Auralis 22 installation requires at least 20 MB of free disk space.\r\n\r\n"
                         L"Please select a different drive or free more space on the selected drive."});
    HWND w = Start();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(ToDestinationPage(w));
    for (const Case& c : cases) {
        ASSERT_TRUE(TypeFolder(w, c.typed));
        ASSERT_TRUE(Click(w, L"Next >"));
        std::wstring text;
        EXPECT_TRUE(AnswerBox(process.Id(), c.caption, L"OK", &text)) << c.typed;
        EXPECT_EQ(text, c.text);
        ::Sleep(300);
        EXPECT_TRUE(OnPage(Header(w), L"Destination Folder"));
    }
    EXPECT_EQ(CancelFromPage(w), static_cast<DWORD>(kExitUserCancelled));
    if (!smallDrive)
        GTEST_SKIP() << "no small drive S: (mounting a 25 MB file system needs the right to mount): the "
                        "free-space box was not checked through Setup.exe";
}

TEST_F(WizardEndToEnd, WithoutFeature173CustomGoesStraightToTheDestinationPage)
{
    const std::wstring package = L"C:\\VLWizardEndToEnd Plain\\";
    ASSERT_TRUE(MakePackage(package, "176"));
    ASSERT_TRUE(::CopyFileW(BuildPath(L"Install\\App\\Setup.exe").c_str(), (package + L"Setup.exe").c_str(), FALSE));
    ASSERT_TRUE(process.Start(package + L"Setup.exe", L""));
    HWND w = WaitForWizard(process.Id(), 20000);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitForPage(w, L"Welcome") && Click(w, L"Accept") && WaitForPage(w, L"Setup Type"));
    ASSERT_TRUE(Click(w, L"Custom") && Click(w, L"Next >"));
    EXPECT_TRUE(WaitForPage(w, L"Destination Folder"));
    EXPECT_EQ(FindButton(w, L"Portable install"), nullptr);
    EXPECT_EQ(FolderText(w), kDefaultFolder);  // not portable: the default stands
    EXPECT_EQ(CancelFromPage(w), static_cast<DWORD>(kExitUserCancelled));
    DeleteTree(package);
}
