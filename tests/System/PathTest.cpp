// Path text rules: trailing backslashes, cleaning of typed paths, the system
// form of addresses and long paths, and the path tests.

#include "SystemTestSupport.h"
#include "VLServerRegistration.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
    const wchar_t* in;
    const wchar_t* want;
};

TEST(PathTest, AddTrailingBackslash)
{
    const TextCase cases[] = {
        {L"", L""},
        {L"C:\\Data", L"C:\\Data\\"},
        {L"C:\\Data\\", L"C:\\Data\\"},
        {L"C:\\Data\\\\\\", L"C:\\Data\\"},
        {L"\\\\", L"\\\\"},    // exactly two backslashes stay
        {L"\\\\\\", L"\\"},    // three are cut back to one
        {L"C:", L"C:\\"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(Std(VLPath::AddTrailingBackslash(c.in)), c.want) << "input: " << Std(c.in);
}

TEST(PathTest, CleanPath)
{
    const TextCase cases[] = {
        {L" C:\\Program Files \\ Tools.\\x", L"C:\\Program Files\\Tools\\x"},
        {L"C:", L"C:\\"},
        {L"C:abc", L"C:\\abc"},
        {L"D:\\a<b", L"D:\\a_b"},
        {L"\\\\server\\share\\\\dir", L"\\\\server\\share\\dir"},   // network path keeps its two
        {L"C:\\a\\\\\\b", L"C:\\a\\b"},
        {L"C:\\a:b*c?d\"e>f|g/h", L"C:\\a_b_c_d_e_f_g_h"},
        {L"C:\\tab\there", L"C:\\tab here"},
        {L"C:\\dots...\\x", L"C:\\dots\\x"},                        // repeated until nothing changes
        {L"  ", L""},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(Std(VLPath::CleanPath(c.in)), c.want) << "input: " << Std(c.in);
}

TEST(PathTest, CleanPathCapsLengthInTheLastNameKeepingItsExtension)
{
    std::wstring longName(300, L'n');
    VLString cleaned = VLPath::CleanPath((L"C:\\folder\\" + longName + L".ext").c_str());
    EXPECT_EQ(cleaned.GetLength(), 252);
    std::wstring text = Std(cleaned);
    EXPECT_EQ(text.substr(0, 10), L"C:\\folder\\");
    EXPECT_EQ(text.substr(text.size() - 4), L".ext");
}

TEST(PathTest, ToSystemPath)
{
    VLFolders::SetInstalledProductFolder(L"D:\\Programs\\Product\\");
    const TextCase cases[] = {
        {L"C:/a/b.txt", L"C:\\a\\b.txt"},
        {L"file://C:/a%20b/c.txt", L"C:\\a b\\c.txt"},
        {L"FILE:///C:/x/%C3%A9.mp3", L"C:\\x\\\u00e9.mp3"},
        {L"file://localhost/C:/x", L"C:\\x"},
        {L"http://host/a/b", L"http://host/a/b"},      // other addresses stay as they are
        {L"(Install Drive):\\Music", L"D:\\Music"},
        {L"(install drive):/Music", L"D:\\Music"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(Std(VLPath::ToSystemPath(c.in)), c.want) << "input: " << Std(c.in);
    VLFolders::SetInstalledProductFolder(L"");
    EXPECT_EQ(Std(VLFolders::GetInstalledProductFolder()), Std(VLFolders::GetProgramFolder()));
}

TEST(PathTest, LongPathRuleStartsAt260UnitsAndUsesTheFullForm)
{
    std::wstring base = L"C:\\long\\";
    std::wstring at259 = base + std::wstring(259 - base.size(), L'a');
    std::wstring at260 = base + std::wstring(260 - base.size(), L'a');
    EXPECT_EQ(Std(VLPath::ToSystemPath(at259.c_str())), at259);
    EXPECT_EQ(Std(VLPath::ToSystemPath(at260.c_str())), L"\\\\?\\" + at260);

    // The prefix switches off Windows' own tidying, so "." and ".." must be gone.
    std::wstring withDots = L"C:\\long\\skip\\..\\.\\" + std::wstring(300, L'b');
    EXPECT_EQ(Std(VLPath::ToSystemPath(withDots.c_str())), L"\\\\?\\C:\\long\\" + std::wstring(300, L'b'));
    // Slashes are turned first, network paths get the UNC form, prefixed paths stay.
    std::wstring network = L"//server/share/" + std::wstring(300, L'c');
    EXPECT_EQ(Std(VLPath::ToSystemPath(network.c_str())), L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'c'));
    std::wstring prefixed = L"\\\\?\\C:\\" + std::wstring(300, L'd');
    EXPECT_EQ(Std(VLPath::ToSystemPath(prefixed.c_str())), prefixed);
}

TEST(PathTest, PathTests)
{
    struct Case {
        const wchar_t* path;
        bool absolute;
        bool local;
    };
    const Case cases[] = {
        {L"C:\\x", true, true},
        {L"c:\\", true, true},
        {L"C:x", false, true},
        {L"\\\\server\\share", true, true},
        {L"\\\\9", true, true},
        {L"\\\\-x", false, true},
        {L"x\\y", false, true},
        {L"", false, false},
        {L"http://host/a.mp3", false, false},
        {L"(5:hello)", false, false},
        {L"<XMLPH version=\"1\">", false, false},
        {L"C:\\a\\list.tvlb", true, false},
        {L"C:\\a\\b.vltv", true, false},
        {L"C:\\a\\guide.tvgd", true, false},
        {L"(C:\\a)", false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VLPath::IsValidAbsolutePath(c.path), c.absolute) << Std(c.path);
        EXPECT_EQ(VLPath::IsLocalFile(c.path), c.local) << Std(c.path);
    }
}

TEST(PathTest, IsRegistrableFile)
{
    EXPECT_TRUE(IsRegistrableFile(L"C:\\x\\codec.dll"));
    EXPECT_TRUE(IsRegistrableFile(L"C:\\x\\control.ocx"));
    EXPECT_TRUE(IsRegistrableFile(L"C:\\x\\filter.ax"));
    EXPECT_TRUE(IsRegistrableFile(L"C:\\my.dlls\\readme.txt"));   // a substring anywhere counts
    EXPECT_FALSE(IsRegistrableFile(L"C:\\x\\setup.exe"));
    EXPECT_FALSE(IsRegistrableFile(L"C:\\x\\CODEC.DLL"));         // case-sensitive
}

TEST(PathTest, FolderLocations)
{
    VLString windows = VLFolders::GetWindowsFolder();
    ASSERT_FALSE(windows.IsEmpty());
    EXPECT_EQ(Std(VLFolders::GetFontsFolder()), Std(windows) + L"Fonts\\");
    EXPECT_TRUE(VLFileSystem::DirectoryExists(VLFolders::GetSystemFolder()));
    EXPECT_TRUE(VLFileSystem::DirectoryExists(VLFolders::GetProgramFilesFolder()));
    EXPECT_TRUE(VLFileSystem::FileExists(VLFolders::GetProgramFolder() + L"SystemTest.exe"));
    for (VLString folder : {VLFolders::GetAppDataFolder(), VLFolders::GetCommonProgramsFolder(),
                            VLFolders::GetCommonDesktopFolder(), VLFolders::GetMusicFolder(),
                            VLFolders::GetTempFolder()}) {
        EXPECT_TRUE(VLFileSystem::DirectoryExists(folder)) << Std(folder);
        EXPECT_EQ(folder.GetLast(), L'\\') << Std(folder);
    }
}

TEST(PathTest, NormalizeFolderGivesTheLongNameWithOneBackslash)
{
    ScratchFolder scratch(L"Normalize");
    VLString folder = scratch / L"A Long Folder Name";
    ASSERT_TRUE(VLFileSystem::EnsureDirectory(folder));
    wchar_t shortName[2080] = {};
    DWORD length = ::GetShortPathNameW(folder, shortName, 2080);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(Std(VLPath::NormalizeFolder(VLString(shortName) + L"\\\\")), Std(folder) + L"\\");
    EXPECT_EQ(Std(VLPath::NormalizeFolder(L"")), L"");
    EXPECT_EQ(Std(VLPath::NormalizeFolder(L"C:\\does not exist")), L"C:\\does not exist\\");
}

}  // namespace
