// The copy-and-install page in this process with the real tools module and
// the real install engine: its rules as tables, then whole silent runs of the
// wizard that watch the step chain from the later-work hooks and check what
// reached the destination.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "CCopyAndInstallPpg.h"
#include "CInstallWizard.h"
#include "CWizardServices.h"
#include "StandinJournal.h"
#include "VLLayoutUnits.h"
#include "VLProcessRecord.h"
#include "WizardTestPackage.h"

using namespace wizardtest;

namespace {

const std::wstring kRoot = L"C:\\VLCopyPageTest\\";
const std::wstring kPackage = kRoot + L"Package\\";
const std::wstring kDestination = kRoot + L"Installed\\";
const std::wstring kJournal = kRoot + L"journal.txt";

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Copy(const std::wstring& from, const std::wstring& to)
{
    size_t slash = to.rfind(L'\\');
    for (size_t at = to.find(L'\\', 3); at != std::wstring::npos && at <= slash; at = to.find(L'\\', at + 1))
        ::CreateDirectoryW(to.substr(0, at).c_str(), nullptr);
    return ::CopyFileW(from.c_str(), to.c_str(), FALSE) != 0;
}

std::wstring Standin(const wchar_t* name)
{
    return BuildPath((std::wstring(L"standins\\") + name).c_str());
}

std::wstring ReadRegText(HKEY root, const std::wstring& key, const wchar_t* name)
{
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer;
    if (::RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return buffer;
}

// Records each piece of later work with the page's status line and header
// at the moment it is asked for.
class RecordingSteps : public CInstallSteps {
public:
    bool InstallDependencies(CCopyAndInstallPpg& page, CDependencyRunner&) override
    {
        Note(L"dependencies", page.GetHeaderTitle());
        return true;
    }
    void CleanInstallationFolder(CCopyAndInstallPpg& page) override { Note(L"clean", page.GetStatusText()); }
    void PrepareLibraryAndSettings(CCopyAndInstallPpg& page) override { Note(L"library", page.GetStatusText()); }
    void MigratePreviousVersion(CCopyAndInstallPpg& page) override { Note(L"migrate", page.GetStatusText()); }
    void InstallWinampPlugin(CCopyAndInstallPpg& page, const VLString& path) override
    {
        Note(L"winamp", path.GetString());
    }
    void InstallPluginsAndServices(CCopyAndInstallPpg& page) override
    {
        Note(L"plugins", page.GetHeaderTitle());
        // The copy step is over: its registration list is complete.
        registered = page.GetRegistrationList().GetCount();
    }

    std::vector<std::wstring> events;
    int registered = -1;

private:
    void Note(const wchar_t* what, const VLString& detail) { events.push_back(std::wstring(what) + L"|" + detail.GetString()); }
};

struct RunResult {
    int result = 0;
    double seconds = 0;
    int promoIndex = 0;
    bool promosDone = false;
    bool finished = false;
    int progressPos = -1;
    int progressMax = -2;
    SIZE pictureSize{};
    std::vector<std::wstring> statuses;
};

class CopyPageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        VLLayoutUnits::EnableDpiAwareness();
        s_com = ::OleInitialize(nullptr);
        DeleteTree(kRoot);
        ::CreateDirectoryW(kRoot.c_str(), nullptr);
        ASSERT_TRUE(MakePackage(kPackage, ""));
        // Promotion timing and the destination the silent run takes.
        std::string xml =
            "<?xml version=\"1.0\"?>\n<VLIC version=\"1.0\">\n"
            "<Installer><PromoCount>3</PromoCount><PromoMinimumMilliseconds>1500</PromoMinimumMilliseconds></Installer>\n"
            "<Product><Features></Features><InstallToPath>C:\\VLCopyPageTest\\Installed</InstallToPath></Product>\n"
            "</VLIC>\n";
        ASSERT_TRUE(WriteBytes(kPackage + L"Install.xml", xml));
        ASSERT_TRUE(Copy(Standin(L"StandinMainProgram.exe"), kPackage + L"Quenbox\\Auralis.exe"));
        ASSERT_TRUE(Copy(Standin(L"StandinServer.dll"), kPackage + L"Quenbox\\VLImage.dll"));
        ASSERT_TRUE(Copy(Standin(L"StandinServer.dll"), kPackage + L"Quenbox\\Plugins\\in_test.dll"));
        ASSERT_TRUE(Copy(Standin(L"StandinServer.dll"), kPackage + L"Quenbox\\Plugins\\VLEffects.dll"));
        ::CreateDirectoryW((kPackage + L"Quenbox\\Data").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(kPackage + L"Quenbox\\Data\\Read Me.txt", "read me"));
        ::CreateDirectoryW((kPackage + L"Setup").c_str(), nullptr);
        for (const wchar_t* picture : {L"Promo1 - English.png", L"Promo1.png", L"Promo2.jpg", L"Promo3.png"})
            ASSERT_TRUE(Copy(BuildPath((std::wstring(L"tests\\CopyPage\\promo\\") + picture).c_str()),
                             kPackage + L"Setup\\" + picture));

        ::SetEnvironmentVariableW(L"VL_STANDIN_JOURNAL", kJournal.c_str());
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
        DeleteTree(kRoot);
        if (SUCCEEDED(s_com))
            ::OleUninitialize();
    }
    void SetUp() override
    {
        CleanRegistry();
        DeleteTree(kDestination);
        ::DeleteFileW(kJournal.c_str());
    }

