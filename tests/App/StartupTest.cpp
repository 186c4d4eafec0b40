// Setup.exe started for real on a copy of the sample package: its start-up
// exits with their boxes and exit codes, the single-instance rule between
// two real processes, the launcher rename and the process record it keeps.
#include "InstallExitCodes.h"
#include "VLProcessRecord.h"
#include "VLTestAutomation.h"
#include "VLTestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

using namespace vltest;

namespace {

constexpr DWORD kWait = 60000;  // a cold Wine start can be slow
constexpr const wchar_t* kWizardClass = L"VLWizardPopupWnd";
constexpr const wchar_t* kDialogClass = L"#32770";

std::wstring FromEnvironmentPath(const char* variable, const wchar_t* tail)
{
    const char* value = std::getenv(variable);
    std::wstring path = L"Z:";
    for (const char* p = value != nullptr ? value : ""; *p; ++p)
        path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    return path + tail;
}

void WriteFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

std::string Narrow(const std::wstring& text)
{
    return VLString(text.c_str()).ToUtf8();
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_source = FromEnvironmentPath("VL_BUILD_DIR", L"\\test-package\\");
        ASSERT_TRUE(Exists(m_source + L"Setup.exe")) << "sample package missing: " << Narrow(m_source);
        m_package = L"C:\\vl-startup-test\\";
        DeleteTree(m_package);
        CopyTree(m_source, m_package);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, VLProcessRecord::kInstallationsKey);
        // A language chosen by an earlier run would translate every box.
        RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Velmora Labs\\Quenbox\\Properties", L"Language");
    }
    void TearDown() override { DeleteTree(m_package); }

    std::wstring Setup() const { return m_package + L"Setup.exe"; }

    // Waits for the box, checks caption and text, presses the button.
    void AnswerBox(TestProcess& process, const std::wstring& caption, const std::wstring& textPart,
                   const std::wstring& button)
    {
        HWND box = WaitForWindow(process, kDialogClass, kWait);
        ASSERT_NE(box, nullptr) << "no box for " << Narrow(caption);
        DialogContent content = ReadDialog(box);
        EXPECT_EQ(content.caption, caption);
        EXPECT_NE(content.text.find(textPart), std::wstring::npos) << Narrow(content.text);
        ASSERT_TRUE(PressButton(content, button)) << "no button " << Narrow(button);
    }

    // Closes the wizard as a user would: the close request asks first, and
    // the first button (Yes, in any language) confirms.
    void CloseWizard(TestProcess& process, HWND wizard)
    {
        PostMessageW(wizard, WM_CLOSE, 0, 0);
        HWND box = WaitForWindow(process, kDialogClass, kWait);
        ASSERT_NE(box, nullptr) << "no confirmation box";
        DialogContent content = ReadDialog(box);
        ASSERT_FALSE(content.buttons.empty());
        ASSERT_TRUE(PressButton(content, content.buttons[0].caption));
    }

    std::wstring m_source;
    std::wstring m_package;
};

}  // namespace

TEST_F(StartupTest, RunsTheWholeStartupUpToTheWizardWindow)
{
    TestProcess setup;
    ASSERT_TRUE(setup.Start(Setup(), L"/DistributorID ACME"));
    HWND wizard = WaitForWindow(setup, kWizardClass, kWait);
    ASSERT_NE(wizard, nullptr);
    EXPECT_EQ(WindowText(wizard), L"Auralis 22 - Install Wizard");

    // The launcher carries the product's name now.
    EXPECT_FALSE(Exists(m_package + L"System\\Always Overwrite\\Nuvicore Launcher.exe"));
    EXPECT_TRUE(Exists(m_package + L"System\\Always Overwrite\\Auralis Launcher.exe"));

    // The installer's process record, read from outside.
    VLSharedMemory block;
    ASSERT_TRUE(VLProcessRecord::ReadOther(setup.Id(), block));
    const unsigned char* b = block.GetData();
    auto text = [&](size_t offset) {
        const wchar_t* t = reinterpret_cast<const wchar_t*>(b + offset);
        return std::wstring(t, wcsnlen(t, 260));
    };
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[2612], 1);  // installer flag
    EXPECT_EQ(_wcsicmp(text(2).c_str(), Setup().c_str()), 0) << Narrow(text(2));
    EXPECT_EQ(text(1568), m_package + L"Quenbox\\");
    EXPECT_EQ(text(1046), m_package + L"Quenbox\\");
    EXPECT_EQ(text(524), L"");  // nothing installed

    CloseWizard(setup, wizard);
    DWORD exitCode = 0;
    ASSERT_TRUE(setup.Wait(kWait, exitCode));
    EXPECT_EQ(exitCode, static_cast<DWORD>(kExitUserCancelled));  // closing the wizard installs nothing
}

