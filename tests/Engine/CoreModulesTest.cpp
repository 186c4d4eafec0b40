// CopyCoreModules: both passes, a locked module with Retry and with Cancel
// answered through the message box.
#include "VLFileSystem.h"
#include "VLPath.h"
#include "EngineTestSupport.h"
#include "FilePlacer.h"
#include "PlacementRules.h"
#include "VLHandle.h"

namespace {

void WriteCoreModules(const VLString& folder, const char* content)
{
    for (const wchar_t* name : kCoreModules)
        WriteTextFile(folder + name, content);
}

const wchar_t kCriticalText[] =
    L"Install Wizard encountered a critical error and must close.\r\n\r\n"
    L"It is recommended that you reboot your computer and install again.\r\n\r\n"
    L"If this error persists, please uninstall and then install again.";

}  // namespace

TEST(CoreModules, ChosenNameKeepsItsPlaceAndLength)
{
    EXPECT_EQ(wcslen(kCoreModules[0]), 11u);
    const wchar_t* named[] = {L"VLImage.dll", L"VLReader.dll", L"VLDisc.dll", L"VLPlayer.dll",
                              L"VLWMFactory.dll", L"VLTelevision.dll"};
    for (int i = 0; i < 6; ++i)
        EXPECT_STREQ(kCoreModules[i + 1], named[i]);
}

// Both passes on 64-bit Windows, one on 32-bit; a missing module is skipped;
// read-only targets are overwritten.
TEST(CoreModules, CopiesBothPasses)
{
    for (bool windows64 : {true, false}) {
        CEngineFixture f(windows64 ? L"_64" : L"_32");
        f.Context.Is64BitWindows = windows64;
        WriteCoreModules(f.Installer + L"Quenbox\\", "32");
        WriteCoreModules(f.Installer + L"Quenbox\\x64\\", "64");
        ::DeleteFileW(f.Installer + L"Quenbox\\VLDisc.dll");
        WriteTextFile(f.Destination + L"VLPlayer.dll", "old");
        ::SetFileAttributesW(f.Destination + L"VLPlayer.dll", FILE_ATTRIBUTE_READONLY);

        CFilePlacer placer(f.Context);
        EXPECT_TRUE(placer.CopyCoreModules());
        EXPECT_TRUE(f.Host.Boxes.empty());
        for (const wchar_t* name : kCoreModules) {
            VLString target = f.Destination + name;
            if (VLString(name) == L"VLDisc.dll")
                EXPECT_FALSE(VLFileSystem::FileExists(target));
            else
                EXPECT_EQ(ReadTextFile(target), "32") << Str(target);
            EXPECT_EQ(ReadTextFile(f.Destination + L"x64\\" + name), windows64 ? "64" : "<missing>");
        }
        EXPECT_EQ(::GetFileAttributesW(f.Destination + L"VLPlayer.dll") & FILE_ATTRIBUTE_READONLY, 0u);
    }
}

// A module held open: the Retry/Cancel box names it; Retry after the lock is
// released copies everything.
TEST(CoreModules, LockedModuleRetried)
{
    CEngineFixture f;
    WriteCoreModules(f.Installer + L"Quenbox\\", "new");
    WriteCoreModules(f.Installer + L"Quenbox\\x64\\", "new64");
    VLString locked = f.Destination + L"x64\\VLReader.dll";
    WriteTextFile(locked, "old");
    VLUniqueFile held(::CreateFileW(locked, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.IsValid());
    f.Host.Answers.push_back([&] {
        held.Reset();
        return std::wstring(L"Retry");
    });

    CFilePlacer placer(f.Context);
    EXPECT_TRUE(placer.CopyCoreModules());
    ASSERT_EQ(f.Host.Boxes.size(), 1u);
    const CShownBox& box = f.Host.Boxes[0];
    EXPECT_EQ(box.Caption, L"Failure Copying System File");
    EXPECT_EQ(box.Text, L"Install Wizard could not copy necessary files to the destination folder.\r\n\r\n"
                        L"Please ensure that the file '" + Str(locked) + L"' is not in use.");
    EXPECT_EQ(box.Buttons, (std::vector<std::wstring>{L"Retry", L"Cancel"}));
    EXPECT_EQ(ReadTextFile(locked), "new64");
    EXPECT_EQ(ReadTextFile(f.Destination + L"x64\\VLTelevision.dll"), "new64");
}

// Retry while still locked asks again; Cancel shows the critical error and
// gives up. The copy stops at the first failure.
TEST(CoreModules, LockedModuleCancelled)
{
    CEngineFixture f;
    WriteCoreModules(f.Installer + L"Quenbox\\", "new");
    VLString locked = f.Destination + L"VLReader.dll";
    WriteTextFile(locked, "old");
    VLUniqueFile held(::CreateFileW(locked, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held.IsValid());
    f.Host.Answers.push_back([] { return std::wstring(L"Retry"); });
    f.Host.Answers.push_back([] { return std::wstring(L"Cancel"); });
    f.Host.Answers.push_back([] { return std::wstring(L"OK"); });

    CFilePlacer placer(f.Context);
    EXPECT_FALSE(placer.CopyCoreModules());
    ASSERT_EQ(f.Host.Boxes.size(), 3u);
    EXPECT_EQ(f.Host.Boxes[1].Caption, L"Failure Copying System File");
    EXPECT_EQ(f.Host.Boxes[2].Caption, L"Install Error");
    EXPECT_EQ(f.Host.Boxes[2].Text, kCriticalText);
    // Modules after the locked one were not copied.
    EXPECT_FALSE(VLFileSystem::FileExists(f.Destination + L"VLDisc.dll"));
    EXPECT_EQ(ReadTextFile(f.Destination + L"VLAudio.dll"), "new");
}
