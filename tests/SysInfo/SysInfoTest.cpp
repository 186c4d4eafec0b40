// System information and shutdown: the Windows version table, the processor
// feature word, version resources of real DLLs, and the shutdown sequence
// checked through its seam with the real process token.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "CSystemShutdown.h"
#include "CVersionInfo.h"
#include "VLLog.h"
#include "VLSystemInfo.h"

namespace {

std::wstring W(const VLString& s)
{
    return std::wstring(s.GetString(), s.GetLength());
}

VLString ExeFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path);
    return VLString(p.substr(0, p.rfind(L'\\') + 1).c_str());
}

}  // namespace

TEST(OSDescription, TableOfVersions)
{
    struct Case {
        DWORD platform;
        DWORD major;
        DWORD minor;
        const wchar_t* servicePack;
        int code;
        const wchar_t* text;
    };
    const DWORD k9x = VER_PLATFORM_WIN32_WINDOWS;
    const DWORD kNT = VER_PLATFORM_WIN32_NT;
    const Case cases[] = {
        {k9x, 4, 0, L"", 1000, L"Microsoft Windows 95"},
        {k9x, 4, 10, L"", 1001, L"Microsoft Windows 98"},
        {k9x, 4, 10, L" A ", 1002, L"Microsoft Windows 98"},  // second edition: "A" is the second character
        {k9x, 4, 10, L"A", 1001, L"Microsoft Windows 98"},    // "A" first is not the marker
        {k9x, 4, 90, L"", 1003, L"Microsoft Windows ME"},
        {k9x, 4, 20, L"", 0, L"Unknown OS"},
        {kNT, 3, 51, L"", 1004, L"Microsoft Windows NT"},
        {kNT, 4, 0, L"Service Pack 6", 1004, L"Microsoft Windows NT"},
        {kNT, 5, 0, L"", 1005, L"Microsoft Windows 2000"},
        {kNT, 5, 1, L"", 1006, L"Microsoft Windows XP"},
        {kNT, 5, 2, L"", 1007, L"Microsoft Windows Server 2003"},
        {kNT, 5, 3, L"", 0, L"Unknown OS"},
        {kNT, 6, 0, L"", 1008, L"Microsoft Windows Vista"},
        {kNT, 6, 1, L"Service Pack 1", 1009, L"Microsoft Windows 7"},
        {kNT, 6, 2, L"", 1010, L"Microsoft Windows 8"},
        {kNT, 6, 3, L"", 1011, L"Microsoft Windows 8.1"},
        {kNT, 6, 4, L"", 1013, L"Microsoft Windows New (6.4)"},
        {kNT, 7, 0, L"", 1013, L"Microsoft Windows New (7.0)"},
        {kNT, 9, 2, L"", 1013, L"Microsoft Windows New (9.2)"},
        {kNT, 10, 0, L"", 1012, L"Microsoft Windows 10"},
        {kNT, 10, 1, L"", 1013, L"Microsoft Windows New (10.1)"},
        {kNT, 11, 0, L"", 1013, L"Microsoft Windows New (11.0)"},
        {VER_PLATFORM_WIN32s, 3, 1, L"", 0, L"Unknown OS"},
    };
    for (const Case& c : cases) {
        VLOSDescription d = VLClassifyOS(c.platform, c.major, c.minor, c.servicePack);
        SCOPED_TRACE(testing::Message() << c.platform << " " << c.major << "." << c.minor);
        EXPECT_EQ(d.code, c.code);
        EXPECT_EQ(W(d.text), c.text);
        EXPECT_EQ(d.major, c.major);
        EXPECT_EQ(d.minor, c.minor);
    }
}

TEST(OSDescription, RunningSystemIsNamedByTheTable)
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ASSERT_TRUE(GetVersionExW(&info));
#pragma GCC diagnostic pop
    VLOSDescription d = VLDescribeOS();
    EXPECT_EQ(d.major, info.dwMajorVersion);
    EXPECT_EQ(d.minor, info.dwMinorVersion);
    // Every NT version this program can run on is named.
    EXPECT_GE(d.code, VL_OS_WINXP) << W(d.text);
    EXPECT_EQ(d.code, VLGetOSVersionCode());
    EXPECT_EQ(W(d.text), W(VLClassifyOS(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion,
                                        info.szCSDVersion).text));
}

