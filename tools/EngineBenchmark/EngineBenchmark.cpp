// Folder copy of the engine against two floors on the same tree: a bare walk
// (folder creation and CopyFileW per file) and a walk that makes exactly the
// calls the placement rules require per file (attributes, delete, copy,
// attributes) plus a progress update when the position changes and a message
// pump. Prints the times, the ratios, the peak working set and the longest
// gap between two message pumps. A program that prints figures, not a test.
#include "FilePlacer.h"
#include "VLFileSystem.h"
#include "VLHandle.h"
#include "VLPath.h"

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const wchar_t kRoot[] = L"C:\\EngineBench\\";
constexpr int kFolders = 60;
constexpr int kFiles = 2000;
constexpr uint64_t kTotalBytes = 100ull * 1024 * 1024;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Folder i: 12 top folders with 4 sub-folders each (60 in all).
VLString FolderName(int i)
{
    int top = i / 5, sub = i % 5;
    VLString name = VLString::Format(L"Part%02d\\", top);
    if (sub)
        name += VLString::Format(L"Sub%d\\", sub);
    return name;
}

bool MakeSourceTree(const VLString& source)
{
    VLString marker = source + L"complete.txt";
    if (VLFileSystem::FileExists(marker))
        return true;
    VLFileSystem::DeleteDirectoryTree(source);
    std::vector<char> block(64 * 1024);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>('a' + i % 26);
    // Sizes from 1 KB to about 100 KB, adding up to about 100 MB.
    const uint64_t average = kTotalBytes / kFiles;
    for (int i = 0; i < kFiles; ++i) {
        VLString folder = source + FolderName(i % kFolders);
        VLFileSystem::EnsureDirectory(folder);
        uint64_t size = 1024 + (static_cast<uint64_t>(i) * 7919 % (2 * average - 2048));
        const wchar_t* extension = i % 10 == 0 ? L"dat" : (i % 3 ? L"png" : L"xml");
        VLString path = folder + VLString::Format(L"File%04d.%s", i, extension);
        VLUniqueFile file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid())
            return false;
        for (uint64_t written = 0; written < size;) {
            DWORD chunk = static_cast<DWORD>(std::min<uint64_t>(block.size(), size - written)), done = 0;
            if (!::WriteFile(file.Get(), block.data(), chunk, &done, nullptr))
                return false;
            written += done;
        }
    }
    VLUniqueFile done(::CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return true;
}

struct CListed {
    VLString Path;
    uint64_t Size;
    bool Folder;
};

void Walk(const VLString& folder, std::vector<CListed>& out)
{
    WIN32_FIND_DATAW data;
    VLUniqueFind find(::FindFirstFileW(folder + L"*.*", &data));
    if (!find.IsValid())
        return;
    std::vector<VLString> subFolders;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (data.cFileName[0] != L'.')
                subFolders.push_back(folder + data.cFileName + L"\\");
        } else {
            out.push_back({folder + data.cFileName,
                           (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, false});
        }
    } while (::FindNextFileW(find.Get(), &data));
    find.Reset();
    for (const VLString& sub : subFolders) {
        out.push_back({sub, 0, true});
        Walk(sub, out);
    }
}

// Records the longest time between two pumps of the folder copy.
struct CGapClock {
    double last = 0, longest = 0;
    void Start() { last = Now(), longest = 0; }
    void Tick()
    {
        double now = Now();
        longest = std::max(longest, now - last);
        last = now;
    }
};

class CBarProgress : public IEngineProgress {
public:
    CBarProgress(HWND bar, CGapClock& clock) : m_bar(bar), m_clock(clock) {}
    void SetProgressRange(int low, int high) override { ::SendMessageW(m_bar, PBM_SETRANGE32, low, high); }
    void SetProgressPos(int pos) override { ::SendMessageW(m_bar, PBM_SETPOS, pos, 0); }
    void PumpMessages() override
    {
        Pump();
        m_clock.Tick();
    }

private:
    HWND m_bar;
    CGapClock& m_clock;
};

// Floor 1: folder creation and CopyFileW per file.
double BareWalk(const VLString& source, const VLString& target)
{
    double start = Now();
    std::vector<CListed> items;
    Walk(source, items);
    ::CreateDirectoryW(target, nullptr);
    const int length = source.GetLength();
    for (const CListed& item : items) {
        VLString to = target + item.Path.Mid(length);
        if (item.Folder)
            ::CreateDirectoryW(to, nullptr);
        else
            ::CopyFileW(item.Path, to, FALSE);
    }
    return Now() - start;
}

