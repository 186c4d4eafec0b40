// The real Setup.exe on a copy of the sample package, in a prefix of its own
// that starts fresh with every run: a silent install checked file by file and
// value by value, the same package again with "AllowDowngrade" 0, a program
// file held open without sharing, a locked core module answered Retry and
// then Cancel, and a portable install through the wizard's pages.
#include "StandinJournal.h"
#include "VLTestAutomation.h"
#include "WizardDriver.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <chrono>
#include <functional>
#include <cstdlib>
#include <string>
#include <vector>

using namespace vltest;

namespace {

constexpr DWORD kWait = 120000;  // a cold start in a fresh prefix is slow
const std::wstring kRoot = L"C:\\VLEndToEnd\\";
const std::wstring kPackage = kRoot + L"Package\\";
const std::wstring kJournal = kRoot + L"journal.txt";
const std::wstring kDestination = L"C:\\Program Files\\Velmora Group\\Auralis 22\\";
const wchar_t kSettingsKey[] = L"Software\\Velmora Labs\\Quenbox";
const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Auralis 22";
const wchar_t kInstallationsKey[] = L"Software\\Velmora Labs\\Nuvicore\\Installations";

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

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

LONGLONG SizeOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Relative paths of every file below folder (with a trailing backslash).
void ListFiles(const std::wstring& folder, const std::wstring& relative, std::vector<std::wstring>& files)
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
            ListFiles(folder, relative + name + L"\\", files);
        else
            files.push_back(relative + name);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
}

void CopyTree(const std::wstring& from, const std::wstring& to)
{
    ::CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((from + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(from + name + L"\\", to + name + L"\\");
        else
            ::CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
}

void DeleteTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(path + L"\\");
            } else {
                ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(folder.c_str());
}

bool WriteText(const std::wstring& path, const std::string& text)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
    ::CloseHandle(file);
    return ok;
}

std::wstring RegText(HKEY root, const std::wstring& key, const wchar_t* name)
{
    wchar_t buffer[2048] = {};
    DWORD size = sizeof buffer;
    if (::RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buffer,
                       &size) != ERROR_SUCCESS)
        return L"<missing>";
    return buffer;
}

bool RegDword(HKEY root, const std::wstring& key, const wchar_t* name, DWORD& value)
{
    DWORD size = sizeof value;
    return ::RegGetValueW(root, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS;
}

// "a.b.c.d" of a file's version resource; empty without one.
std::wstring FileVersion(const std::wstring& path)
{
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (!size)
        return L"";
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
        return L"";
    return std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionMS)) +
           L"." + std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionLS));
}

std::wstring SystemFolder()
{
    wchar_t buffer[MAX_PATH];
    UINT length = ::GetSystemDirectoryW(buffer, MAX_PATH);
    return std::wstring(buffer, length) + L"\\";
}

std::wstring Wow64Folder()
{
    wchar_t buffer[MAX_PATH];
    UINT length = ::GetSystemWow64DirectoryW(buffer, MAX_PATH);
    return length && length < MAX_PATH ? std::wstring(buffer, length) + L"\\" : std::wstring();
}

std::wstring FontsFolder()
{
    wchar_t buffer[MAX_PATH];
    UINT length = ::GetWindowsDirectoryW(buffer, MAX_PATH);
    return std::wstring(buffer, length) + L"\\Fonts\\";
}

int CountRegistrations(const std::vector<StandinJournalEntry>& journal, const wchar_t* program)
{
    int count = 0;
    for (const StandinJournalEntry& e : journal)
        count += _wcsicmp(e.Program.c_str(), program) == 0 && e.Arguments == L"DllRegisterServer";
    return count;
}

// A file held open without any sharing until the object goes.
class HeldFile {
public:
    explicit HeldFile(const std::wstring& path)
        : m_handle(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr))
    {
    }
    ~HeldFile() { Release(); }
    bool IsHeld() const { return m_handle != INVALID_HANDLE_VALUE; }
    void Release()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle;
};

class EndToEndTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::wstring source = FromUnix("VL_BUILD_DIR", L"\\test-package\\");
        ASSERT_TRUE(Exists(source + L"Setup.exe")) << "sample package missing: " << Narrow(source);
        DeleteTree(kRoot);
        ::CreateDirectoryW(kRoot.c_str(), nullptr);
        CopyTree(source, kPackage);
        // The stand-ins and every program they start write here.
        ::SetEnvironmentVariableW(L"VL_STANDIN_JOURNAL", kJournal.c_str());
    }

    // Install.xml of the sample with the given downgrade rule and a short
    // promotion (two pictures in one second).
    static void WriteInstallXml(bool allowDowngrade)
    {
        std::string xml = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<VLIC version=\"1.0\">\n") +
                          "  <Settings><AllowDowngrade>" + (allowDowngrade ? "1" : "0") +
                          "</AllowDowngrade></Settings>\n"
                          "  <Installer><PromoCount>2</PromoCount>"
                          "<PromoMinimumMilliseconds>1000</PromoMinimumMilliseconds></Installer>\n"
                          "  <Product><Features>18;22;24;84;104;173;176</Features></Product>\n"
                          "</VLIC>\n";
        ASSERT_TRUE(WriteText(kPackage + L"Install.xml", xml));
    }

    void SetUp() override
    {
        WriteInstallXml(true);
        ::DeleteFileW(kJournal.c_str());
    }

    // Starts Setup.exe; `whileRunning` may answer boxes or drive the wizard.
    DWORD RunSetup(const std::wstring& arguments, const std::function<void(TestProcess&)>& whileRunning = {},
                   double* seconds = nullptr)
    {
        TestProcess setup;
        auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(setup.Start(kPackage + L"Setup.exe", arguments));
        if (whileRunning)
            whileRunning(setup);
        DWORD exitCode = 0xDEAD;
        if (!setup.Wait(kWait, exitCode)) {
            ADD_FAILURE() << "Setup.exe did not end";
            setup.Kill();
        }
        if (seconds)
            *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return exitCode;
    }

    static void ForgetInstallation()
    {
        DeleteTree(kDestination);
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kInstallationsKey);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey);
    }
};

// Waits for a box of the process with this caption and presses a button;
// returns its text.
std::wstring Answer(TestProcess& process, const wchar_t* caption, const wchar_t* button,
                    const std::function<void()>& beforePressing = {})
{
    for (int i = 0; i < 1200; ++i) {
        for (HWND box : FindProcessWindows(process.Id(), L"#32770")) {
            DialogContent content = ReadDialog(box);
            if (content.caption != caption)
                continue;
            if (beforePressing)
                beforePressing();
            EXPECT_TRUE(PressButton(content, button)) << Narrow(caption) << ": no button " << Narrow(button);
            return content.text;
        }
        if (!process.IsRunning())
            break;
        ::Sleep(50);
    }
    ADD_FAILURE() << "no box \"" << Narrow(caption) << "\"";
    return L"";
}

}  // namespace

