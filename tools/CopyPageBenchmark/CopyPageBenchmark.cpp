// The copy of "Quenbox\" in a silent install, measured through the real copy
// page (in this process, with the real tools module, its progress bar, timers
// and message pumping) against two floors on the same generated tree:
//   bare walk      - create each folder, CopyFileW per file;
//   required calls - per file the calls the placement rules require
//                    (attributes, delete, copy, attributes), a progress bar
//                    update when the position changes and a message pump.
// The page's copy is timed from its status "Installing ... program files..."
// to the next status. While it runs a second thread sends the wizard an empty
// message every 2 ms: the longest wait for an answer is the longest time the
// window did not pump. Prints figures; it is not a test.
//   CopyPageBenchmark.exe <tools module> <product document> [rounds [Setup.exe]]
// With Setup.exe it also runs the real installer silently on the same package
// and samples its working set from outside.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "CCopyAndInstallPpg.h"
#include "CInstallWizard.h"
#include "CWizardServices.h"
#include "VLLayoutUnits.h"

namespace {

const std::wstring kRoot = L"C:\\VLCopyBench\\";
const std::wstring kPackage = kRoot + L"Package\\";
const std::wstring kInstalled = kRoot + L"Installed\\";
const std::wstring kFloorTarget = kRoot + L"Floor\\";
constexpr int kFolders = 60;
constexpr int kFiles = 2000;
constexpr unsigned long long kTotalBytes = 100ull * 1024 * 1024;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
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
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(folder + name + L"\\");
            else
                ::DeleteFileW((folder + name).c_str());
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(folder.c_str());
}

bool WriteBytes(const std::wstring& path, const void* data, DWORD size)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file, data, size, &written, nullptr) && written == size;
    ::CloseHandle(file);
    return ok;
}

struct SourceFile {
    std::wstring relative;  // below "Quenbox\"
    unsigned long long size;
};

// 2,000 files in 60 folders (three levels deep), about 100 MB, sizes spread
// from a few hundred bytes to a few hundred kilobytes.
std::vector<SourceFile> MakeTree()
{
    std::vector<SourceFile> files;
    std::vector<char> block(400 * 1024, 'q');
    unsigned long long total = 0;
    unsigned seed = 12345;
    for (int i = 0; i < kFiles; ++i) {
        int folder = i % kFolders;
        std::wstring relative = L"Group " + std::to_wstring(folder / 12) + L"\\Set " + std::to_wstring(folder / 4) +
                                L"\\Part " + std::to_wstring(folder) + L"\\File " + std::to_wstring(i) + L".dat";
        seed = seed * 1103515245u + 12345u;
        unsigned long long size = 300 + (seed >> 8) % (2 * kTotalBytes / kFiles - 300);
        files.push_back({relative, size});
        total += size;
    }
    for (const SourceFile& f : files) {
        std::wstring path = kPackage + L"Quenbox\\" + f.relative;
        for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
            ::CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
        WriteBytes(path, block.data(), static_cast<DWORD>(f.size));
    }
    std::printf("Generated %d files in %d folders, %.1f MB\n", kFiles, kFolders, total / 1048576.0);
    return files;
}

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Deleting 100 MB and writing it again at once measures the file system's
// clean-up as much as the copy; the page run has its start-up in between.
void SettleAfterDelete()
{
    ::Sleep(2000);
}

double BareWalk(const std::vector<SourceFile>& files)
{
    DeleteTree(kFloorTarget);
    SettleAfterDelete();
    double start = Now();
    std::wstring lastFolder;
    for (const SourceFile& f : files) {
        std::wstring target = kFloorTarget + f.relative;
        std::wstring folder = target.substr(0, target.rfind(L'\\'));
        if (folder != lastFolder) {
            for (size_t at = target.find(L'\\', 3); at != std::wstring::npos; at = target.find(L'\\', at + 1))
                ::CreateDirectoryW(target.substr(0, at).c_str(), nullptr);
            lastFolder = folder;
        }
        ::CopyFileW((kPackage + L"Quenbox\\" + f.relative).c_str(), target.c_str(), FALSE);
    }
    return Now() - start;
}

