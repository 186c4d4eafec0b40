// Component registration through RegSvr32 (Wine's own), in this process with
// contained faults, and through the PackageInstaller.exe stand-in.

#include "ProcessTestSupport.h"
#include "VLLibrary.h"
#include "VLServerRegistration.h"

#include <gtest/gtest.h>

namespace {

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(VLFileSystem::FileExists(StandinFolder() + L"StandinServer.dll")) << Std(StandinFolder());
        VLLog::Close();
        VLLog::SetFolder(m_scratch / L"logs");
        ::SetEnvironmentVariableW(L"VL_STANDIN_REGISTER_RESULT", nullptr);
    }
    void TearDown() override
    {
        ::SetEnvironmentVariableW(L"VL_STANDIN_REGISTER_RESULT", nullptr);
        ::SetEnvironmentVariableW(L"VL_STANDIN_EXIT_CODE", nullptr);
        VLFolders::SetInstalledProductFolder(L"");
        VLLog::Close();
        VLLog::SetFolder(nullptr);
    }

    ScratchFolder m_scratch{L"Registration"};
    JournalScope m_journal{m_scratch};
};

VLString CurrentFolder()
{
    wchar_t buffer[2080];
    DWORD length = ::GetCurrentDirectoryW(2080, buffer);
    return VLString(buffer, static_cast<int>(length));
}

TEST_F(RegistrationTest, RegSvr32RegistersAndUnregisters)
{
    VLString server = StandinFolder() + L"StandinServer.dll";
    EXPECT_TRUE(RegisterServerByRegSvr32(server, true, false));
    EXPECT_TRUE(RegisterServerByRegSvr32(server, false, true));   // 64-bit mode in a 64-bit process: no switching
    auto entries = m_journal.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Program, L"StandinServer.dll");
    EXPECT_EQ(entries[0].Arguments, L"DllRegisterServer");
    EXPECT_EQ(entries[1].Arguments, L"DllUnregisterServer");

    std::string log = LogText();
    EXPECT_NE(log.find("system32\\RegSvr32.exe / Parameters: /s \""), std::string::npos);
    EXPECT_NE(log.find("Parameters: /s /u \""), std::string::npos);
}

TEST_F(RegistrationTest, RegSvr32ReportsAFailingServer)
{
    ::SetEnvironmentVariableW(L"VL_STANDIN_REGISTER_RESULT", L"0x80004005");
    EXPECT_FALSE(RegisterServerByRegSvr32(StandinFolder() + L"StandinServer.dll", true, false));
    EXPECT_EQ(m_journal.Entries().size(), 1u);
    EXPECT_FALSE(RegisterServerByRegSvr32(m_scratch / L"missing.dll", true, false));
}

TEST_F(RegistrationTest, InProcessRunsBesideTheModuleAndRestoresTheCurrentFolder)
{
    ASSERT_TRUE(::SetCurrentDirectoryW(m_scratch.Path()));
    VLString before = CurrentFolder();
    EXPECT_TRUE(RegisterServerInProcess(StandinFolder() + L"StandinServer.dll"));
    EXPECT_EQ(Std(CurrentFolder()), Std(before));
    auto entries = m_journal.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Arguments, L"DllRegisterServer");
    EXPECT_EQ(entries[0].Folder + L"\\", Std(StandinFolder()));
    // The module was freed again.
    EXPECT_EQ(::GetModuleHandleW(L"StandinServer.dll"), nullptr);
}

