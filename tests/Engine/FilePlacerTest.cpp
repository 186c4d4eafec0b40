// PlaceFile, CopyFolder, ReplaceAtRestart and StageForCompletion on real files
// under Wine: version resources, read-only targets, targets held open.
#include "VLFileSystem.h"
#include "VLPath.h"
#include "EngineTestSupport.h"
#include "CVersionInfo.h"
#include "FilePlacer.h"
#include "PlacementRules.h"
#include "VLHandle.h"

#include <windows.h>

#include <algorithm>

namespace {

// The (source, target) pairs Windows will rename at the next restart.
std::vector<std::pair<std::wstring, std::wstring>> PendingRenames()
{
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
    VLUniqueKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                        key.Put()) != ERROR_SUCCESS)
        return pairs;
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key.Get(), L"PendingFileRenameOperations", nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return pairs;
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, 0);
    ::RegQueryValueExW(key.Get(), L"PendingFileRenameOperations", nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                       &size);
    std::vector<std::wstring> strings;
    for (const wchar_t* p = data.data(); p < data.data() + size / sizeof(wchar_t); p += wcslen(p) + 1)
        strings.push_back(p);
    for (size_t i = 0; i + 1 < strings.size(); i += 2)
        pairs.push_back({strings[i], strings[i + 1]});
    return pairs;
}

std::wstring Lower(std::wstring s)
{
    for (wchar_t& c : s)
        c = static_cast<wchar_t>(towlower(c));
    return s;
}

bool EndsWithNoCase(const std::wstring& text, const std::wstring& tail)
{
    return text.size() >= tail.size() && Lower(text.substr(text.size() - tail.size())) == Lower(tail);
}

bool RenameScheduled(const VLString& staged, const VLString& target)
{
    for (const auto& pair : PendingRenames())
        if (EndsWithNoCase(pair.first, Str(staged)) && EndsWithNoCase(pair.second, Str(target)))
            return true;
    return false;
}