TEST_F(EndToEndTest, SilentInstallPlacesEveryFileAndWritesTheRecords)
{
    ForgetInstallation();
    const std::wstring system = SystemFolder();
    const std::wstring olderBefore = FileVersion(system + L"olepro32.dll");
    ASSERT_FALSE(olderBefore.empty()) << "the prefix has no olepro32.dll to keep";
    // An older copy of a module the package carries in a newer version.
    const std::wstring olderModule = FromUnix("VL_BUILD_DIR", L"\\standins\\StandinServerOld.dll");
    ASSERT_TRUE(::CopyFileW(olderModule.c_str(), (system + L"VLCompat.dll").c_str(), FALSE));
    ASSERT_EQ(FileVersion(system + L"VLCompat.dll"), L"1.0.0.0");

    EXPECT_EQ(RunSetup(L"/Silent /DistributorID ACME"), 0u);

    // Every program file of the package, in its place and whole.
    std::vector<std::wstring> files;
    ListFiles(kPackage + L"Quenbox\\", L"", files);
    ASSERT_GT(files.size(), 550u);
    int missing = 0;
    for (const std::wstring& file : files) {
        if (SizeOf(kDestination + file) != SizeOf(kPackage + L"Quenbox\\" + file)) {
            if (++missing < 10)
                ADD_FAILURE() << "not placed: " << Narrow(file);
        }
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(SizeOf(kDestination + L"License.txt"), SizeOf(kPackage + L"license.txt"));
    EXPECT_EQ(FileVersion(kDestination + L"Auralis.exe"), L"22.0.1.1805");

    // System files: the check-version rule in each system pass; the launcher
    // (renamed at start-up) always overwritten.
    std::vector<std::wstring> systemFolders = {system};
    if (!Wow64Folder().empty())
        systemFolders.push_back(Wow64Folder());
    for (const std::wstring& folder : systemFolders) {
        SCOPED_TRACE(Narrow(folder));
        EXPECT_EQ(FileVersion(folder + L"VLCompat.dll"), L"3.0.0.0");  // newer than 1.0 or missing: copied
        EXPECT_TRUE(Exists(folder + L"VLCompat.txt"));                  // not a binary: always copied
        EXPECT_EQ(SizeOf(folder + L"Auralis Launcher.exe"),
                  SizeOf(kPackage + L"System\\Always Overwrite\\Auralis Launcher.exe"));
    }
    // Older: kept.
    EXPECT_EQ(FileVersion(system + L"olepro32.dll"), olderBefore);
    EXPECT_NE(SizeOf(system + L"olepro32.dll"), SizeOf(kPackage + L"System\\Check Version\\olepro32.dll"));
    EXPECT_EQ(SizeOf(FontsFolder() + L"DejaVuSans.ttf"), SizeOf(kPackage + L"Fonts\\DejaVuSans.ttf"));

    // Registration: listed files through DllRegisterServer once per pass and
    // file; core modules never.
    std::vector<StandinJournalEntry> journal = StandinJournalRead(kJournal);
    EXPECT_EQ(CountRegistrations(journal, L"in_qbx.dll"), 1);
    EXPECT_EQ(CountRegistrations(journal, L"VLEqualizer.dll"), 1);
    EXPECT_EQ(CountRegistrations(journal, L"VLCompat.dll"), static_cast<int>(systemFolders.size()));
    for (const wchar_t* core : {L"VLAudio.dll", L"VLImage.dll", L"VLReader.dll", L"VLDisc.dll", L"VLPlayer.dll",
                                L"VLWMFactory.dll", L"VLTelevision.dll"})
        EXPECT_EQ(CountRegistrations(journal, core), 0) << Narrow(core);

    // The uninstall entry, value by value.
    struct Value {
        const wchar_t* name;
        std::wstring want;
    };
    const Value uninstall[] = {
        {L"DisplayName", L"Auralis 22"},
        {L"HelpLink", L"https://www.velmora.example/auralis/"},
        {L"URLUpdateInfo", L"https://www.velmora.example/auralis/"},
        {L"URLInfoAbout", L"https://www.velmora.example/auralis/"},
        {L"InstallLocation", kDestination},
        {L"Publisher", L"Velmora, Inc."},
        {L"DisplayVersion", L"22.0.1.1805"},
        {L"DisplayIcon", kDestination + L"Data\\Custom Art\\application.ico"},
        {L"UninstallString", kDestination + L"VLMediaUninstall.exe"},
    };
    for (const Value& v : uninstall)
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, v.name), v.want) << Narrow(v.name);

    // The installations record and the installer values.
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kInstallationsKey, nullptr), L"Auralis 22");
    const std::wstring record = std::wstring(kInstallationsKey) + L"\\Auralis 22";
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, record, L"Path"), kDestination);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, record, L"Version"), L"22.0.1");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, record, L"Launcher Name"), L"Auralis Launcher.exe");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, record, L"Uninstall Key"), L"Auralis 22");
    DWORD os = 0;
    EXPECT_TRUE(RegDword(HKEY_LOCAL_MACHINE, record, L"OS Version", os));
    EXPECT_GE(os, 1000u);
    const std::wstring installer = std::wstring(kSettingsKey) + L"\\Installer";
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, installer, L"Distributor ID"), L"ACME");
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, installer, L"Install Directory"), kDestination);

    // The shell registration ran: the package type opens with the installed
    // package installer.
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, L".qbp", nullptr), L"Auralis.22.0.1.1805.Pack");
    EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, L"Auralis.22.0.1.1805.Pack\\shell\\open\\command", nullptr),
              L"\"" + kDestination + L"PackageInstaller.exe\" /Install \"%L\"");
}

