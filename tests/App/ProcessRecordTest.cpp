// The process record in shared memory: its bytes at the layout's offsets,
// text fields that never run past their slot, and the installed-program
// lookup against the real registry.
#include "VLProcessRecord.h"
#include "VLSharedMemory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

uint32_t U32At(const unsigned char* block, size_t offset)
{
    uint32_t value;
    std::memcpy(&value, block + offset, sizeof value);
    return value;
}

std::wstring TextAt(const unsigned char* block, size_t offset)
{
    const wchar_t* text = reinterpret_cast<const wchar_t*>(block + offset);
    return std::wstring(text, wcsnlen(text, 260));
}

std::wstring ProgramFile()
{
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, n);
}

// A scratch installations record, removed before and after each test.
class InstallationsRecord : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, VLProcessRecord::kInstallationsKey); }
    void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, VLProcessRecord::kInstallationsKey); }
    void AddInstallation(const wchar_t* name, const wchar_t* path)
    {
        std::wstring key = std::wstring(VLProcessRecord::kInstallationsKey) + L"\\" + name;
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr), 0);
        RegSetValueExW(h, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                       static_cast<DWORD>((wcslen(path) + 1) * sizeof(wchar_t)));
        RegCloseKey(h);
    }
};

}  // namespace

TEST(SharedMemory, EmptyNameFailsAndLeavesNothingOpen)
{
    VLSharedMemory block;
    ASSERT_TRUE(block.Open(L"VL test block", 64));
    EXPECT_FALSE(block.Open(L"", 64));
    EXPECT_FALSE(block.IsOpen());
    EXPECT_EQ(block.GetData(), nullptr);
}

TEST(SharedMemory, TwoOpensOfOneNameShareTheBytes)
{
    VLSharedMemory a, b;
    ASSERT_TRUE(a.Open(L"VL test shared", 128));
    ASSERT_TRUE(b.Open(L"VL test shared", 128));
    EXPECT_TRUE(b.Existed());
    a.GetData()[100] = 0x5A;
    EXPECT_EQ(b.GetData()[100], 0x5A);
}

TEST(ProcessRecord, BlockHoldsTheLayoutsBytes)
{
    VLProcessRecord& record = VLProcessRecord::Get();
    ASSERT_TRUE(record.IsOpen());
    EXPECT_TRUE(record.IsCreatedHere());
    EXPECT_EQ(std::wstring(VLProcessRecord::BlockName(4242).GetString()), L"Velmora Process v22 (4242)");

    record.SetInstallerFlag(true);
    record.SetModuleFolder(L"C:\\Package\\Quenbox\\");
    record.SetProgramFolder(L"C:\\Package\\Quenbox\\");
    record.SetInstallPath(L"C:\\Program Files\\Auralis 22\\", false, true);
    record.SetPortable(true);
    record.SetAppDataFolderFromInstallPath();
    record.SetMainWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234ABCD)));

    // Read through a second, independent view of the named block.
    VLSharedMemory view;
    ASSERT_TRUE(VLProcessRecord::ReadOther(GetCurrentProcessId(), view));
    const unsigned char* b = view.GetData();
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(TextAt(b, 2), ProgramFile());
    EXPECT_EQ(TextAt(b, 524), L"C:\\Program Files\\Auralis 22\\");
    EXPECT_EQ(TextAt(b, 1046), L"C:\\Package\\Quenbox\\");
    EXPECT_EQ(TextAt(b, 1568), L"C:\\Package\\Quenbox\\");
    EXPECT_EQ(TextAt(b, 2090), L"C:\\Program Files\\Auralis 22\\Application Data\\");
    EXPECT_EQ(b[2612], 1);
    EXPECT_EQ(U32At(b, 2616), GetCurrentThreadId());
    EXPECT_EQ(U32At(b, 2620), 0x80000001u);
    EXPECT_EQ(b[2624], 1);
    EXPECT_EQ(U32At(b, 3152), 0x1234ABCDu);
    EXPECT_EQ(U32At(b, 3160), 0xFFFFFFFFu);
    EXPECT_EQ(U32At(b, 3164), 0xFFFFFFFFu);
    EXPECT_EQ(U32At(b, 3168), 99u);
    // Every byte outside the fields is 0.
    const size_t textFields[] = {2, 524, 1046, 1568, 2090};
    for (size_t i = 0; i < VLProcessRecord::kBlockSize; ++i) {
        bool inField = i == 0 || i == 2612 || (i >= 2616 && i < 2624) || i == 2624 || (i >= 3152 && i < 3156) ||
                       (i >= 3160 && i < 3172);
        for (size_t f : textFields)
            inField = inField || (i >= f && i < f + 520);
        if (!inField) {
            ASSERT_EQ(b[i], 0) << "byte " << i;
        }
    }
    record.SetPortable(false);
    record.SetAppDataFolderFromInstallPath();
    EXPECT_EQ(TextAt(b, 2090), L"");
    record.SetMainWindow(nullptr);
}

