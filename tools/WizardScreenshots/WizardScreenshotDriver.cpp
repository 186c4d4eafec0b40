// Walks a running Setup.exe through its pages and asks for a screenshot of
// each: it writes "<folder>\request" holding the picture's name and waits
// until the script that takes the picture deletes the file.
//   WizardScreenshotDriver.exe <handshake folder>
#include <windows.h>

#include <cstdio>
#include <string>

#include "VLTestAutomation.h"
#include "WizardDriver.h"

using namespace wizardtest;

namespace {

std::wstring g_folder;

bool Shot(const std::wstring& name)
{
    std::wstring request = g_folder + L"request";
    HANDLE file = ::CreateFileW(request.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::string utf8(name.begin(), name.end());
    DWORD written = 0;
    ::WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    ::CloseHandle(file);
    for (int i = 0; i < 600 && ::GetFileAttributesW(request.c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
        ::Sleep(50);
    return true;
}

DWORD FindSetupProcess(HWND& wizard)
{
    for (int i = 0; i < 600; ++i) {
        for (HWND w = ::FindWindowExW(nullptr, nullptr, L"VLWizardPopupWnd", nullptr); w;
             w = ::FindWindowExW(nullptr, w, L"VLWizardPopupWnd", nullptr)) {
            if (::IsWindowVisible(w)) {
                DWORD pid = 0;
                ::GetWindowThreadProcessId(w, &pid);
                wizard = w;
                return pid;
            }
        }
        ::Sleep(100);
    }
    return 0;
}

std::wstring Title(const std::wstring& header)
{
    size_t start = header.find(L"<b>");
    size_t end = header.find(L"</b>");
    if (start == std::wstring::npos || end == std::wstring::npos)
        return L"page";
    std::wstring title = header.substr(start + 3, end - start - 3);
    for (wchar_t& c : title) {
        if (c == L' ')
            c = L'-';
    }
    return title;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    g_folder = argv[1];
    if (g_folder.back() != L'\\')
        g_folder += L'\\';
    HWND w = nullptr;
    DWORD pid = FindSetupProcess(w);
    if (!pid) {
        std::fputs("no wizard window\n", stderr);
        return 1;
    }
    if (!WaitForPage(w, L"Welcome"))
        return 1;
    Shot(L"01-welcome");
    Click(w, L"Accept");
    if (!WaitForPage(w, L"Setup Type"))
        return 1;
    Shot(L"02-setup-type");
    Click(w, L"Custom");
    Click(w, L"Next >");
    for (int i = 0; i < 100 && !FindButton(w, L"Portable install"); ++i)
        ::Sleep(50);
    ::Sleep(400);
    Shot(L"03-setup-type-custom");
    Click(w, L"Next >");
    if (!WaitForPage(w, L"Destination Folder"))
        return 1;
    Shot(L"04-destination-folder");
    TypeFolder(w, L"C:\\");
    Click(w, L"Next >");
    if (vltest::WaitForWindowOf(pid, L"#32770", 5000)) {
        ::Sleep(300);
        Shot(L"05-invalid-destination-box");
        AnswerBox(pid, L"Invalid Destination Folder", L"OK");
    }
    TypeFolder(w, L"C:\\Program Files\\Velmora Group\\Auralis 22\\");
    ::Sleep(400);
    Click(w, L"Next >");
    // The copy step and every page after it, until the wizard closes.
    std::wstring last;
    for (int n = 6; n < 20 && ::IsWindow(w) && ::IsWindowVisible(w);) {
        std::wstring header = Header(w);
        if (header != last && !header.empty()) {
            // Only a header that stays is photographed, and at once: the copy
            // step's headers pass quickly, and a picture taken late would show
            // the next one under this one's name.
            ::Sleep(250);
            if (Header(w) != header)
                continue;
            last = header;
            wchar_t prefix[8];
            std::swprintf(prefix, 8, L"%02d-", n++);
            Shot(prefix + Title(header));
            if (FindButton(w, L"Finish") || FindButton(w, L"Next >")) {
                HWND next = FindButton(w, L"Next >") ? FindButton(w, L"Next >") : FindButton(w, L"Finish");
                if (IsEnabled(next) && header.find(L"Installing") == std::wstring::npos &&
                    header.find(L"Copying") == std::wstring::npos)
                    ::PostMessageW(next, BM_CLICK, 0, 0);
            }
        }
        // Boxes on the way (a restart question, for example) are declined.
        if (HWND box = vltest::WaitForWindowOf(pid, L"#32770", 10)) {
            ::Sleep(300);
            Shot(L"box-" + std::to_wstring(n++));
            vltest::CancelDialog(box);
        }
        ::Sleep(100);
    }
    return 0;
}
