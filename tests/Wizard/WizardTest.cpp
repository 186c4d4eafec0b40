// The install wizard in this process with the real product tools module:
// the rules of the first pages as tables, and whole runs through the real
// windows, driven from a second thread as a user would drive them.
#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

#include "CInstallWizard.h"
#include "CLicensePpg.h"
#include "CSelectPathPpg.h"
#include "CWizardServices.h"
#include "VLLayoutUnits.h"
#include "VLTestAutomation.h"
#include "WizardDriver.h"
#include "WizardTestPackage.h"

using namespace wizardtest;

namespace {

const std::wstring kPackage = L"C:\\VLWizardTest\\";
const wchar_t kTitle[] = L"Auralis 22 - Install Wizard";

class WizardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        VLLayoutUnits::EnableDpiAwareness();
        s_com = ::OleInitialize(nullptr);
        ASSERT_TRUE(MakePackage(kPackage, "173;176"));
        s_module = ::LoadLibraryW((kPackage + L"Quenbox\\NuvicoreTools.dll").c_str());
        ASSERT_NE(s_module, nullptr);
        auto entry = reinterpret_cast<VLGetToolsFn>(
            reinterpret_cast<void*>(::GetProcAddress(s_module, kVLToolsEntryName)));
        ASSERT_NE(entry, nullptr);
        s_tools = entry(kVLToolsInterfaceVersion);
        ASSERT_NE(s_tools, nullptr);
        struct : IVLTextSink {
            void Set(const wchar_t*, int) override {}
        } error;
        ASSERT_TRUE(s_tools->LoadProduct(L"", error));
    }
    static void TearDownTestSuite()
    {
        if (s_tools)
            s_tools->Detach(::GetModuleHandleW(nullptr));
        if (s_module)
            ::FreeLibrary(s_module);
        CleanRegistry();
        DeleteTree(kPackage);
        if (SUCCEEDED(s_com))
            ::OleUninitialize();
    }
    void SetUp() override { CleanRegistry(); }

    // Runs the wizard modally; `script` drives it from another thread with
    // the wizard's window. Whatever the script leaves running is ended with 99.
    int Run(const std::function<void(HWND)>& script)
    {
        CWizardServices services(s_tools, kPackage);
        CInstallWizard wizard(services, options);
        EXPECT_TRUE(wizard.Create());
        HWND hwnd = wizard.GetHwnd();
        std::thread driver([&] {
            script(hwnd);
            ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(VLWizardPopupWnd::kCommandEnd, 0), 99);
        });
        int result = wizard.Run();
        driver.join();
        return result;
    }

    // Licence -> Setup Type (Custom) -> Normal -> Destination page.
    static bool ToDestinationPage(HWND w)
    {
        return WaitForPage(w, L"Welcome") && Click(w, L"Accept") && WaitForPage(w, L"Setup Type") &&
               Click(w, L"Custom") && Click(w, L"Next >") && WaitForButton(w, L"Portable install") &&
               Click(w, L"Next >") && WaitForPage(w, L"Destination Folder");
    }
    static bool WaitForButton(HWND w, const wchar_t* text)
    {
        for (int i = 0; i < 200 && !FindButton(w, text); ++i)
            ::Sleep(25);
        ::Sleep(400);
        return FindButton(w, text) != nullptr;
    }

    InstallOptionsData options;
    static HRESULT s_com;
    static HMODULE s_module;
    static IVLTools* s_tools;
};

HRESULT WizardTest::s_com = E_FAIL;
HMODULE WizardTest::s_module = nullptr;
IVLTools* WizardTest::s_tools = nullptr;

const DWORD kPid = ::GetCurrentProcessId();

// The header markup begins with this text.
bool OnPage(const std::wstring& header, const wchar_t* start)
{
    return wcsncmp(header.c_str(), start, wcslen(start)) == 0;
}

