// The system pass into scratch "system" folders: check-version and
// always-overwrite rules per folder, fonts added to the font table, the two
// "Error" boxes, nothing for a portable install.
#include "CVersionInfo.h"
#include "EngineTestSupport.h"
#include "FilePlacer.h"
#include "VLFileSystem.h"
#include "VLPath.h"

#include <windows.h>

#include <algorithm>

namespace {

const wchar_t kFontSource[] = L"Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans-ExtraLight.ttf";

struct CSystemFixture : CEngineFixture {
    CSystemFixture()
    {
        CopyModule(L"EngineVersion2.dll", Installer + L"System\\Check Version\\Newer.dll");
        CopyModule(L"EngineVersion1.dll", Installer + L"System\\Check Version\\Older.dll");
        WriteTextFile(Installer + L"System\\Always Overwrite\\Nuvicore Launcher.exe", "launcher");
        WriteTextFile(Installer + L"System\\Always Overwrite\\VelmoraASIODriver64.dll", "driver");
        VLFileSystem::EnsureDirectory(Installer + L"Fonts\\");
        hasRealFont = ::CopyFileW(kFontSource, Installer + L"Fonts\\AuralisLight.ttf", FALSE) != FALSE;
        folders.Add(Root + L"System32\\");
        folders.Add(Root + L"SysWOW64\\");
        fonts = Root + L"Windows\\Fonts\\";
        // The 64-bit folder already has a newer "Older.dll" and an older "Newer.dll".
        CopyModule(L"EngineVersion2.dll", folders[0] + L"Older.dll");
        CopyModule(L"EngineVersion1.dll", folders[0] + L"Newer.dll");
    }
    VLStringArray folders;
    VLString fonts;
    bool hasRealFont = false;
};

}  // namespace

TEST(SystemFiles, BothPassesFollowTheirRules)
{
    CSystemFixture f;
    VLStringArray registrationList;
    CRecordingProgress progress;
    CFilePlacer placer(f.Context);
    placer.InstallSystemFiles(&progress, f.folders, f.fonts, &registrationList);

    for (int pass = 0; pass < 2; ++pass) {
        const VLString& system = f.folders[pass];
        EXPECT_EQ(CVersionInfo::FileVersion64(system + L"Newer.dll"), MakeVersion(2, 0, 0, 0)) << pass;
        // Older.dll only lands where nothing newer was.
        EXPECT_EQ(CVersionInfo::FileVersion64(system + L"Older.dll"),
                  pass == 0 ? MakeVersion(2, 0, 0, 0) : MakeVersion(1, 2, 3, 4))
            << pass;
        EXPECT_EQ(ReadTextFile(system + L"Nuvicore Launcher.exe"), "launcher");
        // Registered whether copied or kept; the audio driver as a 64-bit server.
        EXPECT_TRUE(registrationList.Contains(system + L"Newer.dll"));
        EXPECT_TRUE(registrationList.Contains(system + L"Older.dll"));
        EXPECT_TRUE(std::any_of(f.Runner.Calls.begin(), f.Runner.Calls.end(), [&](const CRunnerCall& c) {
            return c.Kind == L"regsvr32x64" && c.Path == Str(system + L"VelmoraASIODriver64.dll");
        }));
    }
    EXPECT_EQ(registrationList.GetCount(), 4);
    EXPECT_TRUE(f.Host.Boxes.empty());
    EXPECT_EQ(progress.RangeHigh, 100);

    // The font is in place (Wine cannot tell whether it entered the font
    // table: RemoveFontResourceW fails there for every file).
    EXPECT_TRUE(!f.hasRealFont || VLFileSystem::FileExists(f.fonts + L"AuralisLight.ttf"));
}

TEST(SystemFiles, MissingFoldersAreReportedAndSkipped)
{
    CSystemFixture f;
    VLStringArray noSystem;
    noSystem.Add(VLString());
    CFilePlacer placer(f.Context);
    placer.InstallSystemFiles(nullptr, noSystem, f.fonts, nullptr);
    ASSERT_EQ(f.Host.Boxes.size(), 1u);
    EXPECT_EQ(f.Host.Boxes[0].Caption, L"Error");
    EXPECT_EQ(f.Host.Boxes[0].Text,
              L"The install wizard can not obtain the Windows system path. System files will not be installed.");
    EXPECT_FALSE(VLFileSystem::DirectoryExists(f.fonts));  // the fonts of that pass are skipped too

    VLStringArray one;
    one.Add(f.folders[1]);
    placer.InstallSystemFiles(nullptr, one, VLString(), nullptr);
    ASSERT_EQ(f.Host.Boxes.size(), 2u);
    EXPECT_EQ(f.Host.Boxes[1].Text,
              L"The install wizard can not obtain the system font path. Custom fonts will not be installed.");
    EXPECT_EQ(ReadTextFile(f.folders[1] + L"Nuvicore Launcher.exe"), "launcher");
}

TEST(SystemFiles, PortableInstallPlacesNothing)
{
    CSystemFixture f;
    f.Context.Portable = true;
    CFilePlacer placer(f.Context);
    placer.InstallSystemFiles(nullptr, f.folders, f.fonts, nullptr);
    EXPECT_FALSE(VLFileSystem::FileExists(f.folders[1] + L"Newer.dll"));
    EXPECT_FALSE(VLFileSystem::DirectoryExists(f.fonts));
    EXPECT_TRUE(f.Host.Boxes.empty());
    EXPECT_TRUE(f.Runner.Calls.empty());
}

// This 64-bit program on 64-bit Windows: the native folder, then SysWOW64.
TEST(SystemFiles, PassFoldersOfThisBuild)
{
    VLStringArray folders = VLSystemPassFolders();
    ASSERT_EQ(folders.GetCount(), 2);
    std::wstring first = Str(folders[0]), second = Str(folders[1]);
    for (auto* s : {&first, &second})
        std::transform(s->begin(), s->end(), s->begin(), ::towlower);
    EXPECT_EQ(first.substr(first.size() - 9), L"system32\\");
    EXPECT_EQ(second.substr(second.size() - 9), L"syswow64\\");
}
