// The registry key owner against Wine's registry: typed reads and writes,
// the error codes it makes itself, tree deletion and both registry views.

#include "SystemTestSupport.h"
#include "VLRegistryKey.h"
#include "VLStringArray.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kScratchKey[] = L"Software\\VLSystemTest";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteScratch();
        ASSERT_EQ(m_key.Create(HKEY_CURRENT_USER, kScratchKey), ERROR_SUCCESS);
    }
    void TearDown() override
    {
        m_key.Close();
        DeleteScratch();
    }
    static void DeleteScratch()
    {
        VLRegistryKey root;
        if (root.Open(HKEY_CURRENT_USER, L"Software", KEY_READ | KEY_WRITE) == ERROR_SUCCESS)
            root.DeleteKeyTree(L"VLSystemTest");
    }

    VLRegistryKey m_key;
};

TEST_F(RegistryTest, ReadStringAndReadIntByValueType)
{
    const BYTE binary[] = {1, 2, 3};
    ASSERT_EQ(m_key.WriteDword(L"dword", 5), ERROR_SUCCESS);
    ASSERT_EQ(m_key.WriteBinary(L"binary", binary, sizeof(binary)), ERROR_SUCCESS);
    ASSERT_EQ(m_key.WriteString(L"text", L"12abc"), ERROR_SUCCESS);
    ASSERT_EQ(m_key.WriteString(L"empty", L""), ERROR_SUCCESS);
    ASSERT_EQ(m_key.WriteExpandString(L"expand", L"%WINDIR%\\x"), ERROR_SUCCESS);
    // Text stored without its terminator, as other programs sometimes write it.
    ASSERT_EQ(::RegSetValueExW(m_key.GetHandle(), L"unterminated", 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(L"abcdef"), 3 * sizeof(wchar_t)),
              ERROR_SUCCESS);

    struct Case {
        const wchar_t* name;
        const wchar_t* text;  // ReadString with default "def"
        int number;           // ReadInt
    };
    const Case cases[] = {
        {L"dword", L"5", 5},
        {L"binary", L"def", 0},
        {L"text", L"12abc", 12},
        {L"empty", L"", 0},
        {L"expand", L"%WINDIR%\\x", 0},   // returned as stored; ReadInt takes REG_SZ only
        {L"unterminated", L"abc", 0},
        {L"missing", L"def", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Std(m_key.ReadString(c.name, L"def")), c.text) << Std(c.name);
        EXPECT_EQ(m_key.ReadInt(c.name), c.number) << Std(c.name);
    }
    EXPECT_TRUE(m_key.HasStringValue(L"text"));
    EXPECT_FALSE(m_key.HasStringValue(L"expand"));
    EXPECT_FALSE(m_key.HasStringValue(L"dword"));
}