// The copy step has started: its page or one of the pages after it shows.
bool PastDestination(const std::wstring& header)
{
    for (const wchar_t* title : {L"<b>Installing Dependencies</b>", L"<b>Copying Files</b>", L"<b>Installing Plugins</b>",
                                 L"<b>File Associations</b>", L"<b>Create Shortcuts</b>", L"<b>Install Complete</b>"}) {
        if (OnPage(header, title))
            return true;
    }
    return false;
}

bool WaitForCopyStep(HWND w, DWORD timeoutMs = 15000)
{
    ULONGLONG until = ::GetTickCount64() + timeoutMs;
    while (!PastDestination(Header(w))) {
        if (::GetTickCount64() > until || !::IsWindowVisible(w))
            return false;
        ::Sleep(20);
    }
    return true;
}

}  // namespace

// --- rules --------------------------------------------------------------

TEST_F(WizardTest, DetectionFindsThisProductsRecordAndTheFamilysLocations)
{
    struct Record {
        const wchar_t* name;
        const wchar_t* publisher;
        const wchar_t* location;
    };
    struct Case {
        const char* why;
        std::vector<Record> records;
        bool existing;
        const wchar_t* key;
        std::vector<std::wstring> locations;
    };
    const Case cases[] = {
        {"own record and a family record",
         {{L"Auralis 22", L"Velmora, Inc.", L"C:\\Program Files\\Velmora Group\\Auralis 22"},
          {L"Auralis 21", L"Velmora Labs, Inc.", L"C:\\Media\\Auralis 21"}},
         true, L"Auralis 22", {L"C:\\Media\\Auralis 21\\"}},
        {"same name in other case is family, not ours",
         {{L"AURALIS 22", L"velmora, inc.", nullptr}}, false, L"Auralis 22 (1)", {L""}},
        {"numbered names already taken",
         {{L"AURALIS 22", L"Velmora, Inc.", nullptr}, {L"Auralis 22 (1)", L"Velmora, Inc.", L"D:\\A"}},
         false, L"Auralis 22 (2)", {L"", L"D:\\A\\"}},
        {"another publisher is ignored",
         {{L"Auralis 22", L"Someone Else", L"C:\\X"}}, false, L"Auralis 22", {}},
        {"names outside the family are ignored",
         {{L"Other Auralis 22", L"Velmora, Inc.", L"C:\\Y"}}, false, L"Auralis 22", {}},
    };
    CWizardServices services(s_tools, kPackage);
    for (const Case& c : cases) {
        CleanRegistry();
        for (const Record& r : c.records)
            AddUninstallRecord(r.name, r.publisher, r.location);
        InstallOptionsData o;
        CSelectPathPpg::DetectExistingInstallation(services, o);
        EXPECT_EQ(o.ExistingInstall, c.existing) << c.why;
        EXPECT_STREQ(o.ExistingUninstallKey.GetString(), c.key) << c.why;
        ASSERT_EQ(o.PreviousLocations.GetCount(), static_cast<int>(c.locations.size())) << c.why;
        for (size_t i = 0; i < c.locations.size(); ++i)
            EXPECT_STREQ(o.PreviousLocations[static_cast<int>(i)].GetString(), c.locations[i].c_str()) << c.why;
    }
}

TEST_F(WizardTest, DefaultFolderTakesTheFirstRuleThatGivesOne)
{
    CWizardServices services(s_tools, kPackage);
    InstallOptionsData o;
    EXPECT_STREQ(CSelectPathPpg::ComputeDefaultFolder(services, o).GetString(),
                 L"C:\\Program Files\\Velmora Group\\Auralis 22\\");
    SetSetting(HKEY_CURRENT_USER, L"Installer", L"Install Directory", L"D:\\Last Time");
    EXPECT_STREQ(CSelectPathPpg::ComputeDefaultFolder(services, o).GetString(), L"D:\\Last Time\\");
    o.Portable = true;  // a portable copy has no default
    EXPECT_TRUE(CSelectPathPpg::ComputeDefaultFolder(services, o).IsEmpty());
}