TEST_F(RegistrationTest, InProcessFailuresLeaveTheCurrentFolderAsItWas)
{
    ASSERT_TRUE(::SetCurrentDirectoryW(m_scratch.Path()));
    VLString before = CurrentFolder();
    struct Case {
        const wchar_t* module;
        const wchar_t* registerResult;  // for StandinServer.dll
        const char* logged;
    };
    const Case cases[] = {
        {L"StandinNoEntry.dll", nullptr, "No DllRegisterServer in"},
        {L"StandinServer.dll", L"0x80004005", "failed (0x80004005)"},
        {L"StandinFaultServer.dll", nullptr, "faulted (exception 0xC0000005)"},
        {L"missing.dll", nullptr, "Cannot load"},
    };
    for (const Case& c : cases) {
        ::SetEnvironmentVariableW(L"VL_STANDIN_REGISTER_RESULT", c.registerResult);
        EXPECT_FALSE(RegisterServerInProcess(StandinFolder() + c.module)) << Std(c.module);
        EXPECT_EQ(Std(CurrentFolder()), Std(before)) << Std(c.module);
        EXPECT_NE(LogText().find(c.logged), std::string::npos) << c.logged;
    }
    // The fault happened inside the call (after it logged itself), and the
    // installer lives on: a good server registers after it.
    auto entries = m_journal.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].Program, L"StandinFaultServer.dll");
    ::SetEnvironmentVariableW(L"VL_STANDIN_REGISTER_RESULT", nullptr);
    EXPECT_TRUE(RegisterServerInProcess(StandinFolder() + L"StandinServer.dll"));
    EXPECT_EQ(m_journal.Entries().size(), 3u);
}

LONG g_previousFilterCalls = 0;

LONG WINAPI CountingFilter(EXCEPTION_POINTERS*)
{
    ++g_previousFilterCalls;
    return EXCEPTION_CONTINUE_SEARCH;
}

TEST_F(RegistrationTest, AContainedFaultStaysAwayFromTheProcessFilterWhichIsPutBack)
{
    g_previousFilterCalls = 0;
    LPTOP_LEVEL_EXCEPTION_FILTER original = ::SetUnhandledExceptionFilter(CountingFilter);
    EXPECT_FALSE(RegisterServerInProcess(StandinFolder() + L"StandinFaultServer.dll"));
    EXPECT_EQ(g_previousFilterCalls, 0);   // the contained fault did not reach it
    LPTOP_LEVEL_EXCEPTION_FILTER restored = ::SetUnhandledExceptionFilter(original);
    EXPECT_EQ(restored, CountingFilter);
}

TEST_F(RegistrationTest, PackageInstallerGetsRegDllAndUnRegDll)
{
    VLFolders::SetInstalledProductFolder(StandinFolder());
    ::SetEnvironmentVariableW(L"VL_STANDIN_EXIT_CODE", L"4");   // its exit code is not the result
    EXPECT_TRUE(RegisterByPackageInstaller(L"C:\\Program Files\\Product\\codec.dll", true));
    EXPECT_TRUE(RegisterByPackageInstaller(L"Shell Extensions", false));
    auto entries = m_journal.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Program, L"PackageInstaller.exe");
    EXPECT_EQ(entries[0].Arguments, L"/RegDLL C:\\Program Files\\Product\\codec.dll");
    EXPECT_EQ(entries[1].Arguments, L"/UnRegDLL Shell Extensions");

}

TEST(LibraryTest, LoadsLooksUpAndFrees)
{
    VLLibrary library;
    EXPECT_FALSE(library.Load(L""));
    EXPECT_FALSE(library.GetEntryPoint("DllRegisterServer"));
    ASSERT_TRUE(library.Load(StandinFolder() + L"StandinServer.dll"));
    EXPECT_NE(library.GetEntryPoint("DllRegisterServer"), nullptr);
    EXPECT_NE(library.GetEntryPoint(VLString(L"DllUnregisterServer")), nullptr);
    EXPECT_EQ(library.GetEntryPoint("Missing"), nullptr);
    // Loading another module frees the first.
    ASSERT_TRUE(library.Load(StandinFolder() + L"StandinNoEntry.dll"));
    EXPECT_EQ(::GetModuleHandleW(L"StandinServer.dll"), nullptr);
    library.Free();
    EXPECT_EQ(::GetModuleHandleW(L"StandinNoEntry.dll"), nullptr);
    EXPECT_FALSE(library.Load(StandinFolder() + L"missing.dll"));
}

}  // namespace