    // A silent run of the whole wizard; ends by itself after the copy page.
    RunResult RunSilent(InstallOptionsData& options, CInstallSteps& steps)
    {
        options.Silent = true;
        RunResult run;
        CWizardServices services(s_tools, kPackage.c_str());
        CInstallWizard wizard(services, options);
        wizard.GetCopyAndInstallPage().SetInstallSteps(&steps);
        wizard.GetCopyAndInstallPage().SetStatusObserver(
            [&run](const VLString& text) { run.statuses.push_back(text.GetString()); });
        EXPECT_TRUE(wizard.Create());
        HWND hwnd = wizard.GetHwnd();
        bool done = false;
        // A run that hangs ends with 99 instead of holding the test forever.
        std::thread watchdog([&] {
            for (int i = 0; i < 600 && !done; ++i)
                ::Sleep(100);
            if (!done)
                ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(VLWizardPopupWnd::kCommandEnd, 0), 99);
        });
        auto start = std::chrono::steady_clock::now();
        run.result = wizard.Run();
        run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        done = true;
        watchdog.join();
        CCopyAndInstallPpg& page = wizard.GetCopyAndInstallPage();
        run.promoIndex = page.GetPromoIndex();
        run.promosDone = page.ArePromosDone();
        run.finished = page.IsFinished();
        run.progressPos = page.GetProgressPosition();
        run.progressMax = page.GetProgressMaximum();
        run.pictureSize = page.GetPicture().GetPictureSize();
        return run;
    }

    static HRESULT s_com;
    static HMODULE s_module;
    static IVLTools* s_tools;
};

HRESULT CopyPageTest::s_com = E_FAIL;
HMODULE CopyPageTest::s_module = nullptr;
IVLTools* CopyPageTest::s_tools = nullptr;

}  // namespace

// --- rules ----------------------------------------------------------------

TEST(CopyPageRules, PromotionTimingHasAtLeastOnePictureAndOneSecond)
{
    struct Case {
        int count, total;
        int wantCount, wantTotal, wantPeriod;
    };
    const Case cases[] = {
        {0, 0, 1, 1000, 1000},     // both keys missing
        {0, 4000, 1, 4000, 4000},  // one picture for the whole time
        {-2, 500, 1, 1000, 1000},  // below the floors
        {4, 4000, 4, 4000, 1000},  // a change every second
        {3, 1000, 3, 1000, 333},   // integer division
        {1, 999, 1, 1000, 1000},
    };
    for (const Case& c : cases) {
        CPromoTiming t = CPromoTiming::FromValues(c.count, c.total);
        EXPECT_EQ(t.Count, c.wantCount) << c.count << "/" << c.total;
        EXPECT_EQ(t.TotalMilliseconds, c.wantTotal) << c.count << "/" << c.total;
        EXPECT_EQ(t.PeriodMilliseconds(), c.wantPeriod) << c.count << "/" << c.total;
    }
}

TEST(CopyPageRules, FinishingWaitCoversThePicturesStillToCome)
{
    struct Case {
        int count, total, index, want;
    };
    const Case cases[] = {
        {1, 1000, 1, 4},   // 1000 / 333 + 1
        {3, 3000, 1, 10},  // all three pictures still to come
        {3, 3000, 3, 4},   // only the last one
        {4, 4000, 2, 10},  // 3000 / 333 + 1
    };
    for (const Case& c : cases)
        EXPECT_EQ(CCopyAndInstallPpg::FinishingTicks(CPromoTiming::FromValues(c.count, c.total), c.index), c.want)
            << c.count << " " << c.total << " " << c.index;
}