TEST(ProcessorFeatures, WordFromCpuidBits)
{
    struct Case {
        unsigned edx;
        unsigned word;
    };
    const Case cases[] = {
        {0, 0},
        {1u << 23, VL_CPU_MMX},
        {1u << 26, VL_CPU_SSE2},  // SSE2 reported without MMX: the MMX bit stays clear
        {(1u << 23) | (1u << 26), VL_CPU_MMX | VL_CPU_SSE2},
        {~((1u << 23) | (1u << 26)), 0},  // no other bit leaks in
    };
    for (const Case& c : cases)
        EXPECT_EQ(VLProcessorFeaturesFromCpuid(c.edx), c.word) << std::hex << c.edx;
    EXPECT_EQ(static_cast<unsigned>(VL_CPU_MMX), 2u);  // bit 1
    EXPECT_EQ(static_cast<unsigned>(VL_CPU_SSE2), 8u);  // bit 3
}

TEST(ProcessorFeatures, RunningProcessorHasMmxAndSse2)
{
    // Every x86-64 processor has both.
    unsigned word = VLGetProcessorFeatures();
    EXPECT_TRUE(word & VL_CPU_MMX);
    EXPECT_TRUE(word & VL_CPU_SSE2);
}

TEST(VersionInfo, ReadsVersionResourcesOfRealDlls)
{
    struct Case {
        const wchar_t* dll;
        const wchar_t* four;
        const wchar_t* three;
        uint64_t version64;
    };
    const Case cases[] = {
        {L"VersionProbe22.dll", L"22.3.5.2", L"22.3.5", 0x0016000300050002ull},
        {L"VersionProbeHigh.dll", L"65535.65534.40000.1", L"65535.65534.40000", 0xFFFFFFFE9C400001ull},
    };
    ASSERT_TRUE(CVersionInfo::AreVersionFunctionsAvailable());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dll);
        CVersionInfo info;
        ASSERT_TRUE(info.Load(ExeFolder() + c.dll));
        VLString text;
        ASSERT_EQ(info.GetVersionText(text), S_OK);
        EXPECT_EQ(W(text), c.four);
        ASSERT_EQ(info.GetVersionText(text, false), S_OK);
        EXPECT_EQ(W(text), c.three);
        EXPECT_EQ(info.GetFileVersion64(), c.version64);
        EXPECT_EQ(CVersionInfo::FileVersion64(ExeFolder() + c.dll), c.version64);
    }
    // Compared as unsigned numbers, the high version is the newer one.
    EXPECT_GT(CVersionInfo::FileVersion64(ExeFolder() + L"VersionProbeHigh.dll"),
              CVersionInfo::FileVersion64(ExeFolder() + L"VersionProbe22.dll"));
}

TEST(VersionInfo, NoVersionGivesNoText)
{
    // A text file, a missing file, and a real DLL without a version resource.
    VLString plain = ExeFolder() + L"VersionProbePlain.txt";
    {
        std::ofstream out(std::wstring(plain.GetString()).c_str(), std::ios::binary);
        out << "not a program";
    }
    const VLString files[] = {plain, ExeFolder() + L"NoSuchFile.dll", ExeFolder() + L"VersionProbeNone.dll"};
    for (const VLString& file : files) {
        SCOPED_TRACE(testing::Message() << file.ToUtf8());
        CVersionInfo info;
        EXPECT_FALSE(info.Load(file));
        VLString text(L"unchanged");
        EXPECT_EQ(info.GetVersionText(text), E_FAIL);
        EXPECT_EQ(W(text), L"unchanged");
        EXPECT_EQ(info.GetFileVersion64(), 0u);
        EXPECT_EQ(CVersionInfo::FileVersion64(file), 0u);
    }
    DeleteFileW(plain);

    CVersionInfo empty;
    VLString text;
    EXPECT_EQ(empty.GetVersionText(text), E_FAIL);  // no file set

    // Loading a file without a version after one with a version forgets the old block.
    CVersionInfo reused;
    ASSERT_TRUE(reused.Load(ExeFolder() + L"VersionProbe22.dll"));
    EXPECT_FALSE(reused.Load(ExeFolder() + L"VersionProbeNone.dll"));
    EXPECT_EQ(reused.GetVersionText(text), E_FAIL);
    EXPECT_EQ(reused.GetFileVersion64(), 0u);
}

namespace {

// The state of a privilege on the process token: 1 enabled, 0 disabled,
// -1 not held at all.
int PrivilegeState(const wchar_t* name)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return -1;
    LUID luid{};
    LookupPrivilegeValueW(nullptr, name, &luid);
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    int state = -1;
    if (GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
        auto* privileges = reinterpret_cast<TOKEN_PRIVILEGES*>(buffer.data());
        for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
            const LUID_AND_ATTRIBUTES& p = privileges->Privileges[i];
            if (p.Luid.LowPart == luid.LowPart && p.Luid.HighPart == luid.HighPart)
                state = (p.Attributes & SE_PRIVILEGE_ENABLED) ? 1 : 0;
        }
    }
    CloseHandle(token);
    return state;
}