TEST_F(StartupTest, LooksUpTheInstalledProductsFolder)
{
    HKEY key = nullptr;
    std::wstring name = std::wstring(VLProcessRecord::kInstallationsKey) + L"\\Auralis 22";
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0);
    const wchar_t path[] = L"C:\\Program Files\\Auralis 22\\";
    RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), sizeof path);
    RegCloseKey(key);

    TestProcess setup;
    ASSERT_TRUE(setup.Start(Setup(), L""));
    HWND wizard = WaitForWindow(setup, kWizardClass, kWait);
    ASSERT_NE(wizard, nullptr);
    VLSharedMemory block;
    ASSERT_TRUE(VLProcessRecord::ReadOther(setup.Id(), block));
    const wchar_t* installPath = reinterpret_cast<const wchar_t*>(block.GetData() + 524);
    EXPECT_EQ(std::wstring(installPath), path);
    // Without folders: the module folder still names the package.
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(block.GetData() + 1568)), m_package + L"Quenbox\\");
    CloseWizard(setup, wizard);
    DWORD exitCode = 0;
    EXPECT_TRUE(setup.Wait(kWait, exitCode));
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, VLProcessRecord::kInstallationsKey);
}

TEST_F(StartupTest, StartsNormallyWhenTheLauncherWasAlreadyMoved)
{
    ASSERT_TRUE(DeleteFileW((m_package + L"System\\Always Overwrite\\Nuvicore Launcher.exe").c_str()));
    TestProcess setup;
    ASSERT_TRUE(setup.Start(Setup(), L""));
    HWND wizard = WaitForWindow(setup, kWizardClass, kWait);
    ASSERT_NE(wizard, nullptr);
    EXPECT_FALSE(Exists(m_package + L"System\\Always Overwrite\\Auralis Launcher.exe"));
    CloseWizard(setup, wizard);
    DWORD exitCode = 0;
    ASSERT_TRUE(setup.Wait(kWait, exitCode));
    EXPECT_EQ(exitCode, static_cast<DWORD>(kExitUserCancelled));
}

TEST_F(StartupTest, MissingToolsModuleIsACriticalError)
{
    ASSERT_TRUE(DeleteFileW((m_package + L"Quenbox\\NuvicoreTools.dll").c_str()));
    TestProcess setup;
    ASSERT_TRUE(setup.Start(Setup(), L""));
    HWND box = WaitForWindow(setup, kDialogClass, kWait);
    ASSERT_NE(box, nullptr);
    DialogContent content = ReadDialog(box);
    EXPECT_EQ(content.caption, L"Critical Error");
    const std::wstring expected = L"The following module has failed to load:\r\n" + Setup() +
                                  L"\r\n\r\nIt has reported the following error:\r\n\r\nFailed to load VLTools"
                                  L"\r\n\r\nPlease reinstall the latest version of the program.";
    EXPECT_EQ(_wcsicmp(content.text.c_str(), expected.c_str()), 0) << Narrow(content.text);
    ASSERT_TRUE(PressButton(content, L"OK"));
    DWORD exitCode = 0;
    ASSERT_TRUE(setup.Wait(kWait, exitCode));
    EXPECT_EQ(exitCode, static_cast<DWORD>(kExitFatalError));
    EXPECT_TRUE(Exists(m_package + L"System\\Always Overwrite\\Nuvicore Launcher.exe"));  // stopped before step 14
}