TEST(CopyPageRules, DowngradeSkipOnlyForAnExistingInstallOfTheSameOrANewerVersion)
{
    const uint64_t v22 = 0x0016000000010000ull, v21 = 0x0015000000000000ull, high = 0x8000000000000000ull;
    struct Case {
        const char* why;
        bool allow, existing;
        uint64_t installed, packaged;
        bool skip;
    };
    const Case cases[] = {
        {"same version reinstalled", false, true, v22, v22, true},
        {"newer installed", false, true, v22, v21, true},
        {"older installed", false, true, v21, v22, false},
        {"downgrade allowed", true, true, v22, v21, false},
        {"no existing installation", false, false, v22, v21, false},
        {"installed program missing (0)", false, true, 0, v22, false},
        {"neither has a version", false, true, 0, 0, true},
        {"compared unsigned", false, true, high, v22, true},
        {"compared unsigned, packaged high", false, true, v22, high, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CCopyAndInstallPpg::IsDowngradeSkip(c.allow, c.existing, c.installed, c.packaged), c.skip) << c.why;
}

TEST(CopyPageRules, PromotionalPictureLanguageFirstPngBeforeJpg)
{
    const std::wstring folder = L"C:\\VLCopyPagePromo\\";
    DeleteTree(folder);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CreateDirectoryW((folder + L"Setup").c_str(), nullptr);
    for (const wchar_t* name : {L"Promo1 - Deutsch.jpg", L"Promo1 - Deutsch.png", L"Promo1.png", L"Promo2 - Deutsch.jpg",
                                L"Promo2.png", L"Promo3.jpg", L"Promo3.png", L"Promo4.jpg"})
        ASSERT_TRUE(WriteBytes(folder + L"Setup\\" + name, "x"));
    struct Case {
        const wchar_t* language;
        int n;
        const wchar_t* want;
    };
    const Case cases[] = {
        {L"Deutsch", 1, L"Promo1 - Deutsch.png"},
        {L"Deutsch", 2, L"Promo2 - Deutsch.jpg"},  // language before the plain name
        {L"English", 2, L"Promo2.png"},
        {L"Deutsch", 3, L"Promo3.png"},  // png before jpg
        {L"Deutsch", 4, L"Promo4.jpg"},
        {L"Deutsch", 5, L""},  // none: the picture on show stays
        {L"", 1, L"Promo1.png"},
    };
    for (const Case& c : cases) {
        VLString found = CCopyAndInstallPpg::FindPromoPicture(folder.c_str(), c.language, c.n);
        std::wstring want = *c.want ? folder + L"Setup\\" + c.want : L"";
        EXPECT_EQ(std::wstring(found.GetString()), want) << c.language << " " << c.n;
    }
    DeleteTree(folder);
}

// --- whole runs -----------------------------------------------------------

TEST_F(CopyPageTest, SilentRunWalksTheStepsInOrderAndInstalls)
{
    InstallOptionsData options;
    RecordingSteps steps;
    RunResult run = RunSilent(options, steps);
    EXPECT_EQ(run.result, 1);
    EXPECT_TRUE(run.finished);

    const std::wstring winampPlugin = kDestination + L"Plugins\\in_test.dll";
    const std::vector<std::wstring> want = {
        L"dependencies|Installing Dependencies",
        L"clean|Cleaning installation directory...",
        L"library|Loading default library and settings...",
        L"migrate|Upgrading from previous version...",
        L"winamp|" + winampPlugin,
        L"plugins|Installing Plugins",
    };
    EXPECT_EQ(steps.events, want);
    const std::vector<std::wstring> statuses = {
        L"Cleaning installation directory...",  L"Loading default library and settings...",
        L"Upgrading from previous version...",  L"Installing system files...",
        L"Installing Auralis program files...", L"Registering program files...",
        L"Creating registry settings...",       L"Finalizing installation...",
    };
    EXPECT_EQ(run.statuses, statuses);
    // in_test.dll, VLEffects.dll and the tools module; the core module is not listed.
    EXPECT_EQ(steps.registered, 3);

    // The whole page never takes less than the promotion time, and every
    // picture had its turn.
    EXPECT_GE(run.seconds, 1.5);
    EXPECT_EQ(run.promoIndex, 3);
    EXPECT_TRUE(run.promosDone);
    EXPECT_EQ(run.progressPos, run.progressMax);
    // The last picture shows: 80 x 30 is "Promo3.png".
    EXPECT_EQ(run.pictureSize.cx, 80);
    EXPECT_EQ(run.pictureSize.cy, 30);

    for (const wchar_t* file : {L"Auralis.exe", L"VLImage.dll", L"Plugins\\in_test.dll", L"Plugins\\VLEffects.dll",
                                L"Data\\Read Me.txt", L"NuvicoreTools.dll", L"Product.ini", L"License.txt"})
        EXPECT_TRUE(Exists(kDestination + file)) << file;

    // Registered in this process, each once.
    std::vector<StandinJournalEntry> journal = StandinJournalRead(kJournal);
    int inTest = 0, effects = 0;
    for (const StandinJournalEntry& e : journal) {
        inTest += e.Program == L"in_test.dll" && e.Arguments == L"DllRegisterServer";
        effects += e.Program == L"VLEffects.dll" && e.Arguments == L"DllRegisterServer";
    }
    EXPECT_EQ(inTest, 1);
    EXPECT_EQ(effects, 1);

    // The records of the copy step.
    const std::wstring uninstall = std::wstring(kUninstallKey) + L"\\Auralis 22";
    EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, uninstall, L"DisplayName"), L"Auralis 22");
    EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, uninstall, L"InstallLocation"), kDestination);
    EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, uninstall, L"UninstallString"), kDestination + L"VLMediaUninstall.exe");
    EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, L"Software\\Velmora Labs\\Nuvicore\\Installations\\Auralis 22", L"Version"),
              L"22.0.1");
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, std::wstring(kSettingsKey) + L"\\Installer", L"Install Directory"),
              kDestination);

    // The product's programs find this installation.
    EXPECT_EQ(std::wstring(VLProcessRecord::Get().GetInstallPath().GetString()), kDestination);
    EXPECT_EQ(std::wstring(VLProcessRecord::Get().GetProgramFolder().GetString()), kDestination);
}