TEST_F(WizardTest, DestinationChecksRunInOrder)
{
    struct Case {
        const wchar_t* path;
        CSelectPathPpg::Problem want;
    };
    using P = CSelectPathPpg::Problem;
    const Case cases[] = {
        {L"", P::Empty},
        {L"C:\\", P::DriveRoot},
        {L"C:\\\\", P::DriveRoot},
        {L"\\\\server\\share\\", P::DriveRoot},
        {L"C:\\Windows\\Auralis\\", P::WindowsFolder},
        {L"c:\\windows\\", P::WindowsFolder},
        {L"C:\\WindowsApps\\VLWizardTest\\", P::None},  // not the Windows folder
        {L"C:\\Media\\", P::PreviousLocation},        // a family installation lies below
        {L"c:\\media\\auralis 21\\", P::PreviousLocation},
        {L"C:\\Media\\Auralis 22\\", P::None},
        {L"Auralis\\", P::CannotCreate},  // only absolute paths are created
        {L"C:\\VLWizardTest\\license.txt\\", P::CannotCreate},  // a file is in the way
    };
    VLStringArray previous;
    previous.Add(L"C:\\Media\\Auralis 21\\");
    CSelectPathPpg::CheckEnvironment environment = CSelectPathPpg::MachineEnvironment(previous);
    EXPECT_STREQ(environment.windowsFolder.GetString(), L"C:\\windows\\");
    for (const Case& c : cases)
        EXPECT_EQ(static_cast<int>(CSelectPathPpg::CheckDestination(c.path, environment)), static_cast<int>(c.want))
            << VLString(c.path).ToUtf8();
    // A folder that passes exists afterwards, parents included.
    EXPECT_NE(::GetFileAttributesW(L"C:\\Media\\Auralis 22"), INVALID_FILE_ATTRIBUTES);
    DeleteTree(L"C:\\Media\\");
    DeleteTree(L"C:\\WindowsApps\\");
}

TEST_F(WizardTest, FreeSpaceCheckNeedsThirtyWholeMegabytesAndSkipsWhatItCannotMeasure)
{
    struct Case {
        const wchar_t* path;
        bool known;
        ULONGLONG free;
        CSelectPathPpg::Problem want;
        const wchar_t* askedRoot;
    };
    using P = CSelectPathPpg::Problem;
    const ULONGLONG MB = 1048576;
    const Case cases[] = {
        {L"S:\\Auralis\\", true, 25 * MB, P::LowDiskSpace, L"S:\\"},  // although the message says 20 MB
        {L"S:\\Auralis\\", true, 30 * MB - 1, P::LowDiskSpace, L"S:\\"},
        {L"S:\\Auralis\\", true, 30 * MB, P::None, L"S:\\"},
        {L"S:\\Auralis\\", false, 0, P::None, L"S:\\"},  // unknown free space passes
        {L"\\\\server\\share\\Auralis\\", true, 1, P::LowDiskSpace, L"\\\\server\\share\\"},
        {L"Auralis\\", true, 1, P::None, L""},  // no drive part: not asked
    };
    for (const Case& c : cases) {
        std::wstring asked;
        CSelectPathPpg::CheckEnvironment environment;
        environment.ensureDirectory = [](const VLString&) { return true; };
        environment.freeSpace = [&](const VLString& root, ULONGLONG& available) {
            asked = root.GetString();
            available = c.free;
            return c.known;
        };
        EXPECT_EQ(static_cast<int>(CSelectPathPpg::CheckDestination(c.path, environment)), static_cast<int>(c.want))
            << VLString(c.path).ToUtf8() << " " << c.free;
        EXPECT_EQ(asked, c.askedRoot) << VLString(c.path).ToUtf8();
    }
}