// Sends `window` an empty message every 2 ms from another thread while it
// lives, as the page run gets them, and keeps the longest wait for an answer.
class PumpProbe {
public:
    explicit PumpProbe(HWND window) : m_thread([this, window] {
        while (!m_stop) {
            double sent = Now();
            bool counted = m_active;  // only waits that begin while measuring
            DWORD_PTR answer = 0;
            ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
            double wait = Now() - sent;
            if (counted && m_active && wait > m_longest)
                m_longest = wait;
            ::Sleep(2);
        }
    }) {}
    ~PumpProbe()
    {
        m_stop = true;
        m_thread.join();
    }
    void SetActive(bool active) { m_active = active; }
    double Longest() const { return m_longest; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_active{false};
    std::atomic<double> m_longest{0};
    std::thread m_thread;
};

double RequiredCalls(const std::vector<SourceFile>& files, HWND bar, double* longestGap)
{
    PumpProbe probe(::GetParent(bar));
    DeleteTree(kFloorTarget);
    SettleAfterDelete();
    unsigned long long total = 0, done = 0;
    for (const SourceFile& f : files)
        total += f.size;
    double start = Now();
    ::SendMessageW(bar, PBM_SETRANGE32, 0, 100);
    probe.SetActive(true);
    ::SendMessageW(bar, PBM_SETPOS, 0, 0);
    int position = 0;
    std::wstring lastFolder;
    for (const SourceFile& f : files) {
        std::wstring target = kFloorTarget + f.relative;
        std::wstring folder = target.substr(0, target.rfind(L'\\'));
        if (folder != lastFolder) {
            for (size_t at = target.find(L'\\', 3); at != std::wstring::npos; at = target.find(L'\\', at + 1))
                ::CreateDirectoryW(target.substr(0, at).c_str(), nullptr);
            lastFolder = folder;
        }
        ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(target.c_str());
        ::CopyFileW((kPackage + L"Quenbox\\" + f.relative).c_str(), target.c_str(), FALSE);
        ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        done += f.size;
        int now = static_cast<int>(done * 100 / total);
        if (now != position) {
            position = now;
            ::SendMessageW(bar, PBM_SETPOS, position, 0);
        }
        Pump();
    }
    double seconds = Now() - start;
    probe.SetActive(false);
    *longestGap = probe.Longest();
    return seconds;
}

struct PageRun {
    double copySeconds = 0;
    double longestGap = 0;
    double copyWorkingSetMB = 0;  // the largest working set sampled during the copy
    double workingSetAtStartMB = 0;  // when the copy began
    int result = 0;
};

class Silent : public CInstallSteps {};

PageRun RunPage(IVLTools* tools)
{
    DeleteTree(kInstalled);
    PageRun run;
    InstallOptionsData options;
    options.Silent = true;
    CWizardServices services(tools, kPackage.c_str());
    CInstallWizard wizard(services, options);
    Silent steps;
    wizard.GetCopyAndInstallPage().SetInstallSteps(&steps);

    std::atomic<bool> copying{false}, stop{false};
    std::atomic<double> started{0}, ended{0};
    wizard.GetCopyAndInstallPage().SetStatusObserver([&](const VLString& text) {
        bool isCopy = text.Find(L"program files...") >= 0 && text.Find(L"Installing") == 0;
        if (isCopy && !copying) {
            started = Now();
            PROCESS_MEMORY_COUNTERS memory{sizeof memory};
            ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
            run.workingSetAtStartMB = memory.WorkingSetSize / 1048576.0;
            copying = true;
        } else if (!isCopy && copying) {
            ended = Now();
            copying = false;
        }
    });
    if (!wizard.Create())
        return run;
    HWND hwnd = wizard.GetHwnd();
    double workingSet = 0;
    double longest = 0;
    std::thread prober([&] {
        while (!stop) {
            double sent = Now();
            bool counted = copying;
            DWORD_PTR answer = 0;
            ::SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
            double wait = Now() - sent;
            if (counted && copying && wait > longest)
                longest = wait;
            if (copying) {
                PROCESS_MEMORY_COUNTERS memory{sizeof memory};
                ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
                workingSet = std::max(workingSet, memory.WorkingSetSize / 1048576.0);
            }
            ::Sleep(2);
        }
    });
    run.result = wizard.Run();
    stop = true;
    prober.join();
    run.copySeconds = ended - started;
    run.longestGap = longest;
    run.copyWorkingSetMB = workingSet;
    return run;
}

// Setup.exe started plainly and left at its first page for three seconds:
// the working set the installer has before it copies anything.
void MeasureIdleSetup(const std::wstring& setup)
{
    std::wstring command = L"\"" + setup + L"\"";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, kPackage.c_str(), &startup,
                          &process))
        return;
    ::WaitForInputIdle(process.hProcess, 30000);
    ::Sleep(3000);
    PROCESS_MEMORY_COUNTERS memory{sizeof memory};
    bool read = ::GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory) != 0;
    ::TerminateProcess(process.hProcess, 1);
    ::WaitForSingleObject(process.hProcess, 10000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    if (read)
        std::printf("  Setup.exe idle at its first page:            %8.1f MB working set\n",
                    memory.WorkingSetSize / 1048576.0);
}

