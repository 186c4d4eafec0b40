// One interactive install of the sample package by the real Setup.exe, in a
// prefix of its own made fresh for every run, driven through its windows the
// way a user goes: the licence (Accept), Custom, Normal, a typed destination,
// the copy step, the file association and shortcuts pages, the finish page
// with "Run installed program now", Finish. Then everything the install
// leaves is checked: the files, the uninstall entry, the installations
// record, the installer values and counters, the shell registration values
// (the AutoPlay ones in both registry views), the product's "/Register"
// start and Finish.txt byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "StandinJournal.h"
#include "VLTestAutomation.h"
#include "WizardDriver.h"

using namespace wizardtest;

namespace {

const std::wstring kRoot = L"C:\\VLRoad\\";
const std::wstring kPackage = kRoot + L"Package\\";
const std::wstring kJournal = kRoot + L"journal.txt";
// Typed without the closing backslash; a space on the way to catch bad quoting.
const wchar_t kTyped[] = L"C:\\VLRoad\\Media Apps\\Auralis 22";
const std::wstring kDest = std::wstring(kTyped) + L"\\";
const wchar_t kSettingsKey[] = L"Software\\Velmora Labs\\Quenbox";
const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Auralis 22";
const wchar_t kInstallationsKey[] = L"Software\\Velmora Labs\\Nuvicore\\Installations";
const wchar_t kAutoplayKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\";
// Name form 2 and the version designation of the sample's product document.
const wchar_t kProgId[] = L"Auralis.22.0.1.1805";

std::wstring FromUnix(const char* variable, const wchar_t* tail)
{
    const char* value = std::getenv(variable);
    std::wstring path = L"Z:";
    for (const char* p = value ? value : ""; *p; ++p)
        path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    return path + tail;
}

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

LONGLONG SizeOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Calls `visit` with the relative path of every file below `folder`.
template <class F>
void ForEachFile(const std::wstring& folder, const std::wstring& relative, F&& visit)
{
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((folder + relative + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ForEachFile(folder, relative + name + L"\\", visit);
        else
            visit(relative + name);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
}

bool CopyTree(const std::wstring& from, const std::wstring& to)
{
    bool ok = true;
    ForEachFile(from, L"", [&](const std::wstring& file) {
        // Create the folders on the way.
        for (size_t at = file.find(L'\\'); at != std::wstring::npos; at = file.find(L'\\', at + 1))
            ::CreateDirectoryW((to + file.substr(0, at)).c_str(), nullptr);
        ok = ::CopyFileW((from + file).c_str(), (to + file).c_str(), FALSE) && ok;
    });
    return ok;
}

std::string ReadBytes(const std::wstring& path)
{
    std::string bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    ::CloseHandle(file);
    return bytes;
}

// A registry value as text for comparing: "<missing>", the string itself, or
// "dword:<n>". `view` is 0, KEY_WOW64_64KEY or KEY_WOW64_32KEY.
std::wstring RegValue(HKEY root, const std::wstring& key, const wchar_t* name, REGSAM view = 0)
{
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
        return L"<missing>";
    BYTE data[4096] = {};
    DWORD type = 0, size = sizeof data - sizeof(wchar_t);
    LONG result = ::RegQueryValueExW(opened, name, nullptr, &type, data, &size);
    ::RegCloseKey(opened);
    if (result != ERROR_SUCCESS)
        return L"<missing>";
    if (type == REG_DWORD)
        return L"dword:" + std::to_wstring(*reinterpret_cast<DWORD*>(data));
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return L"<type " + std::to_wstring(type) + L">";
    return reinterpret_cast<const wchar_t*>(data);
}

std::wstring PageTitle(HWND wizard)
{
    std::wstring header = Header(wizard);
    size_t end = header.find(L"</b>");
    return header.rfind(L"<b>", 0) == 0 && end != std::wstring::npos ? header.substr(3, end - 3) : header;
}

// Waits for the page with this title; fails the test when a box shows
// instead (its caption and text in the message) or the time runs out.
// `passed` collects the titles shown on the way, in order.
::testing::AssertionResult ReachPage(DWORD processId, HWND wizard, const wchar_t* title, DWORD timeoutMs,
                                     std::vector<std::wstring>* passed = nullptr)
{
    ULONGLONG until = ::GetTickCount64() + timeoutMs;
    while (::GetTickCount64() < until && ::IsWindow(wizard)) {
        std::wstring shown = PageTitle(wizard);
        if (passed && !shown.empty() && (passed->empty() || passed->back() != shown))
            passed->push_back(shown);
        if (shown == title)
            return WaitForPage(wizard, title, 1000) ? ::testing::AssertionSuccess()
                                                    : ::testing::AssertionFailure() << "page left again";
        for (HWND box : vltest::FindProcessWindows(processId, L"#32770")) {
            vltest::DialogContent content = vltest::ReadDialog(box);
            return ::testing::AssertionFailure() << "box \"" << Narrow(content.caption) << "\": "
                                                 << Narrow(content.text) << " (waiting for " << Narrow(title) << ")";
        }
        ::Sleep(15);
    }
    return ::testing::AssertionFailure() << "no page \"" << Narrow(title) << "\"; on \"" << Narrow(PageTitle(wizard))
                                         << "\"";
}

bool WaitForButton(HWND wizard, const wchar_t* text)
{
    for (int i = 0; i < 200; ++i) {
        if (FindButton(wizard, text))
            return true;
        ::Sleep(25);
    }
    return false;
}

bool IsChecked(HWND wizard, const wchar_t* text)
{
    HWND button = FindButton(wizard, text);
    return button && ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

struct Expected {
    HKEY root;
    std::wstring key;
    const wchar_t* name;  // null: the key's default value
    std::wstring want;
};

}  // namespace

TEST(Road, InteractiveInstallFromTheLicenceToFinish)
{
    const std::wstring source = FromUnix("VL_BUILD_DIR", L"\\test-package\\");
    ASSERT_NE(SizeOf(source + L"Setup.exe"), -1) << "sample package missing: " << Narrow(source);
    ::CreateDirectoryW(kRoot.c_str(), nullptr);
    ::CreateDirectoryW(kPackage.c_str(), nullptr);
    ASSERT_TRUE(CopyTree(source, kPackage));
    ::SetEnvironmentVariableW(L"VL_STANDIN_JOURNAL", kJournal.c_str());

    vltest::TestProcess setup;
    ASSERT_TRUE(setup.Start(kPackage + L"Setup.exe", L""));
    HWND w = WaitForWizard(setup.Id(), 120000);  // a cold start in a fresh prefix is slow
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Caption(w), L"Auralis 22 - Install Wizard");

    // The licence, then Custom on the setup-type page.
    ASSERT_TRUE(ReachPage(setup.Id(), w, L"Welcome", 30000));
    ASSERT_TRUE(Click(w, L"Accept"));
    ASSERT_TRUE(ReachPage(setup.Id(), w, L"Setup Type", 10000));
    ASSERT_TRUE(WaitForButton(w, L"Custom"));
    EXPECT_TRUE(IsChecked(w, L"Express"));
    ASSERT_TRUE(Click(w, L"Custom"));
    ASSERT_TRUE(Click(w, L"Next >"));
    // The custom page shares the header; its choices show when it is shown.
    ASSERT_TRUE(WaitForButton(w, L"Portable install"));
    ::Sleep(400);
    EXPECT_TRUE(IsChecked(w, L"Normal install to a computer"));
    ASSERT_TRUE(Click(w, L"Next >"));

    // The destination, typed over the default.
    ASSERT_TRUE(ReachPage(setup.Id(), w, L"Destination Folder", 10000));
    EXPECT_EQ(FolderText(w), L"C:\\Program Files\\Velmora Group\\Auralis 22\\");
    ASSERT_TRUE(TypeFolder(w, kTyped));
    ASSERT_TRUE(Click(w, L"Next >"));

    // The copy step runs through and moves on by itself to the file
    // association page; the user cannot go back into it.
    std::vector<std::wstring> passed;
    ASSERT_TRUE(ReachPage(setup.Id(), w, L"File Associations", 300000, &passed));
    EXPECT_NE(std::find(passed.begin(), passed.end(), L"Copying Files"), passed.end());
    EXPECT_FALSE(IsEnabled(FindButton(w, L"< Back")));
    ASSERT_TRUE(Click(w, L"Next >"));
    ASSERT_TRUE(ReachPage(setup.Id(), w, L"Create Shortcuts", 10000));
    ASSERT_TRUE(Click(w, L"Next >"));
    ASSERT_TRUE(ReachPage(setup.Id(), w, L"Install Complete", 60000));
    ASSERT_TRUE(IsChecked(w, L"Run installed program now"));
    ASSERT_TRUE(Click(w, L"Finish"));
    DWORD exitCode = 0xDEAD;
    ASSERT_TRUE(setup.Wait(60000, exitCode));
    EXPECT_EQ(exitCode, 0u);

    // Finish.txt: UTF-16 LE with its mark, the tag, CRLF, the main program.
    const std::wstring finish = L"\xFEFF" L"VLFI0001\r\n" + kDest + L"Auralis.exe";
    EXPECT_EQ(ReadBytes(kPackage + L"Finish.txt"),
              std::string(reinterpret_cast<const char*>(finish.data()), finish.size() * sizeof(wchar_t)));

    // Every program file of the package, whole, in the typed folder.
    int files = 0, missing = 0;
    ForEachFile(kPackage + L"Quenbox\\", L"", [&](const std::wstring& file) {
        ++files;
        if (SizeOf(kDest + file) != SizeOf(kPackage + L"Quenbox\\" + file) && ++missing <= 10)
            ADD_FAILURE() << "not placed: " << Narrow(file);
    });
    EXPECT_GT(files, 550);
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(SizeOf(kDest + L"License.txt"), SizeOf(kPackage + L"license.txt"));

    const std::wstring record = std::wstring(kInstallationsKey) + L"\\Auralis 22";
    const std::wstring settings = kSettingsKey;
    const std::wstring progId = kProgId;
    const std::wstring launcher = kDest + L"Auralis Launcher.exe";
    const std::wstring openWithLauncher = L"\"" + launcher + L"\" /Play \"%L\"";
    const std::wstring fileIcon = L"\"" + kDest + L"Data\\Default Art\\fileimage.ico\"";  // no custom one
    const std::wstring keyboard = L"SOFTWARE\\Microsoft\\Keyboard\\Native Media Players\\Auralis";
    const std::wstring netscape = L"Software\\Netscape\\Netscape Navigator\\User Trusted External Applications";
    const Expected values[] = {
        // The uninstall entry.
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName", L"Auralis 22"},
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation", kDest},
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"Publisher", L"Velmora, Inc."},
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion", L"22.0.1.1805"},
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayIcon", kDest + L"Data\\Custom Art\\application.ico"},
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString", kDest + L"VLMediaUninstall.exe"},
        {HKEY_LOCAL_MACHINE, kUninstallKey, L"HelpLink", L"https://www.velmora.example/auralis/"},
        // The installations record.
        {HKEY_LOCAL_MACHINE, kInstallationsKey, nullptr, L"Auralis 22"},
        {HKEY_LOCAL_MACHINE, record, L"Path", kDest},
        {HKEY_LOCAL_MACHINE, record, L"Version", L"22.0.1"},
        {HKEY_LOCAL_MACHINE, record, L"Launcher Name", L"Auralis Launcher.exe"},
        {HKEY_LOCAL_MACHINE, record, L"Uninstall Key", L"Auralis 22"},
        // The installer values and counters of a first install.
        {HKEY_CURRENT_USER, settings + L"\\Installer", L"Install Directory", kDest},
        {HKEY_CURRENT_USER, settings + L"\\Properties", L"Install - First Install", L"dword:1"},
        {HKEY_LOCAL_MACHINE, settings + L"\\Installer", L"Install - Install Count", L"dword:1"},
        // Nothing waited for a restart, so no completion run is scheduled.
        {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", L"Install Wizard Completion",
         L"<missing>"},
        // The shell registration, a line or more of every block.
        {HKEY_CLASSES_ROOT, progId + L".File", nullptr, L"Auralis file"},
        {HKEY_CLASSES_ROOT, progId + L".File\\shell", nullptr, L"Play"},
        {HKEY_CLASSES_ROOT, progId + L".File\\shell\\open\\command", nullptr, openWithLauncher},
        {HKEY_CLASSES_ROOT, progId + L".File\\shell\\Play", nullptr, L"&Play in Auralis"},
        {HKEY_CLASSES_ROOT, progId + L".File\\DefaultIcon", nullptr, fileIcon},
        {HKEY_CLASSES_ROOT, L"Applications\\Auralis Launcher.exe\\shell\\Play\\command", nullptr, openWithLauncher},
        {HKEY_CLASSES_ROOT, progId + L".Pack", L"BrowserFlags", L"dword:8"},
        {HKEY_CLASSES_ROOT, progId + L".Pack", L"EditFlags", L"dword:65536"},
        {HKEY_CLASSES_ROOT, progId + L".Pack", L"Content Type", L"application/x-quenbox-qbp"},
        {HKEY_CLASSES_ROOT, progId + L".Pack\\shell\\open\\command", nullptr,
         L"\"" + kDest + L"PackageInstaller.exe\" /Install \"%L\""},
        {HKEY_CLASSES_ROOT, progId + L".Subscribe\\shell\\open\\command", nullptr,
         L"\"" + launcher + L"\" /Subscribe \"%L\""},
        {HKEY_CLASSES_ROOT, L".qbp", nullptr, progId + L".Pack"},
        {HKEY_CLASSES_ROOT, L".mpl", nullptr, progId + L".Playlist"},
        {HKEY_CLASSES_ROOT, L"MIME\\Database\\Content Type\\application/rss+xml", L"Extension", L".rss"},
        {HKEY_CURRENT_USER, netscape, launcher.c_str(), L"Yes"},
        {HKEY_CLASSES_ROOT, progId + L".PlayDVDVideo\\shell\\Play\\command", nullptr,
         L"\"" + launcher + L"\" /DVDVideo \"%L\""},
        {HKEY_CLASSES_ROOT, progId + L".Start\\DefaultIcon", nullptr, L"\"" + kDest + L"Auralis.exe\",1"},
        {HKEY_CURRENT_USER, keyboard, L"AppName", L"Auralis"},
        {HKEY_CURRENT_USER, keyboard, L"ExePath", kDest + L"Auralis.exe"},
    };
    for (const Expected& v : values)
        EXPECT_EQ(RegValue(v.root, v.key, v.name), v.want) << Narrow(v.key) << " | " << Narrow(v.name ? v.name : L"");

    // AutoPlay lines reach both registry views.
    const std::wstring handlers = std::wstring(kAutoplayKey) + L"Handlers\\";
    const Expected autoplay[] = {
        {HKEY_LOCAL_MACHINE, std::wstring(kAutoplayKey) + L"EventHandlers\\PlayCDAudioOnArrival", L"VLRipCDOnArrival",
         L""},
        {HKEY_LOCAL_MACHINE, std::wstring(kAutoplayKey) + L"EventHandlers\\ShowPicturesOnArrival",
         L"VLPlayMediaOnArrival", L""},
        {HKEY_LOCAL_MACHINE, handlers + L"VLMTPHandler", L"InitCmdLine", L"\"" + kDest + L"Auralis.exe\""},
        {HKEY_LOCAL_MACHINE, handlers + L"VLMTPHandler", L"Action", L"Synchronize media files to this device"},
        {HKEY_LOCAL_MACHINE, handlers + L"VLBurnCDOnArrival", L"InvokeProgID", progId + L".BurnCD"},
        {HKEY_LOCAL_MACHINE, handlers + L"VLBurnCDOnArrival", L"DefaultIcon", fileIcon},
        {HKEY_LOCAL_MACHINE, handlers + L"VLPlayDVDOnArrival", L"Provider", L"Auralis"},
    };
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        for (const Expected& v : autoplay)
            EXPECT_EQ(RegValue(v.root, v.key, v.name, view), v.want)
                << (view == KEY_WOW64_32KEY ? "32-bit view: " : "64-bit view: ") << Narrow(v.key) << " | "
                << Narrow(v.name);
    }

    // The product was started once with "/Register".
    int registered = 0;
    for (const StandinJournalEntry& e : StandinJournalRead(kJournal))
        registered += e.Program == L"Auralis.exe" && e.Arguments == L"/Register";
    EXPECT_EQ(registered, 1);
}