// Floor 2: the calls the placement rules require per file, a progress update
// when the position changes and a message pump.
double RequiredCallsWalk(const VLString& source, const VLString& target, HWND bar, CGapClock& clock)
{
    double start = Now();
    clock.Start();
    std::vector<CListed> items;
    Walk(source, items);
    uint64_t total = 0, done = 0;
    for (const CListed& item : items)
        total += item.Size;
    ::CreateDirectoryW(target, nullptr);
    ::SendMessageW(bar, PBM_SETRANGE32, 0, 100);
    ::SendMessageW(bar, PBM_SETPOS, 0, 0);
    int position = 0;
    const int length = source.GetLength();
    for (const CListed& item : items) {
        VLString to = target + item.Path.Mid(length);
        if (item.Folder) {
            ::CreateDirectoryW(to, nullptr);
            continue;
        }
        ::SetFileAttributesW(to, FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(to);
        ::CopyFileW(item.Path, to, FALSE);
        ::SetFileAttributesW(to, FILE_ATTRIBUTE_NORMAL);
        done += item.Size;
        int now = total ? static_cast<int>(done * 100 / total) : 100;
        if (now != position)
            ::SendMessageW(bar, PBM_SETPOS, position = now, 0);
        Pump();
        clock.Tick();
    }
    return Now() - start;
}

double EngineCopy(const VLString& source, const VLString& target, HWND bar, CGapClock& clock)
{
    CDeferredOperations deferred;
    CInstallContext context;
    context.InstallerFolder = VLString(kRoot);
    context.DestinationFolder = target;
    context.Is64BitWindows = true;
    context.Deferred = deferred.Targets();
    CBarProgress progress(bar, clock);
    VLStringArray registrationList;
    double start = Now();
    clock.Start();
    CFilePlacer placer(context);
    placer.CopyFolder(kModeAlwaysOverwrite, &progress, target, source, &registrationList);
    return Now() - start;
}

}  // namespace

int main()
{
    ::InitCommonControls();
    VLString root = kRoot;
    VLString source = root + L"Source\\Quenbox\\";
    std::printf("Generating %d files in %d folders (about %llu MB) ...\n", kFiles, kFolders,
                static_cast<unsigned long long>(kTotalBytes >> 20));
    if (!MakeSourceTree(source)) {
        std::printf("cannot write the source tree\n");
        return 1;
    }
    HWND window = ::CreateWindowExW(0, L"STATIC", L"EngineBenchmark", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 120,
                                    nullptr, nullptr, nullptr, nullptr);
    HWND bar = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 10, 30, 360, 20, window, nullptr,
                                 nullptr, nullptr);
    Pump();

    // The machine is shared, so times vary from round to round: the variants
    // alternate within each round and the best and the median are reported.
    const int rounds = 5;
    std::vector<double> bare, required, engine;
    double requiredGap = 0, engineGap = 0;
    for (int round = 0; round < rounds; ++round) {
        for (int variant = 0; variant < 3; ++variant) {
            VLString target = root + VLString::Format(L"Target%d\\", variant);
            VLFileSystem::DeleteDirectoryTree(target);
            CGapClock clock;
            if (variant == 0) {
                bare.push_back(BareWalk(source, target));
            } else if (variant == 1) {
                required.push_back(RequiredCallsWalk(source, target, bar, clock));
                requiredGap = std::max(requiredGap, clock.longest);
            } else {
                engine.push_back(EngineCopy(source, target, bar, clock));
                engineGap = std::max(engineGap, clock.longest);
            }
        }
    }
    auto best = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));

    std::printf("%d rounds, fresh target each run        best         median\n", rounds);
    std::printf("  bare walk (folders + CopyFileW):      %8.1f ms   %8.1f ms\n", best(bare) * 1000, median(bare) * 1000);
    std::printf("  required calls + progress + pump:     %8.1f ms   %8.1f ms\n", best(required) * 1000,
                median(required) * 1000);
    std::printf("  engine CopyFolder:                    %8.1f ms   %8.1f ms\n", best(engine) * 1000,
                median(engine) * 1000);
    std::printf("  engine / bare walk:                   %8.2f      %8.2f\n", best(engine) / best(bare),
                median(engine) / median(bare));
    std::printf("  engine / required calls (<= 1.25):    %8.2f      %8.2f\n", best(engine) / best(required),
                median(engine) / median(required));
    std::printf("  per file, engine:                            %8.3f ms\n", best(engine) * 1000 / kFiles);
    std::printf("  longest gap between pumps, engine:           %8.1f ms (target <= 100)\n", engineGap * 1000);
    std::printf("  longest gap between pumps, required calls:   %8.1f ms\n", requiredGap * 1000);
    std::printf("  peak working set:                            %8.1f MB (target < 40)\n",
                memory.PeakWorkingSetSize / (1024.0 * 1024.0));
    ::DestroyWindow(window);
    for (int variant = 0; variant < 3; ++variant)
        VLFileSystem::DeleteDirectoryTree(root + VLString::Format(L"Target%d\\", variant));
    return 0;
}