// The real Setup.exe, silent, on the same package: its working set sampled
// every 2 ms from outside, and its own peak as Windows keeps it.
void MeasureSetup(const wchar_t* setupExe)
{
    DeleteTree(kInstalled);
    std::wstring setup = kPackage + L"Setup.exe";
    if (!::CopyFileW(setupExe, setup.c_str(), FALSE)) {
        std::printf("cannot copy Setup.exe\n");
        return;
    }
    MeasureIdleSetup(setup);
    std::wstring command = L"\"" + setup + L"\" /Silent";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    double start = Now();
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, kPackage.c_str(), &startup,
                          &process)) {
        std::printf("cannot start Setup.exe\n");
        return;
    }
    double largest = 0, peak = 0;
    while (::WaitForSingleObject(process.hProcess, 2) == WAIT_TIMEOUT) {
        PROCESS_MEMORY_COUNTERS memory{sizeof memory};
        if (::GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) {
            largest = std::max(largest, memory.WorkingSetSize / 1048576.0);
            peak = std::max(peak, memory.PeakWorkingSetSize / 1048576.0);
        }
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    std::printf("  Setup.exe /Silent on the same package:       %8.1f s, exit code %lu\n", Now() - start,
                static_cast<unsigned long>(exitCode));
    std::printf("  Setup.exe working set (< 40):                %8.1f MB (largest sample), peak %.1f MB\n", largest,
                peak);
}

