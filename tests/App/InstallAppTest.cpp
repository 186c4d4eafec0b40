// CInstallApp's start-up run in this process on a copy of the sample
// package, with the environment checks and the wizard given by the test:
// which exit code each ending gives, what the wizard finds prepared, and the
// Ctrl+Shift+F skip.
#include "CInstallApp.h"
#include "InstallOptions.h"
#include "InstallerFolder.h"
#include "VLProcessRecord.h"
#include "VLTestAutomation.h"
#include "VLTestFiles.h"
#include "VLToolsHost.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

using vltest::CopyTree;
using vltest::DeleteTree;

namespace {

const std::wstring kPackage = L"C:\\vl-app-test\\";

class InstallAppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* build = std::getenv("VL_BUILD_DIR");
        std::wstring source = L"Z:";
        for (const char* p = build != nullptr ? build : ""; *p; ++p)
            source += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
        source += L"\\test-package\\";
        DeleteTree(kPackage);
        CopyTree(source, kPackage);
        ASSERT_NE(GetFileAttributesW((kPackage + L"Quenbox\\NuvicoreTools.dll").c_str()), INVALID_FILE_ATTRIBUTES);
        SetInstallerFolder(kPackage.c_str());
        ResetInstallOptions();
        RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Velmora Labs\\Quenbox\\Properties", L"Language");
    }
    void TearDown() override
    {
        SetInstallerFolder(VLString());
        ResetInstallOptions();
        DeleteTree(kPackage);
    }
    static int RunApp(CInstallApp& app) { return app.Run(GetModuleHandleW(nullptr), nullptr, SW_SHOWNORMAL); }
};

}  // namespace

TEST_F(InstallAppTest, EveryEndingHasItsExitCode)
{
    struct Case {
        InstallCheckResult check;
        int wizardResult;
        int wantExit;
        bool wantWizard;
    };
    const Case cases[] = {
        {InstallCheckResult::Passed, kExitInstalled, kExitInstalled, true},
        {InstallCheckResult::Passed, kExitRestartRequired, kExitRestartRequired, true},
        {InstallCheckResult::Passed, kExitUserCancelled, kExitUserCancelled, true},
        {InstallCheckResult::Declined, kExitInstalled, kExitUserCancelled, false},
        {InstallCheckResult::Refused, kExitInstalled, kExitFatalError, false},
    };
    for (const Case& c : cases) {
        CInstallApp app;
        bool wizardRan = false;
        app.Hooks().checkEnvironment = [&] { return c.check; };
        app.Hooks().runWizard = [&] {
            wizardRan = true;
            return c.wizardResult;
        };
        EXPECT_EQ(RunApp(app), c.wantExit) << static_cast<int>(c.check) << " " << c.wizardResult;
        EXPECT_EQ(wizardRan, c.wantWizard);
        EXPECT_EQ(app.GetLastStep(), c.wantWizard ? 17 : 13);
        EXPECT_FALSE(VLToolsHost::Get().IsLoaded());  // released at shutdown
    }
}

TEST_F(InstallAppTest, TheWizardFindsConfigurationSwitchesAndModulePrepared)
{
    CInstallApp app;
    app.GetArguments().Add(L"/Silent");
    app.GetArguments().Add(L"/DistributorID");
    app.GetArguments().Add(L"ACME");
    bool checked = false;
    app.Hooks().checkEnvironment = [&] {
        checked = true;
        return InstallCheckResult::Passed;
    };
    app.Hooks().runWizard = [&] {
        const InstallOptionsData& options = InstallOptions();
        EXPECT_TRUE(options.Silent);
        EXPECT_EQ(std::wstring(options.DistributorID.GetString()), L"ACME");
        // Install.xml has been read: the support and library folders are set.
        EXPECT_GE(options.SupportFolders.GetCount(), 1);
        if (options.SupportFolders.GetCount() > 0) {
            EXPECT_EQ(std::wstring(options.SupportFolders[0].GetString()), kPackage + L"Support\\");
        }
        EXPECT_EQ(std::wstring(options.LibraryFolder.GetString()), kPackage + L"Library\\");
        VLToolsHost& tools = VLToolsHost::Get();
        EXPECT_TRUE(tools.IsProductLoaded());
        EXPECT_EQ(std::wstring(tools.GetProductName(3).GetString()), L"Auralis 22");
        EXPECT_TRUE(tools.HasFeature(176));
        VLProcessRecord& record = VLProcessRecord::Get();
        EXPECT_TRUE(record.IsInstaller());
        EXPECT_EQ(std::wstring(record.GetModuleFolder().GetString()), kPackage + L"Quenbox\\");
        // The launcher was renamed before the wizard.
        EXPECT_NE(GetFileAttributesW((kPackage + L"System\\Always Overwrite\\Auralis Launcher.exe").c_str()),
                  INVALID_FILE_ATTRIBUTES);
        return kExitInstalled;
    };
    EXPECT_EQ(RunApp(app), kExitInstalled);
    EXPECT_TRUE(checked);
}

TEST_F(InstallAppTest, CtrlShiftFSkipsTheEnvironmentChecks)
{
    // The thread's own key state is what GetKeyState reads.
    BYTE saved[256];
    ASSERT_TRUE(GetKeyboardState(saved));
    for (const BYTE* held : {(const BYTE*)"\x11\x10", (const BYTE*)"\x11\x10\x46"}) {  // Ctrl+Shift, Ctrl+Shift+F
        BYTE keys[256];
        std::memcpy(keys, saved, sizeof keys);
        for (const BYTE* k = held; *k; ++k)
            keys[*k] = 0x80;
        ASSERT_TRUE(SetKeyboardState(keys));
        const bool allThree = std::strlen(reinterpret_cast<const char*>(held)) == 3;
        EXPECT_EQ(CInstallApp::SkipKeysHeld(), allThree);

        CInstallApp app;
        bool checked = false, wizardRan = false;
        app.Hooks().checkEnvironment = [&] {
            checked = true;
            return InstallCheckResult::Refused;
        };
        app.Hooks().runWizard = [&] {
            wizardRan = true;
            return kExitInstalled;
        };
        const int exitCode = RunApp(app);
        SetKeyboardState(saved);
        EXPECT_EQ(checked, !allThree);
        EXPECT_EQ(wizardRan, allThree);
        EXPECT_EQ(app.ChecksWereSkipped(), allThree);
        EXPECT_EQ(exitCode, allThree ? kExitInstalled : kExitFatalError);
    }
}

TEST_F(InstallAppTest, SecondInstanceStopsBeforeChecksAndWizard)
{
    HANDLE first = CreateMutexW(nullptr, FALSE, CInstallApp::kMutexName);
    ASSERT_NE(first, nullptr);
    CInstallApp app;
    bool reached = false;
    app.Hooks().checkEnvironment = [&] {
        reached = true;
        return InstallCheckResult::Passed;
    };
    app.Hooks().runWizard = [&] {
        reached = true;
        return kExitInstalled;
    };
    std::wstring caption;
    std::thread answer([&] {
        HWND box = vltest::WaitForWindowOf(GetCurrentProcessId(), L"#32770", 30000);
        if (box == nullptr)
            return;
        vltest::DialogContent content = vltest::ReadDialog(box);
        caption = content.caption;
        vltest::PressButton(content, L"OK");
    });
    EXPECT_EQ(RunApp(app), kExitAnotherInstallRunning);
    answer.join();
    CloseHandle(first);
    EXPECT_EQ(caption, L"Velmora Installer");
    EXPECT_FALSE(reached);
    EXPECT_EQ(app.GetLastStep(), 12);
}
