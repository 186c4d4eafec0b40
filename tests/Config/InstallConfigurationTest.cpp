// Install.xml: where it is found, when its settings count, how folder values
// resolve, and the support-file lookup and package collection.

#include "InstallConfiguration.h"
#include "VLFileSystem.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Str(const VLString& s)
{
    return std::wstring(s.GetString(), static_cast<size_t>(s.GetLength()));
}

// A package folder per test: <root>\ holds the parent-folder Install.xml,
// <root>\Setup\ is the installer folder.
class InstallConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Process ids repeat across runs under Wine: take the first free name.
        CreateDirectoryW(L"C:\\VLConfigTest", nullptr);
        for (int i = 0; m_root.empty() && i < 10000; ++i) {
            std::wstring name = L"C:\\VLConfigTest\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(i) + L"\\";
            if (CreateDirectoryW(name.c_str(), nullptr))
                m_root = name;
        }
        ASSERT_FALSE(m_root.empty());
        m_installer = m_root + L"Setup\\";
        ASSERT_TRUE(CreateDirectoryW(m_installer.c_str(), nullptr));
    }

    void TearDown() override
    {
        if (!m_root.empty())
            VLFileSystem::DeleteDirectoryTree(VLString(m_root.c_str()));
    }

    void MakeFolder(const std::wstring& path) { ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)); }

    // Writes UTF-16 LE with a byte-order mark, as the usual editors do.
    void WriteText(const std::wstring& path, const std::wstring& text)
    {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        std::wstring bytes = L"\xFEFF" + text;
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size() * 2), &written, nullptr);
        CloseHandle(file);
    }

    static std::wstring Doc(const std::wstring& version, const std::wstring& settings)
    {
        return L"<?xml version=\"1.0\"?>\r\n<VLIC version=\"" + version + L"\">\r\n<Settings>\r\n" + settings +
               L"\r\n</Settings>\r\n</VLIC>\r\n";
    }

    struct Result {
        VLStringArray support;
        VLString library;
        VLString media;
        bool allowDowngrade = true;
    };
    Result Load()
    {
        Result r;
        EXPECT_TRUE(LoadInstallConfiguration(VLString(m_installer.c_str()),
                                             {r.support, r.library, r.media, r.allowDowngrade}));
        return r;
    }

    std::wstring m_root;
    std::wstring m_installer;
};

TEST_F(InstallConfigurationTest, DefaultsWithoutADocument)
{
    Result r = Load();
    ASSERT_EQ(r.support.GetCount(), 1);
    EXPECT_EQ(Str(r.support[0]), m_installer + L"Support\\");
    EXPECT_EQ(Str(r.library), m_installer + L"Library\\");
    EXPECT_EQ(Str(r.media), L"");
    EXPECT_TRUE(r.allowDowngrade);
}

TEST_F(InstallConfigurationTest, DocumentsThatAreNotUsed)
{
    const std::wstring settings = L"<SupportFiles>..\\Extras</SupportFiles><AllowDowngrade>0</AllowDowngrade>";
    const std::wstring texts[] = {
        Doc(L"0.9", settings),
        Doc(L"abc", settings),
        L"<VLIC><Settings>" + settings + L"</Settings></VLIC>",            // no version
        L"<Other version=\"1.0\"><Settings>" + settings + L"</Settings></Other>",  // another root
        L"<VLIC version=\"1.0\"><Settings>" + settings + L"</Settings>",   // not well-formed
        L"<VLIC version=\"1.0\">" + settings + L"</VLIC>",                 // no Settings
    };
    MakeFolder(m_root + L"Extras");
    for (const std::wstring& text : texts) {
        WriteText(m_installer + L"Install.xml", text);
        Result r = Load();
        EXPECT_EQ(r.support.GetCount(), 1);
        EXPECT_TRUE(r.allowDowngrade);
    }
}

TEST_F(InstallConfigurationTest, AcceptedVersions)
{
    for (const wchar_t* version : {L"1", L"1.0", L"2.5"}) {
        WriteText(m_installer + L"Install.xml", Doc(version, L"<AllowDowngrade>0</AllowDowngrade>"));
        EXPECT_FALSE(Load().allowDowngrade) << version;
    }
}

TEST_F(InstallConfigurationTest, AllowDowngradeValues)
{
    struct Case {
        const wchar_t* element;
        bool allow;
    };
    const Case cases[] = {
        {L"<AllowDowngrade>0</AllowDowngrade>", false},
        {L"<AllowDowngrade>1</AllowDowngrade>", true},
        {L"<AllowDowngrade> 7</AllowDowngrade>", true},
        {L"<AllowDowngrade>-2</AllowDowngrade>", true},
        {L"<AllowDowngrade>yes</AllowDowngrade>", false},
        {L"<AllowDowngrade>true</AllowDowngrade>", false},
        {L"<AllowDowngrade></AllowDowngrade>", true},
        {L"<AllowDowngrade/>", true},
        {L"<AllowDowngrade>0</AllowDowngrade><AllowDowngrade>1</AllowDowngrade>", false},  // the first wins
    };
    for (const Case& c : cases) {
        WriteText(m_installer + L"Install.xml", Doc(L"1.0", c.element));
        EXPECT_EQ(Load().allowDowngrade, c.allow) << testing::PrintToString(std::wstring(c.element));
    }
}

