// The program's component runner against real modules.
#include "ComponentRunner.h"
#include "VLFileSystem.h"
#include "VLPath.h"
#include "EngineTestSupport.h"
#include "VLHandle.h"

#include <windows.h>

TEST(ComponentRunner, RegisterInProcessRunsFromTheModuleFolderAndRestoresIt)
{
    VLString folder = ScratchFolder();
    VLString module = folder + L"Codecs\\Register.dll";
    ASSERT_TRUE(CopyModule(L"EngineRegister.dll", module));
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VLEngineTest");
    wchar_t before[MAX_PATH] = {}, after[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, before);

    CWin32ComponentRunner runner;
    EXPECT_TRUE(runner.RegisterInProcess(module));
    ::GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(before, after);

    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof(value);
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, L"Software\\VLEngineTest", L"RegisteredFrom", RRF_RT_REG_SZ, nullptr,
                             value, &size),
              ERROR_SUCCESS);
    VLString expected = VLPath::GetFolder(module);
    EXPECT_EQ(std::wstring(value) + L"\\", Str(expected));

    // A module without the entry point, and one that does not exist, fail.
    VLString plain = folder + L"Plain.dll";
    ASSERT_TRUE(CopyModule(L"EngineNoVersion.dll", plain));
    EXPECT_FALSE(runner.RegisterInProcess(plain));
    EXPECT_FALSE(runner.RegisterInProcess(folder + L"Missing.dll"));
    ::GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(before, after);
}