TEST_F(RegistryTest, TypedRoundTrips)
{
    const BYTE binary[] = {0, 255, 7};
    ASSERT_EQ(m_key.WriteBinary(L"binary", binary, sizeof(binary)), ERROR_SUCCESS);
    std::vector<BYTE> data;
    ASSERT_TRUE(m_key.ReadBinary(L"binary", data));
    EXPECT_EQ(data, std::vector<BYTE>(binary, binary + 3));

    VLStringArray values;
    values.Add(L"first");
    values.Add(L"");        // cannot be stored inside the list: skipped
    values.Add(L"second");
    ASSERT_EQ(m_key.WriteMultiString(L"multi", values), ERROR_SUCCESS);
    VLStringArray read;
    read.Add(L"stale");
    ASSERT_TRUE(m_key.ReadMultiString(L"multi", read));
    ASSERT_EQ(read.GetCount(), 2);
    EXPECT_EQ(Std(read[0]), L"first");
    EXPECT_EQ(Std(read[1]), L"second");

    DWORD number = 99;
    EXPECT_FALSE(m_key.ReadDword(L"multi", number));   // wrong type: untouched
    EXPECT_EQ(number, 99u);
    ASSERT_EQ(m_key.WriteDword(L"n", 0xFFFFFFFF), ERROR_SUCCESS);
    EXPECT_TRUE(m_key.ReadDword(L"n", number));
    EXPECT_EQ(number, 0xFFFFFFFFu);
    EXPECT_FALSE(m_key.ReadBinary(L"n", data));

    wchar_t buffer[4];
    DWORD length = 0;
    ASSERT_EQ(m_key.WriteString(L"s", L"abc"), ERROR_SUCCESS);
    EXPECT_EQ(m_key.ReadStringBuffer(L"s", buffer, 4, &length), ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(buffer), L"abc");
    EXPECT_EQ(length, 3u);
    ASSERT_EQ(m_key.WriteString(L"long", L"abcdef"), ERROR_SUCCESS);
    EXPECT_EQ(m_key.ReadStringBuffer(L"long", buffer, 4, &length), ERROR_MORE_DATA);
    EXPECT_EQ(m_key.ReadStringBuffer(L"n", buffer, 4, &length), ERROR_INVALID_DATA);

    EXPECT_EQ(m_key.DeleteValue(L"s"), ERROR_SUCCESS);
    EXPECT_EQ(m_key.DeleteValue(L"s"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Std(m_key.ReadString(L"s", L"gone")), L"gone");
}

TEST_F(RegistryTest, ErrorCodesWithoutAKey)
{
    VLRegistryKey none;
    EXPECT_EQ(none.WriteString(L"x", L"y"), ERROR_NOT_FOUND);   // 1168
    EXPECT_EQ(none.DeleteValue(L"x"), ERROR_INVALID_DATA);      // 13
    EXPECT_EQ(none.DeleteKeyTree(L"x"), ERROR_INVALID_DATA);
    EXPECT_EQ(Std(none.ReadString(L"x", L"default")), L"default");
    EXPECT_EQ(none.ReadInt(L"x"), 0);
    VLString name;
    EXPECT_FALSE(none.EnumValueName(0, name));
    EXPECT_EQ(m_key.WriteString(L"x", nullptr), ERROR_INVALID_DATA);
    EXPECT_EQ(m_key.DeleteKeyTree(L""), ERROR_INVALID_DATA);   // never this key itself
}

TEST_F(RegistryTest, FailedOpenKeepsTheKeyHeldButFailedCreateDropsIt)
{
    ASSERT_EQ(m_key.WriteString(L"marker", L"first"), ERROR_SUCCESS);
    VLRegistryKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, kScratchKey), ERROR_SUCCESS);
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, L"Software\\VLSystemTest\\missing"), ERROR_FILE_NOT_FOUND);
    ASSERT_TRUE(key.IsOpen());
    EXPECT_EQ(Std(key.ReadString(L"marker")), L"first");

    EXPECT_EQ(key.Create(HKEY_CURRENT_USER, L"Software\\VLSystemTest\\missing", false), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(key.IsOpen());
    EXPECT_EQ(key.Create(HKEY_CURRENT_USER, L"Software\\VLSystemTest\\made", true), ERROR_SUCCESS);
    EXPECT_TRUE(key.IsOpen());
}