TEST_F(CopyPageTest, ReinstallOfTheSameVersionCopiesNothingUnlessDowngradeIsAllowed)
{
    struct Case {
        bool allowDowngrade;
        bool copies;
    };
    for (const Case c : {Case{false, false}, Case{true, true}}) {
        SCOPED_TRACE(c.allowDowngrade ? "AllowDowngrade 1" : "AllowDowngrade 0");
        CleanRegistry();
        DeleteTree(kDestination);
        {
            InstallOptionsData first;
            RecordingSteps steps;
            ASSERT_EQ(RunSilent(first, steps).result, 1);
        }
        // A file of the installation goes missing; only a copy brings it back.
        ASSERT_TRUE(::DeleteFileW((kDestination + L"Data\\Read Me.txt").c_str()));
        ::DeleteFileW(kJournal.c_str());

        InstallOptionsData again;
        again.AllowDowngrade = c.allowDowngrade;
        RecordingSteps steps;
        RunResult run = RunSilent(again, steps);
        EXPECT_EQ(run.result, 1);
        EXPECT_TRUE(again.ExistingInstall);
        EXPECT_EQ(Exists(kDestination + L"Data\\Read Me.txt"), c.copies);
        if (c.copies) {
            EXPECT_EQ(steps.events.size(), 6u);
        } else {
            // Dependencies still run; copy and plug-in steps are left out together.
            EXPECT_EQ(steps.events, std::vector<std::wstring>{L"dependencies|Installing Dependencies"});
            std::vector<StandinJournalEntry> journal = StandinJournalRead(kJournal);
            for (const StandinJournalEntry& e : journal)  // nothing registered
                if (e.Arguments == L"DllRegisterServer")
                    ADD_FAILURE() << "journal: " << testing::PrintToString(e.Program + L" " + e.Arguments);
        }
        // The finishing wait still lets every picture have its time.
        EXPECT_GE(run.seconds, 1.5);
        EXPECT_TRUE(run.promosDone);
    }
}

TEST_F(CopyPageTest, NoDependenciesLeavesOutTheDependencyStepOnly)
{
    InstallOptionsData options;
    options.NoDependencies = true;
    RecordingSteps steps;
    RunResult run = RunSilent(options, steps);
    EXPECT_EQ(run.result, 1);
    ASSERT_FALSE(steps.events.empty());
    EXPECT_EQ(steps.events.front(), L"clean|Cleaning installation directory...");
    EXPECT_EQ(steps.events.back(), L"plugins|Installing Plugins");
    EXPECT_TRUE(Exists(kDestination + L"Auralis.exe"));
}