TEST(ProcessRecord, LongTextsStayInsideTheirField)
{
    VLProcessRecord& record = VLProcessRecord::Get();
    std::wstring longPath(300, L'x');
    record.SetProgramFolder(longPath.c_str());
    record.SetModuleFolder(L"C:\\M\\");
    EXPECT_EQ(std::wstring(record.GetProgramFolder().GetString()), std::wstring(260, L'x'));
    EXPECT_EQ(std::wstring(record.GetModuleFolder().GetString()), L"C:\\M\\");  // the neighbour is intact
    record.SetProgramFolder(L"C:\\P\\");  // a shorter text clears the rest
    EXPECT_EQ(std::wstring(record.GetProgramFolder().GetString()), L"C:\\P\\");
}

TEST_F(InstallationsRecord, LookupFindsTheNamedInstallationOrNothing)
{
    bool portable = true;
    EXPECT_EQ(std::wstring(VLProcessRecord::FindInstallPath(L"C:\\Elsewhere\\", L"Auralis 22", portable).GetString()),
              L"");
    EXPECT_FALSE(portable);

    AddInstallation(L"Auralis 21", L"C:\\Program Files\\Auralis 21\\");
    AddInstallation(L"Auralis 22", L"C:\\Program Files\\Auralis 22\\");
    struct Case {
        const wchar_t* programFolder;
        const wchar_t* name;
        const wchar_t* want;
    };
    const Case cases[] = {
        {L"C:\\Elsewhere\\", L"Auralis 22", L"C:\\Program Files\\Auralis 22\\"},
        {L"C:\\Elsewhere\\", L"Auralis 21", L"C:\\Program Files\\Auralis 21\\"},
        {L"C:\\Elsewhere\\", L"auralis 22", L""},  // names compare exactly
        {L"C:\\Elsewhere\\", L"Auralis", L""},
        // Without a name: the installation holding the program's folder.
        {L"C:\\Program Files\\Auralis 22\\", L"", L"C:\\Program Files\\Auralis 22\\"},
        {L"c:\\program files\\auralis 21\\Plugins\\", L"", L"C:\\Program Files\\Auralis 21\\"},
        {L"C:\\Program Files\\Auralis 2\\", L"", L""},
        {L"C:\\Elsewhere\\", L"", L""},
    };
    for (const Case& c : cases) {
        std::wstring got = VLProcessRecord::FindInstallPath(c.programFolder, c.name, portable).GetString();
        EXPECT_EQ(got, std::wstring(c.want)) << VLString(c.programFolder).ToUtf8() << " / " << VLString(c.name).ToUtf8();
        EXPECT_FALSE(portable);
    }
}

TEST_F(InstallationsRecord, PortableMarkerBesideTheProgramWins)
{
    AddInstallation(L"Auralis 22", L"C:\\Program Files\\Auralis 22\\");
    const wchar_t* folder = L"C:\\vl-portable-test\\";
    CreateDirectoryW(folder, nullptr);
    std::wstring marker = std::wstring(folder) + VLProcessRecord::kPortableMarker;
    HANDLE h = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    bool portable = false;
    EXPECT_EQ(std::wstring(VLProcessRecord::FindInstallPath(L"C:\\vl-portable-test", L"Auralis 22", portable).GetString()),
              L"C:\\vl-portable-test\\");
    EXPECT_TRUE(portable);
    DeleteFileW(marker.c_str());
    RemoveDirectoryW(folder);
}