TEST_F(InstallConfigurationTest, DocumentBesideTheInstallerWins)
{
    MakeFolder(m_root + L"Extras");
    MakeFolder(m_root + L"Media");
    WriteText(m_root + L"Install.xml", Doc(L"1.0", L"<BundledMedia>Media</BundledMedia>"));
    // Only in the parent: used, and relative values start from the parent.
    Result parent = Load();
    EXPECT_EQ(Str(parent.media), m_root + L"Media\\");

    // In both places: the installer's own folder wins.
    WriteText(m_installer + L"Install.xml", Doc(L"1.0", L"<SupportFiles>..\\Extras</SupportFiles>"));
    Result both = Load();
    ASSERT_EQ(both.support.GetCount(), 2);
    EXPECT_EQ(Str(both.support[1]), m_root + L"Extras\\");
    EXPECT_EQ(Str(both.media), L"");
}

TEST_F(InstallConfigurationTest, SettingsInAnyOrderAndMissingFolders)
{
    MakeFolder(m_root + L"Extras");
    MakeFolder(m_installer + L"Media");
    const wchar_t* support = L"<SupportFiles>\r\n  ..\\Extras\r\n</SupportFiles>";
    const wchar_t* media = L"<BundledMedia>.\\Media\\</BundledMedia>";
    for (bool mediaFirst : {false, true}) {
        std::wstring settings = mediaFirst ? std::wstring(media) + support : std::wstring(support) + media;
        WriteText(m_installer + L"Install.xml", Doc(L"1.0", settings));
        Result r = Load();
        ASSERT_EQ(r.support.GetCount(), 2);
        EXPECT_EQ(Str(r.support[1]), m_root + L"Extras\\");
        EXPECT_EQ(Str(r.media), m_installer + L"Media\\");
    }
    WriteText(m_installer + L"Install.xml",
              Doc(L"1.0", L"<SupportFiles>Nowhere</SupportFiles><BundledMedia>C:\\Nowhere\\</BundledMedia>"));
    Result missing = Load();
    EXPECT_EQ(missing.support.GetCount(), 1);
    EXPECT_EQ(Str(missing.media), L"");
}

TEST(InstallConfiguration, ResolvesFolderValues)
{
    struct Case {
        const wchar_t* document;
        const wchar_t* value;
        const wchar_t* folder;
    };
    const Case cases[] = {
        {L"C:\\Pkg\\Setup\\Install.xml", L"..\\Extras", L"C:\\Pkg\\Extras\\"},
        {L"C:\\Pkg\\Setup\\..\\Install.xml", L"Extras", L"C:\\Pkg\\Extras\\"},
        {L"C:\\Pkg\\Setup\\Install.xml", L".\\a\\.\\b\\", L"C:\\Pkg\\Setup\\a\\b\\"},
        {L"C:\\Pkg\\Setup\\Install.xml", L"a\\..\\..\\..\\..\\b", L"C:\\b\\"},  // never above the drive
        {L"C:\\Pkg\\Setup\\Install.xml", L"D:\\Media", L"D:\\Media\\"},
        {L"C:\\Pkg\\Setup\\Install.xml", L"\\\\server\\share\\x", L"\\\\server\\share\\x\\"},
        {L"\\\\server\\share\\Setup\\Install.xml", L"..\\Extras", L"\\\\server\\share\\Extras\\"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Str(ResolveConfigurationFolder(c.document, c.value)), std::wstring(c.folder))
            << testing::PrintToString(std::wstring(c.value));
    }
}

TEST_F(InstallConfigurationTest, SupportFileLookupAndPackages)
{
    VLStringArray folders;
    folders.Add((m_installer + L"Support\\").c_str());  // does not exist
    EXPECT_EQ(Str(FindSupportFile(folders, L"dx.exe", false)), m_installer + L"Support\\dx.exe");
    EXPECT_EQ(Str(FindSupportFile(folders, L"dx.exe", true)), L"");
    EXPECT_EQ(Str(FindSupportFile(VLStringArray(), L"dx.exe", false)), L"");

    MakeFolder(m_installer + L"Support");
    MakeFolder(m_root + L"Extras");
    folders.Add((m_root + L"Extras\\").c_str());
    WriteText(m_root + L"Extras\\dx.exe", L"x");
    WriteText(m_root + L"Extras\\b.qbp", L"x");
    WriteText(m_root + L"Extras\\notes.txt", L"x");
    WriteText(m_installer + L"Support\\a.QBP", L"x");
    EXPECT_EQ(Str(FindSupportFile(folders, L"dx.exe", true)), m_root + L"Extras\\dx.exe");

    VLStringArray packages;
    CollectPackages(folders, packages);
    ASSERT_EQ(packages.GetCount(), 2);
    EXPECT_EQ(Str(packages[0]), m_installer + L"Support\\a.QBP");  // folder order
    EXPECT_EQ(Str(packages[1]), m_root + L"Extras\\b.qbp");
}

}  // namespace