TEST_F(WizardTest, LicenceTextIsDecodedByItsEncoding)
{
    struct Case {
        std::string bytes;
        const wchar_t* want;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF\xC3\xBC" "ber", L"\x00FC" L"ber"},
        {"\xC3\xBC" "ber", L"\x00FC" L"ber"},                  // UTF-8 without a mark
        {std::string("\xFF\xFE\x41\x00\xFC\x00", 6), L"A\x00FC"},  // UTF-16 LE
        {std::string("\xFE\xFF\x00\x41\x00\xFC", 6), L"A\x00FC"},  // UTF-16 BE
        {"\xFC" "ber", L"\x00FC" L"ber"},                       // not UTF-8: the ANSI code page
        {"", L""},
    };
    std::wstring path = kPackage + L"licence-probe.txt";
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        EXPECT_STREQ(CLicensePpg::LoadLicenseText(path.c_str()).GetString(), c.want);
    }
    ::DeleteFileW(path.c_str());
    EXPECT_TRUE(CLicensePpg::LoadLicenseText(L"C:\\no\\such\\license.txt").IsEmpty());
}

// --- whole runs through the windows --------------------------------------

TEST_F(WizardTest, PlainRunAcceptCustomNormalAndATypedFolder)
{
    std::wstring caption, defaultFolder, licence;
    bool reached = false;
    int result = Run([&](HWND w) {
        if (!ToDestinationPage(w))
            return;
        caption = Caption(w);
        defaultFolder = FolderText(w);
        TypeFolder(w, L"C:\\Media Apps\\Auralis");
        reached = Click(w, L"Next >") && WaitForCopyStep(w);
    });
    EXPECT_EQ(result, 99);
    EXPECT_TRUE(reached);
    EXPECT_EQ(caption, kTitle);
    EXPECT_EQ(defaultFolder, L"C:\\Program Files\\Velmora Group\\Auralis 22\\");
    EXPECT_STREQ(options.DestinationFolder.GetString(), L"C:\\Media Apps\\Auralis\\");
    EXPECT_NE(::GetFileAttributesW(L"C:\\Media Apps\\Auralis"), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(options.Express);
    EXPECT_FALSE(options.Portable);
    EXPECT_EQ(GetSetting(HKEY_LOCAL_MACHINE, L"Installer", L"Run Auto Install", 7), 0u);
    DeleteTree(L"C:\\Media Apps\\");
}

TEST_F(WizardTest, ExpressSkipsThePagesWhoseDefaultsHold)
{
    std::wstring licenceHeader;
    bool reached = false;
    int result = Run([&](HWND w) {
        reached = WaitForPage(w, L"Welcome") && Click(w, L"Accept") && WaitForPage(w, L"Setup Type") &&
                  Click(w, L"Next >") && WaitForCopyStep(w);
    });
    EXPECT_EQ(result, 99);
    EXPECT_TRUE(reached);
    EXPECT_TRUE(options.Express);
    EXPECT_STREQ(options.DestinationFolder.GetString(), L"C:\\Program Files\\Velmora Group\\Auralis 22\\");
}

TEST_F(WizardTest, ExpressWithABadDefaultShowsTheDestinationPageAndEndsExpress)
{
    SetSetting(HKEY_CURRENT_USER, L"Installer", L"Install Directory", L"C:\\");
    std::wstring boxText, shownFolder;
    bool boxAnswered = false, shown = false, reached = false;
    int result = Run([&](HWND w) {
        if (!(WaitForPage(w, L"Welcome") && Click(w, L"Accept") && WaitForPage(w, L"Setup Type") &&
              Click(w, L"Next >")))
            return;
        boxAnswered = AnswerBox(kPid, L"Invalid Destination Folder", L"OK", &boxText);
        shown = WaitForPage(w, L"Destination Folder");
        shownFolder = FolderText(w);
        TypeFolder(w, L"C:\\Media Apps\\Express");
        reached = Click(w, L"Next >") && WaitForCopyStep(w);
    });
    EXPECT_EQ(result, 99);
    EXPECT_TRUE(boxAnswered);
    EXPECT_EQ(boxText,
              L"Auralis can not be installed to the root of a drive.\r\n\r\nPlease enter a new destination folder.");
    EXPECT_TRUE(shown);
    EXPECT_EQ(shownFolder, L"C:\\");
    EXPECT_TRUE(reached);
    EXPECT_FALSE(options.Express);
    DeleteTree(L"C:\\Media Apps\\");
}

TEST_F(WizardTest, CountdownRunsInTheCaptionAndEndsInNext)
{
    SetSetting(HKEY_LOCAL_MACHINE, L"Installer", L"Run Auto Install", 1);
    std::vector<std::wstring> captions;
    bool reached = false;
    std::wstring finalCaption;
    int result = Run([&](HWND w) {
        ULONGLONG until = ::GetTickCount64() + 45000;
        while (::GetTickCount64() < until) {
            std::wstring c = Caption(w);
            if (captions.empty() || captions.back() != c)
                captions.push_back(c);
            if (PastDestination(Header(w))) {
                reached = true;
                break;
            }
            ::Sleep(100);
        }
        finalCaption = Caption(w);
    });
    EXPECT_EQ(result, 99);
    EXPECT_TRUE(reached);
    EXPECT_TRUE(options.Express);
    EXPECT_TRUE(options.AutoInstall);
    auto seen = [&](const std::wstring& c) { return std::find(captions.begin(), captions.end(), c) != captions.end(); };
    EXPECT_TRUE(seen(L"Auralis 22 - Install Wizard (Auto Install in 30 seconds)"));
    EXPECT_TRUE(seen(L"Auralis 22 - Install Wizard (Auto Install in 12 seconds)"));
    EXPECT_TRUE(seen(L"Auralis 22 - Install Wizard (Auto Install in 2 seconds)"));
    EXPECT_EQ(finalCaption, kTitle);
}

TEST_F(WizardTest, AcceptDuringTheCountdownStopsIt)
{
    SetSetting(HKEY_LOCAL_MACHINE, L"Installer", L"Run Auto Install", 1);
    std::wstring counting, afterAccept, afterWait, backOnLicence;
    bool checkBoxChecked = false;
    int result = Run([&](HWND w) {
        if (!WaitForPage(w, L"Welcome"))
            return;
        for (int i = 0; i < 100 && Caption(w).find(L"Auto Install in") == std::wstring::npos; ++i)
            ::Sleep(50);
        counting = Caption(w);
        if (!(Click(w, L"Accept") && WaitForPage(w, L"Setup Type")))
            return;
        afterAccept = Caption(w);
        HWND check = FindButton(w, L"Next time use Auto Install after 30 second timeout.");
        checkBoxChecked = check && ::SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED;
        ::Sleep(1500);
        afterWait = OnPage(Header(w), L"<b>Setup Type</b>") ? Caption(w) : L"moved";
        Click(w, L"< Back");
        if (WaitForPage(w, L"Welcome"))
            backOnLicence = Caption(w);
    });
    EXPECT_EQ(result, 99);
    EXPECT_NE(counting.find(L"(Auto Install in"), std::wstring::npos);
    EXPECT_EQ(afterAccept, kTitle);
    EXPECT_EQ(afterWait, kTitle);
    EXPECT_EQ(backOnLicence, kTitle);  // no stale count on the licence page
    EXPECT_TRUE(checkBoxChecked);      // the stored preference shows
    EXPECT_FALSE(options.AutoInstall);
}

TEST_F(WizardTest, CustomWithTheBoxCheckedStoresTheAutoInstallPreference)
{
    bool reached = false;
    int result = Run([&](HWND w) {
        reached = WaitForPage(w, L"Welcome") && Click(w, L"Accept") && WaitForPage(w, L"Setup Type") &&
                  Click(w, L"Custom") && Click(w, L"Next time use Auto Install after 30 second timeout.") &&
                  Click(w, L"Next >") && WaitForButton(w, L"Portable install");
    });
    EXPECT_EQ(result, 99);
    EXPECT_TRUE(reached);
    EXPECT_EQ(GetSetting(HKEY_LOCAL_MACHINE, L"Installer", L"Run Auto Install", 0), 1u);
    EXPECT_FALSE(options.Express);
}

TEST_F(WizardTest, SilentAndUpgradeRunsAdvanceByThemselves)
{
    // A stored countdown preference never shows in these runs.
    SetSetting(HKEY_LOCAL_MACHINE, L"Installer", L"Run Auto Install", 1);
    for (int upgrade = 0; upgrade < 2; ++upgrade) {
        options = InstallOptionsData();
        (upgrade ? options.Upgrade : options.Silent) = true;
        std::vector<std::wstring> headers, captions;
        bool reached = false;
        int result = Run([&](HWND w) {
            ULONGLONG until = ::GetTickCount64() + 10000;
            while (::GetTickCount64() < until && !reached && !(headers.size() > 1 && !::IsWindowVisible(w))) {
                std::wstring h = Header(w);
                if (headers.empty() || headers.back() != h)
                    headers.push_back(h);
                captions.push_back(Caption(w));
                reached = PastDestination(h);
                ::Sleep(20);
            }
        });
        // A silent run may finish before the copy page is seen (result 1).
        EXPECT_TRUE(result == 99 || result == 1) << upgrade << " " << result;
        EXPECT_TRUE(reached || result == 1) << upgrade;
        EXPECT_EQ(options.Express, upgrade == 1) << upgrade;
        EXPECT_FALSE(options.AutoInstall) << upgrade;
        EXPECT_STREQ(options.DestinationFolder.GetString(), L"C:\\Program Files\\Velmora Group\\Auralis 22\\");
        for (const std::wstring& h : headers)
            EXPECT_TRUE(h.empty() ||  // read before the window was shown
                        OnPage(h, L"<b>Welcome</b>") || PastDestination(h))
                << VLString(h.c_str()).ToUtf8();
        for (const std::wstring& c : captions)
            EXPECT_EQ(c.find(L"Auto Install in"), std::wstring::npos);
    }
}

TEST_F(WizardTest, EscapeOnTheDestinationPageAsksNoThenAltF4Yes)
{
    std::wstring question;
    bool no = false, stayed = false, yes = false;
    int result = Run([&](HWND w) {
        if (!ToDestinationPage(w))
            return;
        PressKey(w, VK_ESCAPE);
        no = AnswerBox(kPid, L"Confirm Cancellation", L"No", &question);
        ::Sleep(300);
        stayed = OnPage(Header(w), L"<b>Destination Folder</b>") && ::IsWindowVisible(w);
        ::PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
        yes = AnswerBox(kPid, L"Confirm Cancellation", L"Yes");
        ::Sleep(300);
    });
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(no);
    EXPECT_EQ(question, L"Are you sure you want to cancel Auralis 22 installation?");
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(yes);
}

TEST_F(WizardTest, AfterTheCopyStepHasStartedCancelIsUnavailable)
{
    std::wstring text;
    bool answered = false, stayed = false, cancelDisabled = false;
    int result = Run([&](HWND w) {
        // Express: the copy step runs, then the file association page shows.
        if (!(WaitForPage(w, L"Welcome") && Click(w, L"Accept") && WaitForPage(w, L"Setup Type") &&
              Click(w, L"Next >") && WaitForPage(w, L"File Associations", 30000)))
            return;
        cancelDisabled = !IsEnabled(FindButton(w, L"Cancel"));
        PressKey(w, VK_ESCAPE);
        answered = AnswerBox(kPid, L"Cancel Unavailable", L"OK", &text);
        ::Sleep(300);
        stayed = ::IsWindowVisible(w) && OnPage(Header(w), L"<b>File Associations</b>");
    });
    EXPECT_EQ(result, 99);
    EXPECT_TRUE(cancelDisabled);
    EXPECT_TRUE(answered);
    EXPECT_EQ(text, L"Auralis 22 installation can no longer be canceled.\r\n\r\nOnce installation has completed, you "
                    L"can uninstall using Control Panel > Add or Remove Programs.");
    EXPECT_TRUE(stayed);
}

TEST_F(WizardTest, DoubleClickOnNextMovesOnePage)
{
    bool onCustomPage = false;
    int result = Run([&](HWND w) {
        if (!(WaitForPage(w, L"Welcome") && Click(w, L"Accept") && WaitForPage(w, L"Setup Type") &&
              Click(w, L"Custom")))
            return;
        HWND next = FindButton(w, L"Next >");
        ::PostMessageW(next, BM_CLICK, 0, 0);
        ::PostMessageW(next, BM_CLICK, 0, 0);
        ::Sleep(800);
        onCustomPage = FindButton(w, L"Portable install") != nullptr &&
                       OnPage(Header(w), L"<b>Setup Type</b>");
    });
    EXPECT_EQ(result, 99);
    EXPECT_TRUE(onCustomPage);
}

TEST_F(WizardTest, EachDestinationCheckShowsItsBoxAndKeepsThePage)
{
    AddUninstallRecord(L"Auralis 21", L"Velmora, Inc.", L"C:\\Media\\Auralis 21");
    struct Case {
        const wchar_t* typed;
        const wchar_t* caption;
        const wchar_t* text;
    };
    const Case cases[] = {
        {L"", L"Invalid Destination Folder",
         L"Auralis can not be installed to an empty folder.\r\n\r\nPlease enter a new destination folder."},
        {L"C:\\", L"Invalid Destination Folder",
         L"Auralis can not be installed to the root of a drive.\r\n\r\nPlease enter a new destination folder."},
        {L"C:\\Windows\\Auralis", L"Invalid Destination Folder",
         L"Auralis can not be installed in the Windows folder.\r\n\r\nPlease enter a new destination folder."},
        {L"C:\\Media", L"Invalid Destination Folder",
         L"Auralis can not be installed where a pre-existing program is installed.\r\n\r\n"
         L"Please enter a new destination folder."},
        {L"Auralis", L"Error", L"Failed to create Auralis directory."},
    };
    std::vector<std::wstring> texts;
    std::vector<bool> stayed;
    bool reachedBackLicence = false;
    int result = Run([&](HWND w) {
        if (!ToDestinationPage(w))
            return;
        for (const Case& c : cases) {
            TypeFolder(w, c.typed);
            Click(w, L"Next >");
            std::wstring text;
            texts.push_back(AnswerBox(kPid, c.caption, L"OK", &text) ? text : L"no box: " + text);
            ::Sleep(300);
            stayed.push_back(OnPage(Header(w), L"<b>Destination Folder</b>"));
        }
        // Leaving with Back does not validate.
        TypeFolder(w, L"C:\\");
        ::Sleep(400);
        reachedBackLicence = Click(w, L"< Back") && WaitForButton(w, L"Portable install") && NoBox(kPid);
    });
    EXPECT_EQ(result, 99);
    ASSERT_EQ(texts.size(), std::size(cases));
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i], cases[i].text) << i;
        EXPECT_TRUE(stayed[i]) << i;
    }
    EXPECT_TRUE(reachedBackLicence);
}

