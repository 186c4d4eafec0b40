// Completing an installation and the finish page: the completion journal
// byte for byte, the values handed to the completion program after an
// install with a file in use, the restart decision, the product's own
// "/Register" starts (real stand-in programs), and the finish page in its
// three modes through the real wizard window, driven from a second thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "CFinishPpg.h"
#include "CInstallCompletion.h"
#include "CInstallWizard.h"
#include "ToolsEngineHost.h"
#include "CWizardServices.h"
#include "ComponentRunner.h"
#include "FilePlacer.h"
#include "StandinJournal.h"
#include "VLLayoutUnits.h"
#include "VLSystemInfo.h"
#include "VLTestAutomation.h"
#include "WizardDriver.h"
#include "WizardTestPackage.h"

using namespace wizardtest;

namespace {

const std::wstring kPackage = L"C:\\VLFinishTest\\";
const std::wstring kDestination = L"C:\\VLFinishTest Dest\\Auralis 22\\";
const std::wstring kJournal = L"C:\\VLFinishTest Journal.txt";
const wchar_t kRunOnceKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const DWORD kPid = ::GetCurrentProcessId();

std::wstring Str(const VLString& s)
{
    return s.GetString();
}

std::string ReadBytes(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    ::CloseHandle(file);
    return bytes;
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Values of a key as name -> text (REG_SZ only); empty when the key is missing.
std::vector<std::pair<std::wstring, std::wstring>> ReadValues(HKEY root, const std::wstring& path)
{
    std::vector<std::pair<std::wstring, std::wstring>> values;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256, type = 0, size = 0;
        if (::RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
        nameLength = 256;
        ::RegEnumValueW(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        data.resize(wcsnlen(data.c_str(), data.size()));
        values.emplace_back(name, type == REG_SZ ? data : L"<type " + std::to_wstring(type) + L">");
    }
    ::RegCloseKey(key);
    std::sort(values.begin(), values.end());
    return values;
}

std::wstring RunOnceEntry()
{
    for (const auto& [name, data] : ReadValues(HKEY_CURRENT_USER, kRunOnceKey))
        if (name == L"Install Wizard Completion")
            return data;
    return L"<none>";
}

std::wstring SettingsPath(const wchar_t* section)
{
    return std::wstring(kSettingsKey) + L"\\" + section;
}

// The stand-in starts recorded since the journal was last cleared.
std::vector<std::wstring> Starts()
{
    std::vector<std::wstring> starts;
    for (const StandinJournalEntry& e : StandinJournalRead(kJournal))
        starts.push_back(e.Program + L" " + e.Arguments);
    return starts;
}

void ClearTree(const std::wstring& folder)
{
    // Finish marks the destination read-only.
    ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteTree(folder);
}

bool CopyStandin(const std::wstring& asFile)
{
    return ::CopyFileW(BuildPath(L"standins\\StandinProgram.exe").c_str(), asFile.c_str(), FALSE) != FALSE;
}

// A restart that records its flags instead of ending the session.
class CRecordingShutdown : public CSystemShutdown {
public:
    std::vector<UINT> Calls;

protected:
    bool CallExitWindows(UINT flags) override
    {
        Calls.push_back(flags);
        return true;
    }
};

// The visible static texts of a window, in creation order.
std::vector<std::wstring> StaticTexts(HWND window)
{
    std::vector<std::wstring> texts;
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM param) -> BOOL {
            wchar_t name[32] = {};
            ::GetClassNameW(child, name, 32);
            if (_wcsicmp(name, L"Static") == 0 && ::IsWindowVisible(child))
                reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(vltest::WindowText(child));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool Contains(const std::vector<std::wstring>& list, const std::wstring& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

// With VL_SCREENSHOT_DIR set (a Unix folder), saves the window as <name>.bmp there.
void Screenshot(HWND window, const char* name)
{
    const char* dir = std::getenv("VL_SCREENSHOT_DIR");
    if (!dir || !*dir)
        return;
    std::wstring path = L"Z:";
    for (const char* p = dir; *p; ++p)
        path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    path += L"\\";
    for (const char* p = name; *p; ++p)
        path += static_cast<wchar_t>(*p);
    path += L".bmp";

    RECT r{};
    ::GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    ::SelectObject(memory, old);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const int stride = (width * 3 + 3) & ~3;
    std::string pixels(static_cast<size_t>(stride) * height, '\0');
    ::GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    bytes += pixels;
    WriteBytes(path, bytes);

    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

class FinishTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        VLLayoutUnits::EnableDpiAwareness();
        s_com = ::OleInitialize(nullptr);
        ASSERT_TRUE(MakePackage(kPackage, "173"));
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
        ::SetEnvironmentVariableW(L"VL_STANDIN_JOURNAL", kJournal.c_str());
    }
    static void TearDownTestSuite()
    {
        if (s_tools)
            s_tools->Detach(::GetModuleHandleW(nullptr));
        if (s_module)
            ::FreeLibrary(s_module);
        CleanRegistry();
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunOnceKey, L"Install Wizard Completion");
        DeleteTree(kPackage);
        ClearTree(kDestination);
        ::DeleteFileW(kJournal.c_str());
        if (SUCCEEDED(s_com))
            ::OleUninitialize();
    }
    void SetUp() override
    {
        CleanRegistry();
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunOnceKey, L"Install Wizard Completion");
        ClearTree(kDestination);
        ::CreateDirectoryW(L"C:\\VLFinishTest Dest", nullptr);
        ASSERT_TRUE(::CreateDirectoryW(kDestination.c_str(), nullptr));
        ::DeleteFileW((kPackage + L"Finish.txt").c_str());
        ::DeleteFileW(kJournal.c_str());
        options.DestinationFolder = kDestination.c_str();
    }

    // Runs the wizard modally from its finish page (the pages between are
    // not visited); `script` drives it from another thread. Whatever the
    // script leaves running is ended with 99.
    int RunFinishPage(const std::function<void(HWND)>& script)
    {
        CWizardServices services(s_tools, kPackage.c_str());
        CInstallWizard wizard(services, options);
        auto* finish = dynamic_cast<CFinishPpg*>(wizard.GetPageAt(wizard.GetPageCount() - 1));
        EXPECT_NE(finish, nullptr);
        if (!finish)
            return -1;
        finish->SetSystemShutdown(&shutdown);
        EXPECT_TRUE(wizard.Create());
        HWND hwnd = wizard.GetHwnd();
        // A skipped finish page ends the wizard here already.
        wizard.GoToPage(wizard.GetPageCount() - 1, true);
        restartNeeded = finish->IsRestartNeeded();
        mode = finish->GetCompletionMode();
        std::thread driver([&] {
            if (script)
                script(hwnd);
            ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(VLWizardPopupWnd::kCommandEnd, 0), 99);
        });
        int result = wizard.Run();
        driver.join();
        return result;
    }

    std::wstring Journal() const { return Str(VLString(kPackage.c_str())) + L"Finish.txt"; }

    InstallOptionsData options;
    CRecordingShutdown shutdown;
    bool restartNeeded = false;
    ECompletionMode mode = ECompletionMode::Nothing;
    static HRESULT s_com;
    static HMODULE s_module;
    static IVLTools* s_tools;
};

HRESULT FinishTest::s_com = E_FAIL;
HMODULE FinishTest::s_module = nullptr;
IVLTools* FinishTest::s_tools = nullptr;

// The bytes of a UTF-16 LE text.
std::string Utf16Le(const std::wstring& text)
{
    std::string bytes;
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

}  // namespace

// --- the completion work ----------------------------------------------------

TEST_F(FinishTest, FinishJournalIsUtf16WithMarkAndExactlyTwoLines)
{
    const std::wstring journal = kPackage + L"Finish.txt";
    // Left over from an earlier run and longer than the new one: nothing of it may remain.
    ASSERT_TRUE(WriteBytes(journal, std::string(600, 'x')));
    const wchar_t* program = L"C:\\Programme\\\x00C4uralis \x6F14\\Auralis.exe";
    ASSERT_TRUE(CInstallCompletion::WriteFinishJournal(kPackage.c_str(), program));

    std::string want("\xFF\xFE" "V\0L\0F\0I\0" "0\0" "0\0" "0\0" "1\0" "\r\0\n\0", 22);
    want += std::string("C\0:\0\\\0P\0r\0o\0g\0r\0a\0m\0m\0e\0\\\0\xC4\0u\0r\0a\0l\0i\0s\0 \0\x14\x6F\\\0", 46);
    want += Utf16Le(L"Auralis.exe");
    EXPECT_EQ(ReadBytes(journal), want);

    // A folder that cannot take the file reports it.
    EXPECT_FALSE(CInstallCompletion::WriteFinishJournal(L"C:\\VLFinishTest\\no such folder\\", program));
}

TEST_F(FinishTest, RestartDecisionCountsEveryEntryButTheShellExtensionAndKeptPackages)
{
    struct Case {
        const char* why;
        bool flag;
        std::vector<const wchar_t*> entries;
        bool want;
    };
    const Case cases[] = {
        {"nothing deferred", false, {}, false},
        {"restart flag alone", true, {}, true},
        {"a staged file, as the only (last) entry", false, {L"C:\\A\\Codec.dll|C:\\A\\Setup\\Codec.dll"}, true},
        {"a file to delete", false, {L"C:\\A\\Old.dll|_DELETEFILE"}, true},
        {"the shell extension alone", false, {L"C:\\A\\VLShellExt.dll|C:\\A\\Setup\\VLShellExt.dll"}, false},
        {"shell extension in other case", false, {L"C:\\A\\SHELLEXT.DLL|C:\\A\\Setup\\SHELLEXT.DLL"}, false},
        {"a kept package", false, {L"|C:\\A\\Setup\\Dark.qbp"}, false},
        {"a kept package with white space", false, {L"  |C:\\A\\Setup\\Dark.qbp \t"}, false},
        {"no separator at all", false, {L"C:\\A\\Codec.dll"}, false},
        {"shell extension and package first, a staged file last", false,
         {L"C:\\A\\VLShellExt.dll|C:\\A\\Setup\\VLShellExt.dll", L"|C:\\A\\Setup\\Dark.qbp",
          L" C:\\A\\Codec.dll|C:\\A\\Setup\\Codec.dll "},
         true},
        {"shell extension and package only, flag set", true,
         {L"C:\\A\\VLShellExt.dll|C:\\A\\Setup\\VLShellExt.dll", L"|C:\\A\\Setup\\Dark.qbp"}, true},
    };
    for (const Case& c : cases) {
        VLStringArray entries;
        for (const wchar_t* e : c.entries)
            entries.Add(e);
        EXPECT_EQ(CInstallCompletion::IsRestartNeeded(c.flag, entries), c.want) << c.why;
    }
}

// A registrable file in use during the copy, a staged shell extension, a
// kept package and two files to delete: the Finalize values with their three
// numberings, the RunOnce command line, the counters, and the lists after.
TEST_F(FinishTest, FinalizeValuesAndRunOnceAfterAnInstallWithAFileInUse)
{
    const VLString destination = kDestination.c_str();
    const VLString source = (kPackage + L"Quenbox\\").c_str();
    ASSERT_TRUE(WriteBytes((kPackage + L"Quenbox\\Codec.dll").c_str(), "new codec"));
    ASSERT_TRUE(WriteBytes((kDestination + L"Codec.dll").c_str(), "old codec"));
    ASSERT_TRUE(WriteBytes((kPackage + L"Quenbox\\VLShellExt.dll").c_str(), "shell"));
    ::CreateDirectoryW((kPackage + L"Packages").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes((kPackage + L"Packages\\Dark.qbp").c_str(), "package"));

    CToolsEngineHost host(s_tools, nullptr);
    CInstallContext context;
    context.InstallerFolder = kPackage.c_str();
    context.DestinationFolder = destination;
    context.Is64BitWindows = VLIsWindows64();
    context.Deferred = CDeferredTargets{&options.PendingInstalls, &options.PendingRegistrations,
                                        &options.RestartRequired, &options.ShellExtensionRegistrationAllowed};
    context.Host = &host;
    {
        HANDLE held = ::CreateFileW((kDestination + L"Codec.dll").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        CFilePlacer placer(context);
        VLStringArray registrationList;
        CPlaceResult placed =
            placer.PlaceFile(source + L"Codec.dll", destination + L"Codec.dll", kModeAlwaysOverwrite, &registrationList);
        ::CloseHandle(held);
        EXPECT_TRUE(placed.Deferred);
        placer.StageForCompletion(source + L"VLShellExt.dll", destination + L"VLShellExt.dll", false);
        placer.StageForCompletion((kPackage + L"Packages\\Dark.qbp").c_str(), VLString(), true);
    }
    // What the cleaning step leaves when obsolete files are in use.
    options.PendingInstalls.InsertAt(0, destination + L"Old Player.exe|_DELETEFILE");
    options.PendingInstalls.Add(destination + L"Old Codec.dll|_DELETEFILE");
    ASSERT_EQ(options.PendingInstalls.GetCount(), 4);
    ASSERT_TRUE(options.RestartRequired);
    // The previous install count, kept in the machine's settings.
    SetSetting(HKEY_LOCAL_MACHINE, L"Installer", L"Install - Install Count", 4);

    CCompletionJob job;
    job.Options = &options;
    job.MainProgramFile = L"Auralis.exe";
    job.Host = &host;
    CCompletionResult result = CInstallCompletion::Run(job);

    const std::wstring d = kDestination, staging = kDestination + L"Setup\\";
    std::vector<std::pair<std::wstring, std::wstring>> want = {
        {L"Delete File (0)", d + L"Old Player.exe|_DELETEFILE"},
        {L"Delete File (1)", d + L"Old Codec.dll|_DELETEFILE"},
        {L"Install File (0)", d + L"VLShellExt.dll|" + staging + L"VLShellExt.dll"},
        {L"Install File (1)", L"|" + staging + L"Dark.qbp"},
        {L"Register File (0)", d + L"Codec.dll|_REGISTERFILE"},
    };
    EXPECT_EQ(ReadValues(HKEY_LOCAL_MACHINE, SettingsPath(L"Installer\\Finalize")), want);
    EXPECT_EQ(RunOnceEntry(), L"\"" + d + L"PackageInstaller.exe\" \"/FinishInstall\"");

    EXPECT_TRUE(result.RestartNeeded);
    EXPECT_EQ(result.Mode, ECompletionMode::RestartWindows);
    EXPECT_EQ(options.PendingInstalls.GetCount(), 0);
    EXPECT_EQ(options.PendingRegistrations.GetCount(), 1);  // only the installs are emptied

    // Counters of a first install.
    EXPECT_EQ(GetSetting(HKEY_CURRENT_USER, L"Properties", L"Install - First Install", 7), 1u);
    EXPECT_EQ(GetSetting(HKEY_CURRENT_USER, L"Properties", L"Install - Number Runs Total", 7), 0u);
    EXPECT_EQ(GetSetting(HKEY_CURRENT_USER, L"Properties", L"Install - Number Runs After Last Install", 7), 0u);
    EXPECT_EQ(GetSetting(HKEY_LOCAL_MACHINE, L"Installer", L"Install - Install Count", 0), 5u);
}

TEST_F(FinishTest, NothingDeferredWritesNoFinalizeValuesAndNoRunOnceEntry)
{
    CToolsEngineHost host(s_tools, nullptr);
    CCompletionJob job;
    job.Options = &options;
    job.Host = &host;
    CCompletionResult result = CInstallCompletion::Run(job);
    EXPECT_FALSE(result.RestartNeeded);
    EXPECT_EQ(result.Mode, ECompletionMode::RunProgram);
    EXPECT_TRUE(ReadValues(HKEY_LOCAL_MACHINE, SettingsPath(L"Installer\\Finalize")).empty());
    EXPECT_EQ(RunOnceEntry(), L"<none>");

    // The same with NoRun: nothing to do at the end.
    options.NoRun = true;
    EXPECT_EQ(CInstallCompletion::Run(job).Mode, ECompletionMode::Nothing);
}

TEST_F(FinishTest, ProductProgramsRegisterThemselvesUnlessTheProductIsTheMediaServer)
{
    const VLString destination = kDestination.c_str();
    CWin32ComponentRunner runner;

    // Neither program installed: nothing starts.
    CInstallCompletion::RegisterProductPrograms(runner, destination, L"Auralis.exe", 15000);
    EXPECT_TRUE(Starts().empty());

    ASSERT_TRUE(CopyStandin(kDestination + L"Auralis.exe"));
    ASSERT_TRUE(CopyStandin(kDestination + L"VLService.exe"));
    ASSERT_TRUE(CopyStandin(kDestination + L"HovanServer.exe"));
    CInstallCompletion::RegisterProductPrograms(runner, destination, L"Auralis.exe", 15000);
    EXPECT_EQ(Starts(), (std::vector<std::wstring>{L"Auralis.exe /Register", L"VLService.exe /Register"}));

    ::DeleteFileW(kJournal.c_str());
    for (const wchar_t* server : {L"HovanServer.exe", L"hovanserver.exe"})
        CInstallCompletion::RegisterProductPrograms(runner, destination, server, 15000);
    EXPECT_TRUE(Starts().empty());
}

// A main program that does not end within the limit is given up on (and
// ended); the service after it still registers.
TEST_F(FinishTest, RegistrationWaitEndsAtItsLimit)
{
    wchar_t system[MAX_PATH];
    ::GetSystemDirectoryW(system, MAX_PATH);
    // Notepad stays open until it is closed.
    ASSERT_TRUE(::CopyFileW((std::wstring(system) + L"\\notepad.exe").c_str(), (kDestination + L"Auralis.exe").c_str(),
                            FALSE));
    ASSERT_TRUE(CopyStandin(kDestination + L"VLService.exe"));
    CWin32ComponentRunner runner;
    CInstallCompletion::RegisterProductPrograms(runner, kDestination.c_str(), L"Auralis.exe", 1500);
    EXPECT_EQ(Starts(), std::vector<std::wstring>{L"VLService.exe /Register"});
}

// --- the page through the real window ---------------------------------------

TEST_F(FinishTest, RestartModeAsksAndRestartsOnlyOnRestart)
{
    options.RestartRequired = true;
    options.PendingRegistrations.Add((kDestination + L"Codec.dll|_REGISTERFILE").c_str());
    ASSERT_TRUE(CopyStandin(kDestination + L"Auralis.exe"));
    std::vector<std::wstring> texts;
    std::wstring boxText;
    bool checked = false, backShown = true, cancelEnabled = true, runBox = true, cancelled = false,
         stayed = false, restarted = false;
    int restartsAfterCancel = -1;
    int result = RunFinishPage([&](HWND w) {
        if (!WaitForPage(w, L"Install Complete"))
            return;
        Screenshot(w, "finish-restart");
        texts = StaticTexts(w);
        HWND box = FindButton(w, L"Restart Windows now");
        checked = box && ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
        runBox = FindButton(w, L"Run installed program now") != nullptr;
        backShown = IsEnabled(FindButton(w, L"< Back"));
        cancelEnabled = IsEnabled(FindButton(w, L"Cancel"));
        cancelled = Click(w, L"Finish") && AnswerBox(kPid, L"Confirm Restart", L"Cancel", &boxText);
        ::Sleep(400);
        stayed = ::IsWindowVisible(w) && Header(w).rfind(L"<b>Install Complete</b>", 0) == 0;
        restartsAfterCancel = static_cast<int>(shutdown.Calls.size());
        restarted = Click(w, L"Finish") && AnswerBox(kPid, L"Confirm Restart", L"Restart");
        for (int i = 0; i < 100 && ::IsWindowVisible(w); ++i)
            ::Sleep(50);
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(restartNeeded);
    EXPECT_EQ(mode, ECompletionMode::RestartWindows);
    EXPECT_TRUE(Contains(texts, L"Install Wizard could not copy all files.  Windows must be restarted to complete "
                                L"setup."));
    EXPECT_TRUE(checked);
    EXPECT_FALSE(runBox);
    EXPECT_FALSE(backShown);
    EXPECT_FALSE(cancelEnabled);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(boxText, L"Please save your work and close any open programs.\r\n\r\nThen click 'Restart' to restart "
                       L"your computer and finish installation.");
    EXPECT_TRUE(stayed);
    EXPECT_EQ(restartsAfterCancel, 0);
    EXPECT_TRUE(restarted);
    EXPECT_EQ(shutdown.Calls, std::vector<UINT>{CSystemShutdown::kRestartFlags});
    EXPECT_FALSE(Exists(Journal()));
    // The completion program is set up for the file replaced at restart.
    EXPECT_EQ(ReadValues(HKEY_LOCAL_MACHINE, SettingsPath(L"Installer\\Finalize")),
              (std::vector<std::pair<std::wstring, std::wstring>>{
                  {L"Register File (0)", kDestination + L"Codec.dll|_REGISTERFILE"}}));
    EXPECT_NE(RunOnceEntry(), L"<none>");
    EXPECT_EQ(Starts(), std::vector<std::wstring>{L"Auralis.exe /Register"});
}

TEST_F(FinishTest, RunModeWritesTheJournalOnlyWithTheBoxTicked)
{
    ASSERT_TRUE(CopyStandin(kDestination + L"Auralis.exe"));
    for (int untick = 0; untick < 2; ++untick) {
        ::DeleteFileW(Journal().c_str());
        std::vector<std::wstring> texts;
        bool checked = false, restartBox = true, finished = false;
        int result = RunFinishPage([&](HWND w) {
            if (!WaitForPage(w, L"Install Complete"))
                return;
            if (!untick)
                Screenshot(w, "finish-run");
            texts = StaticTexts(w);
            HWND box = FindButton(w, L"Run installed program now");
            checked = box && ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
            restartBox = FindButton(w, L"Restart Windows now") != nullptr;
            if (untick)
                Click(w, L"Run installed program now");
            finished = Click(w, L"Finish");
            for (int i = 0; i < 100 && ::IsWindowVisible(w); ++i)
                ::Sleep(50);
        });
        EXPECT_EQ(result, 1) << untick;
        EXPECT_TRUE(finished) << untick;
        EXPECT_FALSE(restartNeeded) << untick;
        EXPECT_TRUE(Contains(texts, L"Installation successfully completed.")) << untick;
        EXPECT_TRUE(checked) << untick;
        EXPECT_FALSE(restartBox) << untick;
        EXPECT_TRUE(shutdown.Calls.empty()) << untick;
        if (untick)
            EXPECT_FALSE(Exists(Journal()));
        else
            EXPECT_EQ(ReadBytes(Journal()), "\xFF\xFE" + Utf16Le(L"VLFI0001\r\n" + kDestination + L"Auralis.exe"));
    }
}

TEST_F(FinishTest, NoRunModeOffersNothingAndWritesNothing)
{
    options.NoRun = true;
    ASSERT_TRUE(CopyStandin(kDestination + L"Auralis.exe"));
    std::vector<std::wstring> texts;
    bool anyBox = true, finished = false;
    int result = RunFinishPage([&](HWND w) {
        if (!WaitForPage(w, L"Install Complete"))
            return;
        Screenshot(w, "finish-norun");
        texts = StaticTexts(w);
        anyBox = FindButton(w, L"Run installed program now") || FindButton(w, L"Restart Windows now");
        finished = Click(w, L"Finish");
        for (int i = 0; i < 100 && ::IsWindowVisible(w); ++i)
            ::Sleep(50);
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(finished);
    EXPECT_EQ(mode, ECompletionMode::Nothing);
    EXPECT_TRUE(Contains(texts, L"Installation successfully completed."));
    EXPECT_FALSE(anyBox);
    EXPECT_FALSE(Exists(Journal()));
}

// Express with the run mode and Silent with a restart skip the page: the
// first leaves the journal as if Finish had been pressed, the second neither
// asks nor restarts nor leaves a journal.
TEST_F(FinishTest, SkippedPageFinishesByItself)
{
    ASSERT_TRUE(CopyStandin(kDestination + L"Auralis.exe"));
    struct Case {
        const char* why;
        bool express, silent, restart;
        bool journal;
    };
    const Case cases[] = {
        {"express, run mode", true, false, false, true},
        {"silent, restart needed", false, true, true, false},
        {"silent, run mode", false, true, false, false},
    };
    for (const Case& c : cases) {
        options = InstallOptionsData();
        options.DestinationFolder = kDestination.c_str();
        options.Express = c.express;
        options.Silent = c.silent;
        options.RestartRequired = c.restart;
        ::DeleteFileW(Journal().c_str());
        shutdown.Calls.clear();
        int result = RunFinishPage(nullptr);
        EXPECT_EQ(result, 1) << c.why;
        EXPECT_TRUE(NoBox(kPid)) << c.why;
        EXPECT_TRUE(shutdown.Calls.empty()) << c.why;
        EXPECT_EQ(Exists(Journal()), c.journal) << c.why;
    }
}