TEST_F(EndToEndTest, ReinstallWithAllowDowngradeOffCopiesNothingAndStillWaits)
{
    ForgetInstallation();
    ASSERT_EQ(RunSetup(L"/Silent"), 0u);
    const std::wstring gone = kDestination + L"Help\\Deutsch\\Topics\\Topic 3.html";
    ASSERT_TRUE(::DeleteFileW(gone.c_str()));
    ::DeleteFileW(kJournal.c_str());

    WriteInstallXml(false);
    double seconds = 0;
    EXPECT_EQ(RunSetup(L"/Silent", {}, &seconds), 0u);
    EXPECT_FALSE(Exists(gone)) << "the same version was copied again";
    std::vector<StandinJournalEntry> journal = StandinJournalRead(kJournal);
    EXPECT_EQ(CountRegistrations(journal, L"in_qbx.dll"), 0);
    EXPECT_EQ(CountRegistrations(journal, L"VLCompat.dll"), 0);
    EXPECT_GE(seconds, 1.0);  // the finishing wait ran

    // With the downgrade rule off again the file comes back.
    WriteInstallXml(true);
    EXPECT_EQ(RunSetup(L"/Silent"), 0u);
    EXPECT_TRUE(Exists(gone));
}

TEST_F(EndToEndTest, TargetHeldOpenIsReplacedAtRestart)
{
    ForgetInstallation();
    const std::wstring target = kDestination + L"Skins\\Skin 2\\Panels\\Element 4.dat";
    ::SHCreateDirectoryExW(nullptr, (kDestination + L"Skins\\Skin 2\\Panels").c_str(), nullptr);
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                         L"PendingFileRenameOperations");
    const std::wstring module = kDestination + L"Plugins\\DSP\\VLEqualizer.dll";
    ::SHCreateDirectoryExW(nullptr, (kDestination + L"Plugins\\DSP").c_str(), nullptr);
    const std::wstring finalize = std::wstring(kSettingsKey) + L"\\Installer\\Finalize";
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, finalize.c_str());
    HeldFile held(target);
    HeldFile heldModule(module);
    ASSERT_TRUE(held.IsHeld());
    ASSERT_TRUE(heldModule.IsHeld());

    DWORD exitCode = RunSetup(L"/Silent");
    held.Release();
    heldModule.Release();
    // Installed; the held file waits for the restart, which the exit code says.
    EXPECT_EQ(exitCode, 3010u);
    const std::wstring staged = kDestination + L"Setup\\Element 4.dat";
    EXPECT_EQ(SizeOf(staged), SizeOf(kPackage + L"Quenbox\\Skins\\Skin 2\\Panels\\Element 4.dat"));
    EXPECT_EQ(SizeOf(target), 0);  // untouched until the restart

    // The move is in Windows' list of renames at restart: staged copy, then target.
    wchar_t buffer[8192] = {};
    DWORD size = sizeof buffer;
    ASSERT_EQ(::RegGetValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                             L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, buffer, &size),
              ERROR_SUCCESS);
    std::vector<std::wstring> entries;
    for (const wchar_t* p = buffer; *p; p += wcslen(p) + 1)
        entries.push_back(p);
    bool found = false;
    for (size_t i = 0; i + 1 < entries.size(); ++i) {
        auto ends = [](const std::wstring& text, const std::wstring& tail) {
            return text.size() >= tail.size() && _wcsicmp(text.c_str() + text.size() - tail.size(), tail.c_str()) == 0;
        };
        found |= ends(entries[i], L"Setup\\Element 4.dat") && ends(entries[i + 1], L"Panels\\Element 4.dat");
    }
    EXPECT_TRUE(found);
    // Every other file went in.
    EXPECT_TRUE(Exists(kDestination + L"Skins\\Skin 2\\Panels\\Element 5.dat"));

    // A module replaced at restart is registered only after it: it is in the
    // pending-registration list the completion hands on, not registered now.
    EXPECT_EQ(CountRegistrations(StandinJournalRead(kJournal), L"VLEqualizer.dll"), 0);
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, finalize, L"Register File (0)"), module + L"|_REGISTERFILE");
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, finalize, L"Install File (0)"), L"<missing>");  // nothing staged
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                         L"PendingFileRenameOperations");
}