TEST_F(WizardTest, ExistingInstallationSkipsTheDestinationPageUnlessPortable)
{
    AddUninstallRecord(L"Auralis 22", L"Velmora, Inc.", L"C:\\Program Files\\Velmora Group\\Auralis 22");
    bool skipped = false;
    int result = Run([&](HWND w) {
        skipped = WaitForPage(w, L"Welcome") && Click(w, L"Accept") && WaitForPage(w, L"Setup Type") &&
                  Click(w, L"Custom") && Click(w, L"Next >") && WaitForButton(w, L"Portable install") &&
                  Click(w, L"Next >") && WaitForCopyStep(w);
    });
    EXPECT_EQ(result, 99);
    EXPECT_TRUE(skipped);
    EXPECT_TRUE(options.ExistingInstall);
    EXPECT_STREQ(options.ExistingUninstallKey.GetString(), L"Auralis 22");
    EXPECT_FALSE(options.DestinationFolder.IsEmpty());

    // Portable: the page shows, with no default; Next on the empty field is refused.
    options = InstallOptionsData();
    AddUninstallRecord(L"Auralis 22", L"Velmora, Inc.", L"C:\\Program Files\\Velmora Group\\Auralis 22");
    std::wstring field = L"unread", box;
    bool answered = false;
    result = Run([&](HWND w) {
        if (!(WaitForPage(w, L"Welcome") && Click(w, L"Accept") && WaitForPage(w, L"Setup Type") &&
              Click(w, L"Custom") && Click(w, L"Next >") && WaitForButton(w, L"Portable install") &&
              Click(w, L"Portable install") && Click(w, L"Next >") && WaitForPage(w, L"Destination Folder")))
            return;
        field = FolderText(w);
        Click(w, L"Next >");
        answered = AnswerBox(kPid, L"Invalid Destination Folder", L"OK", &box);
    });
    EXPECT_EQ(result, 99);
    EXPECT_TRUE(options.Portable);
    EXPECT_EQ(field, L"");
    EXPECT_TRUE(answered);
    EXPECT_EQ(box, L"Auralis can not be installed to an empty folder.\r\n\r\nPlease enter a new destination folder.");
}