// Records what would end the session instead of ending it.
class RecordingShutdown : public CSystemShutdown {
public:
    std::vector<UINT> flags;
    int privilegeDuringCall = -2;
    bool answer = true;
    bool suspendCalled = false;
    bool suspendHibernate = false;
    bool suspendFunctionFound = false;

protected:
    bool CallExitWindows(UINT f) override
    {
        flags.push_back(f);
        privilegeDuringCall = PrivilegeState(SE_SHUTDOWN_NAME);
        return answer;
    }
    bool CallSetSuspendState(SetSuspendStateFn fn, bool hibernate) override
    {
        suspendCalled = true;
        suspendFunctionFound = fn != nullptr;
        suspendHibernate = hibernate;
        return answer;
    }
};

std::string ReadFile(const VLString& path)
{
    std::ifstream in(std::wstring(path.GetString()).c_str(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(SystemShutdown, RestartEnablesThePrivilegeOnlyForTheCall)
{
    const int shutdownBefore = PrivilegeState(SE_SHUTDOWN_NAME);
    const int changeNotifyBefore = PrivilegeState(SE_CHANGE_NOTIFY_NAME);
    ASSERT_NE(shutdownBefore, -1) << "the process token has no shutdown privilege";

    RecordingShutdown shutdown;
    EXPECT_TRUE(shutdown.Shutdown(true));
    ASSERT_EQ(shutdown.flags.size(), 1u);
    EXPECT_EQ(shutdown.flags[0], 0x12u);  // reboot, forcing hung programs
    EXPECT_EQ(shutdown.privilegeDuringCall, 1);

    // Afterwards the shutdown privilege is as it was, and the privileges the
    // process started with are still enabled.
    EXPECT_EQ(PrivilegeState(SE_SHUTDOWN_NAME), shutdownBefore);
    EXPECT_EQ(PrivilegeState(SE_CHANGE_NOTIFY_NAME), changeNotifyBefore);

    std::string log = ReadFile(VLLog::GetFilePath());
    EXPECT_NE(log.find("[CSystemShutdown::Shutdown] mode: Restart"), std::string::npos) << log;
}

TEST(SystemShutdown, PowerOffFlagsAndRefusalAreReported)
{
    RecordingShutdown shutdown;
    shutdown.answer = false;
    EXPECT_FALSE(shutdown.Shutdown(false));
    ASSERT_EQ(shutdown.flags.size(), 1u);
    EXPECT_EQ(shutdown.flags[0], 0x19u);  // shut down and power off, forcing hung programs
    EXPECT_EQ(shutdown.privilegeDuringCall, 1);
}

TEST(SystemShutdown, SuspendLooksUpSetSuspendState)
{
    RecordingShutdown shutdown;
    EXPECT_TRUE(shutdown.Suspend(true));
    EXPECT_TRUE(shutdown.suspendCalled);
    EXPECT_TRUE(shutdown.suspendFunctionFound);
    EXPECT_TRUE(shutdown.suspendHibernate);
}

TEST(VersionInfo, ReadsAFileBehindALongPath)
{
    // A copy of the probe DLL in a folder chain longer than MAX_PATH: the
    // reader hands such a path to Windows with the "\\?\" prefix, which the
    // version functions must accept.
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(L"\\\\?\\") + temp + L"VLVersionLongPath";
    std::vector<std::wstring> created;
    CreateDirectoryW(folder.c_str(), nullptr);
    created.push_back(folder);
    while (folder.size() < 300) {
        folder += L"\\" + std::wstring(40, L'v');
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        created.push_back(folder);
    }
    const std::wstring longFile = folder + L"\\VersionProbe22.dll";
    ASSERT_TRUE(CopyFileW(W(ExeFolder() + L"VersionProbe22.dll").c_str(), longFile.c_str(), FALSE));

    CVersionInfo info;
    EXPECT_TRUE(info.Load(VLString(longFile.c_str() + 4)));  // given without the prefix
    VLString text;
    EXPECT_EQ(info.GetVersionText(text), S_OK);
    EXPECT_EQ(W(text), L"22.3.5.2");

    DeleteFileW(longFile.c_str());
    for (auto it = created.rbegin(); it != created.rend(); ++it)
        RemoveDirectoryW(it->c_str());
}