TEST_F(RegistryTest, DeleteKeyTreeRemovesNestedKeysAndLeavesSiblings)
{
    VLRegistryKey key;
    ASSERT_EQ(key.Create(m_key, L"tree\\a\\b\\c"), ERROR_SUCCESS);
    ASSERT_EQ(key.WriteString(L"v", L"deep"), ERROR_SUCCESS);
    ASSERT_EQ(key.Create(m_key, L"tree\\a\\b2"), ERROR_SUCCESS);
    ASSERT_EQ(key.Create(m_key, L"tree\\a2"), ERROR_SUCCESS);
    ASSERT_EQ(key.Create(m_key, L"sibling"), ERROR_SUCCESS);
    ASSERT_EQ(key.Create(m_key, L"tree sibling"), ERROR_SUCCESS);
    key.Close();

    EXPECT_EQ(m_key.DeleteKeyTree(L"tree"), ERROR_SUCCESS);
    EXPECT_EQ(key.Open(m_key, L"tree"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.Open(m_key, L"sibling"), ERROR_SUCCESS);
    EXPECT_EQ(key.Open(m_key, L"tree sibling"), ERROR_SUCCESS);
    EXPECT_EQ(m_key.DeleteKeyTree(L"tree"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, EnumeratesValueAndKeyNames)
{
    for (const wchar_t* name : {L"one", L"two", L"three"})
        ASSERT_EQ(m_key.WriteString(name, L"x"), ERROR_SUCCESS);
    VLRegistryKey child;
    ASSERT_EQ(child.Create(m_key, L"child"), ERROR_SUCCESS);
    VLStringArray names;
    VLString name;
    for (DWORD i = 0; m_key.EnumValueName(i, name); ++i)
        names.Add(name);
    EXPECT_EQ(names.GetCount(), 3);
    for (const wchar_t* expected : {L"one", L"two", L"three"})
        EXPECT_GE(names.Find(expected), 0) << Std(expected);
    EXPECT_TRUE(m_key.EnumKeyName(0, name));
    EXPECT_EQ(Std(name), L"child");
    EXPECT_FALSE(m_key.EnumKeyName(1, name));
}

// HKLM\Software is split between the views on 64-bit Windows.
TEST(RegistryViewTest, ValuesWrittenInOneViewAreNotSeenInTheOther)
{
    const wchar_t kKey[] = L"SOFTWARE\\VLSystemTestView";
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        VLRegistryKey software;
        ASSERT_EQ(software.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE", KEY_READ | KEY_WRITE | view), ERROR_SUCCESS);
        software.DeleteKeyTree(L"VLSystemTestView");
    }

    VLRegistryKey key32;
    ASSERT_EQ(key32.Create(HKEY_LOCAL_MACHINE, kKey, true, KEY_READ | KEY_WRITE | KEY_WOW64_32KEY), ERROR_SUCCESS);
    EXPECT_EQ(key32.GetViewBits(), static_cast<REGSAM>(KEY_WOW64_32KEY));
    ASSERT_EQ(key32.WriteString(L"where", L"32"), ERROR_SUCCESS);
    // A key opened below keeps the view.
    VLRegistryKey child32;
    ASSERT_EQ(child32.Create(key32, L"child"), ERROR_SUCCESS);
    EXPECT_EQ(child32.GetViewBits(), static_cast<REGSAM>(KEY_WOW64_32KEY));
    ASSERT_EQ(child32.WriteString(L"where", L"32 child"), ERROR_SUCCESS);

    VLRegistryKey key64;
    EXPECT_EQ(key64.Open(HKEY_LOCAL_MACHINE, kKey, KEY_READ | KEY_WOW64_64KEY), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(key64.Create(HKEY_LOCAL_MACHINE, kKey, true, KEY_READ | KEY_WRITE | KEY_WOW64_64KEY), ERROR_SUCCESS);
    EXPECT_EQ(Std(key64.ReadString(L"where", L"not here")), L"not here");
    ASSERT_EQ(key64.WriteString(L"where", L"64"), ERROR_SUCCESS);
    EXPECT_EQ(Std(key32.ReadString(L"where")), L"32");

    VLRegistryKey reopened;
    ASSERT_EQ(reopened.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\VLSystemTestView\\child", KEY_READ | KEY_WOW64_32KEY),
              ERROR_SUCCESS);
    EXPECT_EQ(Std(reopened.ReadString(L"where")), L"32 child");

    // Deleting a tree in one view leaves the other view's key.
    VLRegistryKey software32;
    ASSERT_EQ(software32.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE", KEY_READ | KEY_WRITE | KEY_WOW64_32KEY),
              ERROR_SUCCESS);
    child32.Close();
    key32.Close();
    EXPECT_EQ(software32.DeleteKeyTree(L"VLSystemTestView"), ERROR_SUCCESS);
    EXPECT_EQ(reopened.Open(HKEY_LOCAL_MACHINE, kKey, KEY_READ | KEY_WOW64_32KEY), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reopened.Open(HKEY_LOCAL_MACHINE, kKey, KEY_READ | KEY_WOW64_64KEY), ERROR_SUCCESS);
    EXPECT_EQ(Std(reopened.ReadString(L"where")), L"64");
    reopened.Close();
    key64.Close();

    VLRegistryKey software64;
    ASSERT_EQ(software64.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE", KEY_READ | KEY_WRITE | KEY_WOW64_64KEY),
              ERROR_SUCCESS);
    EXPECT_EQ(software64.DeleteKeyTree(L"VLSystemTestView"), ERROR_SUCCESS);
}

}  // namespace