TEST_F(WizardTest, BackFromAShownDestinationPageSkipsTheSetupPagesToTheLicence)
{
    // Silent: the setup-type pages skip; the bad default makes the destination
    // page show; Back then passes the skipping pages. (After an upgrade the
    // custom page would show: the failed default ended express mode.)
    options.Silent = true;
    SetSetting(HKEY_CURRENT_USER, L"Installer", L"Install Directory", L"C:\\");
    bool shown = false, backOnLicence = false;
    int result = Run([&](HWND w) {
        if (!AnswerBox(kPid, L"Invalid Destination Folder", L"OK"))
            return;
        shown = WaitForPage(w, L"Destination Folder");
        backOnLicence = Click(w, L"< Back") && WaitForPage(w, L"Welcome");
    });
    EXPECT_EQ(result, 99);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(backOnLicence);
}

TEST_F(WizardTest, LeavingTheSetupTypePageAgainResetsPortable)
{
    bool back = false;
    bool portableAfterCustom = false, portableAfterReturn = true;
    int result = Run([&](HWND w) {
        if (!(WaitForPage(w, L"Welcome") && Click(w, L"Accept") && WaitForPage(w, L"Setup Type") &&
              Click(w, L"Custom") && Click(w, L"Next >") && WaitForButton(w, L"Portable install") &&
              Click(w, L"Portable install") && Click(w, L"Next >") && WaitForPage(w, L"Destination Folder")))
            return;
        portableAfterCustom = options.Portable;
        back = Click(w, L"< Back") && WaitForButton(w, L"Portable install") && Click(w, L"< Back") &&
               WaitForButton(w, L"Express") && Click(w, L"Next >") && WaitForButton(w, L"Portable install");
        portableAfterReturn = options.Portable;  // the custom page has not been left again yet
    });
    EXPECT_EQ(result, 99);
    EXPECT_TRUE(back);
    EXPECT_TRUE(portableAfterCustom);
    EXPECT_FALSE(portableAfterReturn);
}

TEST_F(WizardTest, EscapeInTheLicenceTextAsksAndKeepsThePage)
{
    // The multi-line text box turns Escape into WM_CLOSE to its parent, the
    // page; that must reach the close request, not destroy the page.
    std::wstring caption;
    bool answered = false, pageAlive = false;
    int result = Run([&](HWND w) {
        if (!WaitForPage(w, L"Welcome"))
            return;
        HWND box = nullptr;
        for (HWND h = ::FindWindowExW(w, nullptr, L"VLWizardPageWnd", nullptr); h && !box;
             h = ::FindWindowExW(w, h, L"VLWizardPageWnd", nullptr))
            box = ::IsWindowVisible(h) ? ::FindWindowExW(h, nullptr, L"Edit", nullptr) : nullptr;
        if (!box)
            return;
        ::PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 1);
        answered = AnswerBox(kPid, L"Confirm Cancellation", L"No");
        ::Sleep(300);
        pageAlive = ::IsWindow(box) && ::IsWindowVisible(box) && OnPage(Header(w), L"<b>Welcome</b>");
    });
    EXPECT_EQ(result, 99);
    EXPECT_TRUE(answered);
    EXPECT_TRUE(pageAlive);
}