// Holds a file open without any sharing, as a running program would.
VLUniqueFile HoldOpen(const VLString& path)
{
    return VLUniqueFile(::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

uint64_t VersionOf(const VLString& path)
{
    return CVersionInfo::FileVersion64(path);
}

}  // namespace

// Check-version rule against real version resources: copied only when newer,
// registered in every case for ".dll".
TEST(FilePlacer, CheckVersionOnRealModules)
{
    struct Case {
        const wchar_t* sourceModule;
        const wchar_t* targetModule;  // null: no target
        bool copied;
    } cases[] = {
        {L"EngineVersion2.dll", L"EngineVersion1.dll", true},
        {L"EngineVersion1.dll", L"EngineVersion2.dll", false},
        {L"EngineVersion1.dll", L"EngineVersion1.dll", false},
        {L"EngineVersion1.dll", nullptr, true},
        {L"EngineNoVersion.dll", nullptr, false},
        {L"EngineNoVersion.dll", L"EngineVersion1.dll", false},
    };
    CEngineFixture f;
    VLString system = f.Root + L"System32\\";
    int n = 0;
    for (const Case& c : cases) {
        VLString name = VLString::Format(L"case%d.dll", ++n);
        VLString source = f.Installer + L"System\\Check Version\\" + name;
        VLString target = system + name;
        ASSERT_TRUE(CopyModule(c.sourceModule, source));
        if (c.targetModule) {
            ASSERT_TRUE(CopyModule(c.targetModule, target));
        }
        uint64_t before = VersionOf(target);
        f.Runner.Calls.clear();
        CFilePlacer placer(f.Context);
        CPlaceResult r = placer.PlaceFile(source, target, kModeCheckVersion, nullptr);
        EXPECT_TRUE(r.Placed());
        EXPECT_EQ(r.Copied, c.copied) << Str(name);
        EXPECT_EQ(VLFileSystem::FileExists(target), c.copied || c.targetModule) << Str(name);
        EXPECT_EQ(VersionOf(target), c.copied ? VersionOf(source) : before) << Str(name);
        // Registered under the target path whether copied or not.
        ASSERT_EQ(f.Runner.Calls.size(), 1u) << Str(name);
        EXPECT_EQ(f.Runner.Calls[0].Kind, L"inproc");
        EXPECT_EQ(f.Runner.Calls[0].Path, Str(target));
    }
    EXPECT_TRUE(f.Deferred.PendingInstall.GetCount() == 0);
    EXPECT_FALSE(f.Deferred.RestartRequired);
}

// A ".txt" and a ".DLL" in capitals are copied over a newer target without a
// version check, and neither is registered.
TEST(FilePlacer, CheckVersionCopiesOtherFilesAlways)
{
    CEngineFixture f;
    VLString system = f.Root + L"System32\\";
    VLString upper = f.Installer + L"System\\Check Version\\UPPER.DLL";
    ASSERT_TRUE(CopyModule(L"EngineVersion1.dll", upper));
    ASSERT_TRUE(CopyModule(L"EngineVersion2.dll", system + L"UPPER.DLL"));
    WriteTextFile(f.Installer + L"System\\Check Version\\notes.txt", "new");
    WriteTextFile(system + L"notes.txt", "old");
    CFilePlacer placer(f.Context);
    EXPECT_TRUE(placer.PlaceFile(upper, system + L"UPPER.DLL", kModeCheckVersion, nullptr).Copied);
    EXPECT_EQ(VersionOf(system + L"UPPER.DLL"), MakeVersion(1, 2, 3, 4));
    EXPECT_TRUE(placer.PlaceFile(f.Installer + L"System\\Check Version\\notes.txt", system + L"notes.txt",
                                 kModeCheckVersion, nullptr).Copied);
    EXPECT_EQ(ReadTextFile(system + L"notes.txt"), "new");
    EXPECT_TRUE(f.Runner.Calls.empty());
}

// A read-only, hidden target is replaced and left with normal attributes;
// missing folders are made on the way.
TEST(FilePlacer, ReadOnlyTargetIsReplaced)
{
    CEngineFixture f;
    VLString source = f.Installer + L"Quenbox\\Data\\Deep\\settings.xml";
    VLString target = f.Destination + L"Data\\Deep\\settings.xml";
    WriteTextFile(source, "fresh");
    WriteTextFile(target, "stale");
    ASSERT_TRUE(::SetFileAttributesW(target, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    // A read-only source (a package on a CD) must not leave a read-only copy.
    ASSERT_TRUE(::SetFileAttributesW(source, FILE_ATTRIBUTE_READONLY));
    CFilePlacer placer(f.Context);
    CPlaceResult r = placer.PlaceFile(source, target, kModeAlwaysOverwrite, nullptr);
    EXPECT_TRUE(r.Copied);
    EXPECT_EQ(ReadTextFile(target), "fresh");
    // Normal attributes; Wine reports them as "archive".
    EXPECT_EQ(::GetFileAttributesW(target) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);

    // A new file in a folder that does not exist yet.
    VLString fresh = f.Destination + L"New\\Folder\\file.txt";
    EXPECT_TRUE(placer.PlaceFile(source, fresh, kModeAlwaysOverwrite, nullptr).Copied);
    EXPECT_EQ(ReadTextFile(fresh), "fresh");
}

// A target held open without sharing: scheduled for replacement at restart
// from a staged copy, registered at restart, restart required.
TEST(FilePlacer, TargetInUseIsReplacedAtRestart)
{
    CEngineFixture f;
    VLString source = f.Installer + L"Quenbox\\Codec.dll";
    VLString target = f.Destination + L"Codec.dll";
    WriteTextFile(source, "new codec");
    WriteTextFile(target, "old codec");
    VLUniqueFile held = HoldOpen(target);
    ASSERT_TRUE(held.IsValid());

    VLStringArray registrationList;
    CFilePlacer placer(f.Context);
    CPlaceResult r = placer.PlaceFile(source, target, kModeAlwaysOverwrite, &registrationList);
    EXPECT_FALSE(r.Copied);
    EXPECT_TRUE(r.Deferred);
    EXPECT_FALSE(r.Staged);
    EXPECT_EQ(r.Registration, ERegistration::AtRestart);

    VLString staged = f.Destination + L"Setup\\Codec.dll";
    EXPECT_EQ(ReadTextFile(staged), "new codec");
    EXPECT_TRUE(RenameScheduled(staged, target));
    EXPECT_TRUE(f.Deferred.RestartRequired);
    ASSERT_EQ(f.Deferred.PendingRegistration.GetCount(), 1);
    EXPECT_EQ(Str(f.Deferred.PendingRegistration[0]), Str(target) + L"|_REGISTERFILE");
    EXPECT_EQ(registrationList.GetCount(), 0);
    EXPECT_TRUE(f.Runner.Calls.empty());
    EXPECT_EQ(f.Deferred.PendingInstall.GetCount(), 0);
}

// The in-use cases that must not ask for a restart or a registration: a
// 64-bit file goes to the pending registrations (not RegSvr32), the shell
// extension clears its flag, a font needs no restart.
TEST(FilePlacer, InUseSpecialFiles)
{
    CEngineFixture f;
    struct Case {
        const wchar_t* sourceRel;
        VLString target;
        int mode;
        bool pendingRegistration, restart, shellAllowed;
    } cases[] = {
        {L"Quenbox\\x64\\Codec64.dll", f.Destination + L"x64\\Codec64.dll", 1, true, true, true},
        {L"Quenbox\\VLShellExt.dll", f.Destination + L"VLShellExt.dll", 1, false, false, false},
        {L"Fonts\\Auralis.ttf", f.Root + L"Windows\\Fonts\\Auralis.ttf", 2, false, false, true},
    };
    for (const Case& c : cases) {
        CDeferredOperations deferred;
        f.Context.Deferred = deferred.Targets();
        VLString source = f.Installer + c.sourceRel;
        WriteTextFile(source, "new");
        WriteTextFile(c.target, "old");
        VLUniqueFile held = HoldOpen(c.target);
        ASSERT_TRUE(held.IsValid());
        f.Runner.Calls.clear();
        CFilePlacer placer(f.Context);
        CPlaceResult r = placer.PlaceFile(source, c.target, c.mode, nullptr);
        EXPECT_TRUE(r.Deferred) << Str(source);
        EXPECT_EQ(deferred.PendingRegistration.GetCount(), c.pendingRegistration ? 1 : 0) << Str(source);
        EXPECT_EQ(deferred.RestartRequired, c.restart) << Str(source);
        EXPECT_EQ(deferred.ShellExtRegistrationAllowed, c.shellAllowed) << Str(source);
        EXPECT_TRUE(f.Runner.Calls.empty()) << Str(source);
    }
}

// Two in-use targets of the same name from different folders get separate
// staged copies, so each receives its own file at restart.
TEST(FilePlacer, SameNameTargetsInUseKeepTheirOwnStagedCopies)
{
    CEngineFixture f;
    VLString source32 = f.Installer + L"Quenbox\\Filter.ax";
    VLString source64 = f.Installer + L"Quenbox\\x64\\Filter.ax";
    VLString target32 = f.Destination + L"Filter.ax";
    VLString target64 = f.Destination + L"x64\\Filter.ax";
    WriteTextFile(source32, "32-bit");
    WriteTextFile(source64, "64-bit");
    WriteTextFile(target32, "old");
    WriteTextFile(target64, "old");
    VLUniqueFile held32 = HoldOpen(target32), held64 = HoldOpen(target64);
    CFilePlacer placer(f.Context);
    EXPECT_TRUE(placer.PlaceFile(source32, target32, kModeAlwaysOverwrite, nullptr).Deferred);
    EXPECT_TRUE(placer.PlaceFile(source64, target64, kModeAlwaysOverwrite, nullptr).Deferred);
    VLString staged32 = f.Destination + L"Setup\\Filter.ax";
    VLString staged64 = f.Destination + L"Setup\\Filter (1).ax";
    EXPECT_EQ(ReadTextFile(staged32), "32-bit");
    EXPECT_EQ(ReadTextFile(staged64), "64-bit");
    EXPECT_TRUE(RenameScheduled(staged32, target32));
    EXPECT_TRUE(RenameScheduled(staged64, target64));
}

// Staging: the pending-install entry names target and staged copy; in
// package mode with no target the package's folder travels along.
TEST(FilePlacer, StageForCompletion)
{
    CEngineFixture f;
    VLString source = f.Installer + L"Quenbox\\Player.exe";
    WriteTextFile(source, "player");
    CFilePlacer placer(f.Context);
    EXPECT_TRUE(placer.StageForCompletion(source, f.Destination + L"Player.exe", false));
    VLString staging = f.Destination + L"Setup\\";
    ASSERT_EQ(f.Deferred.PendingInstall.GetCount(), 1);
    EXPECT_EQ(Str(f.Deferred.PendingInstall[0]), Str(f.Destination + L"Player.exe|" + staging + L"Player.exe"));
    EXPECT_EQ(ReadTextFile(staging + L"Player.exe"), "player");

    VLString package = f.Installer + L"Support\\Skins\\Dark.qbp";
    WriteTextFile(package, "package");
    WriteTextFile(f.Installer + L"Support\\Skins\\Data\\dark.png", "png");
    EXPECT_TRUE(placer.StageForCompletion(package, VLString(), true));
    ASSERT_EQ(f.Deferred.PendingInstall.GetCount(), 2);
    EXPECT_EQ(Str(f.Deferred.PendingInstall[1]), L"|" + Str(staging + L"Dark.qbp"));
    EXPECT_EQ(ReadTextFile(staging + L"Data\\dark.png"), "png");

    // A source that cannot be read records nothing.
    EXPECT_FALSE(placer.StageForCompletion(f.Installer + L"missing.dll", f.Destination + L"missing.dll", false));
    EXPECT_EQ(f.Deferred.PendingInstall.GetCount(), 2);
}

// CopyFolder: every file to the same relative place, progress by bytes up to
// 100 without repeats, the registration list filled, core modules and 64-bit
// files handled by their rules.
TEST(FilePlacer, CopyFolderPlacesTreeWithProgressByBytes)
{
    CEngineFixture f;
    VLString quenbox = f.Installer + L"Quenbox\\";
    std::string big(3000, 'x'), small(1000, 'y');
    WriteTextFile(quenbox + L"Nuvicore.exe", big.c_str());
    WriteTextFile(quenbox + L"Plugins\\in_audio.dll", small.c_str());
    WriteTextFile(quenbox + L"Plugins\\Visuals\\deep\\vis.ocx", small.c_str());
    WriteTextFile(quenbox + L"VLImage.dll", small.c_str());  // core module
    WriteTextFile(quenbox + L"x64\\Helper64.dll", small.c_str());
    WriteTextFile(quenbox + L"Empty.txt", "");

    for (bool windows64 : {true, false}) {
        CEngineFixture g(windows64 ? L"_64" : L"_32");  // fresh destination per pass
        g.Context.InstallerFolder = f.Installer;
        g.Context.Is64BitWindows = windows64;
        CRecordingProgress progress;
        VLStringArray registrationList;
        CFilePlacer placer(g.Context);
        EXPECT_TRUE(placer.CopyFolder(kModeAlwaysOverwrite, &progress, g.Destination, quenbox, &registrationList));

        EXPECT_EQ(ReadTextFile(g.Destination + L"Nuvicore.exe"), big);
        EXPECT_EQ(ReadTextFile(g.Destination + L"Plugins\\Visuals\\deep\\vis.ocx"), small);
        EXPECT_TRUE(VLFileSystem::FileExists(g.Destination + L"Empty.txt"));
        EXPECT_FALSE(VLFileSystem::FileExists(g.Destination + L"VLImage.dll"));
        EXPECT_EQ(VLFileSystem::FileExists(g.Destination + L"x64\\Helper64.dll"), windows64);

        EXPECT_EQ(progress.RangeHigh, 100);
        ASSERT_FALSE(progress.Positions.empty());
        EXPECT_EQ(progress.Positions.front(), 0);
        EXPECT_EQ(progress.Positions.back(), 100);
        for (size_t i = 1; i < progress.Positions.size(); ++i)
            EXPECT_GT(progress.Positions[i], progress.Positions[i - 1]);  // never set twice to one value
        EXPECT_GE(progress.Pumps, 2 * 6 + 1);

        EXPECT_EQ(registrationList.GetCount(), 2);
        EXPECT_TRUE(registrationList.Contains(g.Destination + L"Plugins\\in_audio.dll"));
        EXPECT_TRUE(registrationList.Contains(g.Destination + L"Plugins\\Visuals\\deep\\vis.ocx"));
        size_t regsvr = std::count_if(g.Runner.Calls.begin(), g.Runner.Calls.end(),
                                      [](const CRunnerCall& c) { return c.Kind == L"regsvr32x64"; });
        EXPECT_EQ(regsvr, windows64 ? 1u : 0u);
    }
}

// A folder whose files are all empty still ends at 100.
TEST(FilePlacer, CopyFolderOfEmptyFilesEndsAtHundred)
{
    CEngineFixture f;
    VLString source = f.Installer + L"Empty\\";
    WriteTextFile(source + L"a.txt", "");
    WriteTextFile(source + L"b\\c.txt", "");
    CRecordingProgress progress;
    CFilePlacer placer(f.Context);
    placer.CopyFolder(kModeAlwaysOverwrite, &progress, f.Destination + L"Empty", source, nullptr);
    ASSERT_FALSE(progress.Positions.empty());
    EXPECT_EQ(progress.Positions.back(), 100);
    EXPECT_TRUE(VLFileSystem::FileExists(f.Destination + L"Empty\\b\\c.txt"));
}

// The media server is stopped before its program is replaced.
TEST(FilePlacer, ServerIsStoppedBeforeItsProgramIsReplaced)
{
    CEngineFixture f;
    VLString source = f.Installer + L"Quenbox\\Server\\HovanServer.exe";
    VLString target = f.Destination + L"Server\\HovanServer.exe";
    WriteTextFile(source, "new server");
    CFilePlacer placer(f.Context);
    placer.PlaceFile(source, target, kModeAlwaysOverwrite, nullptr);
    EXPECT_TRUE(f.Runner.Calls.empty());  // nothing to stop on a first install
    placer.PlaceFile(source, target, kModeAlwaysOverwrite, nullptr);
    ASSERT_EQ(f.Runner.Calls.size(), 1u);
    EXPECT_EQ(f.Runner.Calls[0].Kind, L"run");
    EXPECT_EQ(f.Runner.Calls[0].Path, Str(target));
    EXPECT_EQ(f.Runner.Calls[0].Argument, L"stop");
}