TEST_F(StartupTest, ProductInformationThatFailsToLoadIsACriticalError)
{
    struct Case {
        const char* document;  // nullptr: no document at all
        const wchar_t* error;
    };
    const Case cases[] = {
        {nullptr, L"The product document \""},
        {"Name0=A\nName1=A\nName2=A\nName3=A 22\nName5=A\nVersion=1\nMainProgram=A.exe\nLauncherName=L.exe\n",
         L"has no value \"SettingsKey\"."},
        {"Name0=A\nthis line is damaged\n", L"is not a \"Key=Value\" line."},
    };
    for (const Case& c : cases) {
        const std::wstring document = m_package + L"Quenbox\\Product.ini";
        if (c.document == nullptr)
            DeleteFileW(document.c_str());
        else
            WriteFile(document, c.document);
        TestProcess setup;
        ASSERT_TRUE(setup.Start(Setup(), L""));
        AnswerBox(setup, L"Critical Error", c.error, L"OK");
        DWORD exitCode = 0;
        ASSERT_TRUE(setup.Wait(kWait, exitCode));
        EXPECT_EQ(exitCode, static_cast<DWORD>(kExitFatalError)) << Narrow(c.error);
    }
}

TEST_F(StartupTest, SecondInstanceIsTurnedAwayWhileTheFirstRuns)
{
    TestProcess first;
    ASSERT_TRUE(first.Start(Setup(), L""));
    HWND wizard = WaitForWindow(first, kWizardClass, kWait);
    ASSERT_NE(wizard, nullptr);

    TestProcess second;
    ASSERT_TRUE(second.Start(Setup(), L"/Silent"));
    // Each installer keeps its own record, named by its process id.
    ASSERT_NE(WaitForWindow(second, kDialogClass, kWait), nullptr);
    VLSharedMemory firstBlock, secondBlock;
    ASSERT_TRUE(VLProcessRecord::ReadOther(first.Id(), firstBlock));
    ASSERT_TRUE(VLProcessRecord::ReadOther(second.Id(), secondBlock));
    EXPECT_NE(first.Id(), second.Id());
    EXPECT_NE(std::wstring(firstBlock.GetName()), std::wstring(secondBlock.GetName()));
    EXPECT_EQ(secondBlock.GetData()[2612], 1);
    AnswerBox(second, L"Velmora Installer",
              L"Another instance of the Velmora installer is already running on this system.\r\n\r\n"
              L"Please finish any other Velmora installations and try again.",
              L"OK");
    DWORD exitCode = 0;
    ASSERT_TRUE(second.Wait(kWait, exitCode));
    EXPECT_EQ(exitCode, static_cast<DWORD>(kExitAnotherInstallRunning));

    // The first one is not affected.
    EXPECT_TRUE(first.IsRunning());
    EXPECT_TRUE(IsWindow(wizard));
    CloseWizard(first, wizard);
    ASSERT_TRUE(first.Wait(kWait, exitCode));
    EXPECT_EQ(exitCode, static_cast<DWORD>(kExitUserCancelled));

    // Once the first has ended, a new start runs through again.
    TestProcess third;
    ASSERT_TRUE(third.Start(Setup(), L""));
    wizard = WaitForWindow(third, kWizardClass, kWait);
    ASSERT_NE(wizard, nullptr);
    CloseWizard(third, wizard);
    EXPECT_TRUE(third.Wait(kWait, exitCode));
}

TEST_F(StartupTest, OffersTheLanguageSelectionWhenTheConfigurationAsks)
{
    std::string xml =
        "<?xml version=\"1.0\"?>\n<VLIC version=\"1.0\"><Installer><ShowLanguageSelection>1</ShowLanguageSelection>"
        "</Installer></VLIC>\n";
    WriteFile(m_package + L"Install.xml", xml);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Velmora Labs\\Quenbox\\Properties");
    TestProcess setup;
    ASSERT_TRUE(setup.Start(Setup(), L""));
    HWND box = WaitForWindow(setup, kDialogClass, kWait);
    ASSERT_NE(box, nullptr);
    DialogContent content = ReadDialog(box);
    EXPECT_EQ(content.caption, L"Language");
    ASSERT_EQ(content.buttons.size(), 3u);
    EXPECT_EQ(content.buttons[0].caption, L"English");
    EXPECT_EQ(content.buttons[1].caption, L"Deutsch");
    EXPECT_EQ(content.buttons[2].caption, L"Cancel");
    ASSERT_TRUE(PressButton(content, L"Deutsch"));

    // From here on the installer speaks German.
    HWND wizard = WaitForWindow(setup, kWizardClass, kWait);
    ASSERT_NE(wizard, nullptr);
    EXPECT_EQ(WindowText(wizard), L"Auralis 22 - Installations-Assistent");
    CloseWizard(setup, wizard);
    DWORD exitCode = 0;
    EXPECT_TRUE(setup.Wait(kWait, exitCode));
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Velmora Labs\\Quenbox\\Properties");
}