TEST_F(EndToEndTest, LockedCoreModuleRetryAfterReleaseThenCancel)
{
    const std::wstring core = kDestination + L"VLPlayer.dll";
    const std::wstring want =
        L"Install Wizard could not copy necessary files to the destination folder.\r\n\r\n"
        L"Please ensure that the file '" + core + L"' is not in use.";

    // Retry once the lock is gone: the installation completes.
    ForgetInstallation();
    ::SHCreateDirectoryExW(nullptr, kDestination.c_str(), nullptr);
    {
        HeldFile held(core);
        ASSERT_TRUE(held.IsHeld());
        DWORD exitCode = RunSetup(L"/Silent", [&](TestProcess& setup) {
            std::wstring text = Answer(setup, L"Failure Copying System File", L"Retry", [&] { held.Release(); });
            EXPECT_EQ(text, want);
        });
        EXPECT_EQ(exitCode, 0u);
        EXPECT_EQ(SizeOf(core), SizeOf(kPackage + L"Quenbox\\VLPlayer.dll"));
        EXPECT_TRUE(Exists(kDestination + L"Auralis.exe"));
    }

    // Cancel: the critical-error box, then the wizard ends cancelled and
    // nothing after the core modules is done.
    ForgetInstallation();
    ::SHCreateDirectoryExW(nullptr, kDestination.c_str(), nullptr);
    {
        HeldFile held(core);
        ASSERT_TRUE(held.IsHeld());
        DWORD exitCode = RunSetup(L"/Silent", [&](TestProcess& setup) {
            EXPECT_EQ(Answer(setup, L"Failure Copying System File", L"Cancel"), want);
            EXPECT_EQ(Answer(setup, L"Install Error", L"OK"),
                      L"Install Wizard encountered a critical error and must close.\r\n\r\n"
                      L"It is recommended that you reboot your computer and install again.\r\n\r\n"
                      L"If this error persists, please uninstall and then install again.");
        });
        EXPECT_EQ(exitCode, 1602u);
        EXPECT_FALSE(Exists(kDestination + L"Auralis.exe"));
        EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"<missing>");
    }
}

TEST_F(EndToEndTest, PortableInstallLeavesSystemFilesFontsAndRecordsAlone)
{
    using namespace wizardtest;
    ForgetInstallation();
    const std::wstring portable = L"C:\\Portable Auralis\\";
    DeleteTree(portable);
    for (const std::wstring& file : {SystemFolder() + L"VLCompat.dll", SystemFolder() + L"VLCompat.txt",
                                     FontsFolder() + L"DejaVuSans.ttf"}) {
        ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(file.c_str());
    }

    DWORD exitCode = RunSetup(L"", [&](TestProcess& setup) {
        HWND w = WaitForWizard(setup.Id(), kWait);
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(WaitForPage(w, L"Welcome", 30000));
        ASSERT_TRUE(Click(w, L"Accept"));
        ASSERT_TRUE(WaitForPage(w, L"Setup Type"));
        ASSERT_TRUE(Click(w, L"Custom"));
        ASSERT_TRUE(Click(w, L"Next >"));
        for (int i = 0; i < 200 && !FindButton(w, L"Portable install"); ++i)
            ::Sleep(25);
        ::Sleep(400);  // the wizard's click guard
        ASSERT_TRUE(Click(w, L"Portable install"));
        ASSERT_TRUE(Click(w, L"Next >"));
        ASSERT_TRUE(WaitForPage(w, L"Destination Folder"));
        ASSERT_TRUE(TypeFolder(w, portable.c_str()));
        ASSERT_TRUE(Click(w, L"Next >"));
        ASSERT_TRUE(WaitForPage(w, L"Install Complete", 60000));
        ASSERT_TRUE(Click(w, L"Finish"));
    });
    EXPECT_EQ(exitCode, 0u);

    EXPECT_EQ(FileVersion(portable + L"Auralis.exe"), L"22.0.1.1805");
    EXPECT_TRUE(Exists(portable + L"Skins\\Skin 8\\Fonts\\Element 15.dat"));
    EXPECT_FALSE(Exists(SystemFolder() + L"VLCompat.dll"));
    EXPECT_FALSE(Exists(SystemFolder() + L"VLCompat.txt"));
    EXPECT_FALSE(Exists(FontsFolder() + L"DejaVuSans.ttf"));
    HKEY key = nullptr;
    EXPECT_NE(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInstallationsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    if (key)
        ::RegCloseKey(key);
    EXPECT_EQ(RegText(HKEY_CURRENT_USER, std::wstring(kSettingsKey) + L"\\Installer", L"Install Directory"), portable);
    DeleteTree(portable);
}
