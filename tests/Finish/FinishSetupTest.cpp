// The real Setup.exe on a copy of the sample package, driven through its
// windows as a user would: licence, Custom, Normal, a typed destination, the
// copy step, the pages after it, and the finish page with "Run installed
// program now". Checks what the finish leaves: Finish.txt naming the main
// program, the records, the counters and the product's "/Register" start.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "StandinJournal.h"
#include "VLTestAutomation.h"
#include "WizardDriver.h"
#include "WizardTestPackage.h"

using namespace wizardtest;

namespace {

const std::wstring kPackage = L"C:\\VLFinishSetup\\";
const std::wstring kDestination = L"C:\\VLFinishSetup Dest\\Auralis 22\\";
const std::wstring kJournal = L"C:\\VLFinishSetup Journal.txt";
const wchar_t kProductKey[] = L"Software\\Velmora Labs\\Quenbox";
const wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Auralis 22";

bool CopyTree(const std::wstring& from, const std::wstring& to)
{
    ::CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((from + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = CopyTree(from + name + L"\\", to + name + L"\\") && ok;
        else
            ok = ::CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE) && ok;
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
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
    while (::ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    ::CloseHandle(file);
    return bytes;
}

std::wstring ReadText(HKEY root, const std::wstring& key, const wchar_t* name)
{
    wchar_t data[1024] = {};
    DWORD size = sizeof(data);
    if (::RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return L"<none>";
    return data;
}

DWORD ReadDword(HKEY root, const std::wstring& key, const wchar_t* name)
{
    DWORD value = 0xFFFFFFFF, size = sizeof(value);
    ::RegGetValueW(root, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

void Clean()
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProductKey);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstall);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Velmora Labs\\Nuvicore\\Installations\\Auralis 22");
    ::SetFileAttributesW(kDestination.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteTree(kDestination);
    DeleteTree(L"C:\\VLFinishSetup Dest\\");
    DeleteTree(kPackage);
    ::DeleteFileW(kJournal.c_str());
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());  // for messages only
}

std::wstring PageTitle(HWND wizard)
{
    std::wstring header = Header(wizard);
    size_t end = header.find(L"</b>");
    return header.rfind(L"<b>", 0) == 0 && end != std::wstring::npos ? header.substr(3, end - 3) : header;
}

}  // namespace

TEST(FinishSetup, InteractiveInstallEndsWithFinishTxtNamingTheMainProgram)
{
    Clean();
    ASSERT_TRUE(CopyTree(BuildPath(L"test-package\\"), kPackage));
    ::SetEnvironmentVariableW(L"VL_STANDIN_JOURNAL", kJournal.c_str());

    vltest::TestProcess setup;
    ASSERT_TRUE(setup.Start(kPackage + L"Setup.exe", L""));
    HWND w = WaitForWizard(setup.Id(), 60000);
    ASSERT_NE(w, nullptr);

    bool toCopy = WaitForPage(w, L"Welcome", 30000) && Click(w, L"Accept") && WaitForPage(w, L"Setup Type") &&
                  Click(w, L"Custom") && Click(w, L"Next >");
    ASSERT_TRUE(toCopy);
    // The custom page shares the setup-type header; its choice appears when it is shown.
    for (int i = 0; i < 200 && !FindButton(w, L"Portable install"); ++i)
        ::Sleep(25);
    ::Sleep(400);
    ASSERT_TRUE(Click(w, L"Next >"));
    ASSERT_TRUE(WaitForPage(w, L"Destination Folder"));
    ASSERT_TRUE(TypeFolder(w, kDestination.c_str()));
    ASSERT_TRUE(Click(w, L"Next >"));

    // The copy step moves on by itself; the pages after it are answered
    // with their defaults. Any box on the way is a failure.
    std::vector<std::wstring> titles;
    std::wstring boxText;
    ULONGLONG until = ::GetTickCount64() + 300000;
    ULONGLONG stableSince = ::GetTickCount64();
    while (::GetTickCount64() < until && ::IsWindow(w)) {
        std::wstring title = PageTitle(w);
        if (titles.empty() || titles.back() != title) {
            titles.push_back(title);
            stableSince = ::GetTickCount64();
        }
        if (title == L"Install Complete")
            break;
        std::vector<HWND> boxes = vltest::FindProcessWindows(setup.Id(), L"#32770");
        if (!boxes.empty()) {
            vltest::DialogContent box = vltest::ReadDialog(boxes.front());
            boxText = box.caption + L": " + box.text;
            break;
        }
        if (::GetTickCount64() - stableSince > 1500 && IsEnabled(FindButton(w, L"Next >"))) {
            Click(w, L"Next >");
            stableSince = ::GetTickCount64();
        }
        ::Sleep(100);
    }
    EXPECT_EQ(boxText, L"");
    ASSERT_TRUE(WaitForPage(w, L"Install Complete", 1000)) << Narrow(PageTitle(w));
    // The pages after the destination, in their order.
    auto at = titles.begin();
    for (const wchar_t* page : {L"Copying Files", L"File Associations", L"Create Shortcuts"}) {
        at = std::find(at, titles.end(), page);
        EXPECT_NE(at, titles.end()) << Narrow(page);
    }

    HWND run = FindButton(w, L"Run installed program now");
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(::SendMessageW(run, BM_GETCHECK, 0, 0), BST_CHECKED);
    ASSERT_TRUE(Click(w, L"Finish"));
    DWORD exitCode = 99;
    ASSERT_TRUE(setup.Wait(60000, exitCode));
    EXPECT_EQ(exitCode, 0u);

    std::wstring want = L"\xFEFF" L"VLFI0001\r\n" + kDestination + L"Auralis.exe";
    EXPECT_EQ(ReadBytes(kPackage + L"Finish.txt"),
              std::string(reinterpret_cast<const char*>(want.data()), want.size() * sizeof(wchar_t)));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, kUninstall, L"InstallLocation"), kDestination);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, std::wstring(kProductKey) + L"\\Properties", L"Install - First Install"),
              1u);
    EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, std::wstring(kProductKey) + L"\\Installer", L"Install - Install Count"),
              1u);
    bool registered = false;
    for (const StandinJournalEntry& e : StandinJournalRead(kJournal))
        registered = registered || (e.Program == L"Auralis.exe" && e.Arguments == L"/Register");
    EXPECT_TRUE(registered);

    Clean();
}