double Best(std::vector<double> v)
{
    return *std::min_element(v.begin(), v.end());
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::printf("usage: CopyPageBenchmark <NuvicoreTools.dll> <Product.ini> [rounds]\n");
        return 2;
    }
    const int rounds = argc > 3 ? std::max(1, _wtoi(argv[3])) : 3;
    VLLayoutUnits::EnableDpiAwareness();
    ::OleInitialize(nullptr);

    DeleteTree(kRoot);
    ::CreateDirectoryW(kRoot.c_str(), nullptr);
    ::CreateDirectoryW(kPackage.c_str(), nullptr);
    ::CreateDirectoryW((kPackage + L"Quenbox").c_str(), nullptr);
    if (!::CopyFileW(argv[1], (kPackage + L"Quenbox\\NuvicoreTools.dll").c_str(), FALSE) ||
        !::CopyFileW(argv[2], (kPackage + L"Quenbox\\Product.ini").c_str(), FALSE)) {
        std::printf("cannot copy the tools module or the product document\n");
        return 1;
    }
    const char xml[] =
        "<?xml version=\"1.0\"?>\n<VLIC version=\"1.0\">\n"
        "<Installer><PromoCount>1</PromoCount><PromoMinimumMilliseconds>1000</PromoMinimumMilliseconds></Installer>\n"
        "<Product><Features></Features><InstallToPath>C:\\VLCopyBench\\Installed</InstallToPath></Product>\n"
        "</VLIC>\n";
    WriteBytes(kPackage + L"Install.xml", xml, sizeof xml - 1);
    std::vector<SourceFile> files = MakeTree();
    PROCESS_MEMORY_COUNTERS before{sizeof before};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &before, sizeof before);

    HMODULE module = ::LoadLibraryW((kPackage + L"Quenbox\\NuvicoreTools.dll").c_str());
    auto entry = module ? reinterpret_cast<VLGetToolsFn>(
                              reinterpret_cast<void*>(::GetProcAddress(module, kVLToolsEntryName)))
                        : nullptr;
    IVLTools* tools = entry ? entry(kVLToolsInterfaceVersion) : nullptr;
    struct : IVLTextSink {
        void Set(const wchar_t*, int) override {}
    } error;
    if (!tools || !tools->LoadProduct(L"", error)) {
        std::printf("cannot load the tools module\n");
        return 1;
    }

    // A window with a progress bar for the second floor.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
    HWND frame = ::CreateWindowExW(0, L"STATIC", L"floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 100, nullptr,
                                   nullptr, nullptr, nullptr);
    HWND bar = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 10, 10, 360, 20, frame, nullptr,
                                 nullptr, nullptr);
    Pump();

    // One untimed pass of each first: the generated tree reaches the disk and
    // the caches settle.
    {
        double gap = 0;
        BareWalk(files);
        RequiredCalls(files, bar, &gap);
        RunPage(tools);
    }
    std::vector<double> bare, required, page, gaps;
    std::vector<double> workingSets;
    std::vector<double> growth;
    for (int r = 0; r < rounds; ++r) {
        bare.push_back(BareWalk(files));
        double requiredGap = 0;
        required.push_back(RequiredCalls(files, bar, &requiredGap));
        PageRun run = RunPage(tools);
        if (run.result != 1 || run.copySeconds <= 0) {
            std::printf("round %d: the silent install did not finish (result %d)\n", r + 1, run.result);
            return 1;
        }
        page.push_back(run.copySeconds);
        gaps.push_back(run.longestGap);
        workingSets.push_back(run.copyWorkingSetMB);
        growth.push_back(run.copyWorkingSetMB - run.workingSetAtStartMB);
        std::printf("round %d: bare %.0f ms, required %.0f ms (longest gap %.1f ms), page %.0f ms (longest gap %.1f ms)\n",
                    r + 1, bare.back() * 1000, required.back() * 1000, requiredGap * 1000, page.back() * 1000,
                    gaps.back() * 1000);
    }
    ::DestroyWindow(frame);

    PROCESS_MEMORY_COUNTERS memory{sizeof memory};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);

    std::printf("\n%d rounds, fresh target each           best         median\n", rounds);
    std::printf("  bare walk (folders + CopyFileW):      %8.1f ms   %8.1f ms\n", Best(bare) * 1000, Median(bare) * 1000);
    std::printf("  required calls + progress + pump:     %8.1f ms   %8.1f ms\n", Best(required) * 1000,
                Median(required) * 1000);
    std::printf("  copy page, Quenbox\\ (silent install): %8.1f ms   %8.1f ms\n", Best(page) * 1000,
                Median(page) * 1000);
    std::printf("  page / bare walk:                     %8.2f      %8.2f\n", Best(page) / Best(bare),
                Median(page) / Median(bare));
    std::printf("  page / required calls (<= 1.25):      %8.2f      %8.2f\n", Best(page) / Best(required),
                Median(page) / Median(required));
    std::printf("  per file, page:                              %8.3f ms\n", Best(page) * 1000 / kFiles);
    std::printf("  longest gap between pumps (<= 100):          %8.1f ms (worst round)\n",
                *std::max_element(gaps.begin(), gaps.end()) * 1000);
    std::printf("  working set during the copy (< 40):          %8.1f MB (largest sample)\n",
                *std::max_element(workingSets.begin(), workingSets.end()));
    std::printf("  working set growth during the copy:          %8.1f MB (largest round)\n",
                *std::max_element(growth.begin(), growth.end()));
    std::printf("  working set before the first round:          %8.1f MB\n", before.WorkingSetSize / 1048576.0);
    std::printf("  peak working set of the whole run:           %8.1f MB\n", memory.PeakWorkingSetSize / 1048576.0);

    if (argc > 4)
        MeasureSetup(argv[4]);

    tools->Detach(::GetModuleHandleW(nullptr));
    ::FreeLibrary(module);
    DeleteTree(kRoot);
    ::OleUninitialize();
    return 0;
}
