// Zip unpacking: stored and deflated entries written for real, folders kept
// or flattened, and entries that would land outside the target refused
// before anything is written.
#include "VLTestFiles.h"
#include "ZipArchive.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

using vltest::Exists;
using vltest::DeleteTree;

namespace {

struct ZipEntry {
    std::string name;
    std::string data;
    bool deflate = false;
    bool corruptCrc = false;
};

void Put16(std::string& out, unsigned v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, unsigned long v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, (v >> 16) & 0xFFFF);
}

std::string Deflate(const std::string& data)
{
    z_stream s{};
    deflateInit2(&s, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&s, data.size()), '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

// A minimal zip writer: local headers, data, central directory, end record.
std::string MakeZip(const std::vector<ZipEntry>& entries)
{
    std::string out, directory;
    for (const ZipEntry& e : entries) {
        const std::string packed = e.deflate ? Deflate(e.data) : e.data;
        unsigned long crc = crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size()));
        if (e.corruptCrc)
            crc ^= 1;
        const unsigned long offset = static_cast<unsigned long>(out.size());
        auto header = [&](std::string& h, bool central) {
            Put32(h, central ? 0x02014b50 : 0x04034b50);
            if (central)
                Put16(h, 20);
            Put16(h, 20);
            Put16(h, 0x0800);  // UTF-8 names
            Put16(h, e.deflate ? 8 : 0);
            Put16(h, 0);
            Put16(h, 0x21);
            Put32(h, crc);
            Put32(h, static_cast<unsigned long>(packed.size()));
            Put32(h, static_cast<unsigned long>(e.data.size()));
            Put16(h, static_cast<unsigned>(e.name.size()));
            Put16(h, 0);
            if (central) {
                Put16(h, 0);
                Put16(h, 0);
                Put16(h, 0);
                Put32(h, 0);
                Put32(h, offset);
            }
            h += e.name;
        };
        header(out, false);
        out += packed;
        header(directory, true);
    }
    const unsigned long directoryOffset = static_cast<unsigned long>(out.size());
    out += directory;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(entries.size()));
    Put16(out, static_cast<unsigned>(entries.size()));
    Put32(out, static_cast<unsigned long>(directory.size()));
    Put32(out, directoryOffset);
    Put16(out, 0);
    return out;
}

const std::wstring kRoot = L"C:\\vl-zip-test\\";

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

std::string ReadBytes(const std::wstring& path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string data(GetFileSize(h, nullptr), '\0');
    DWORD read = 0;
    ReadFile(h, data.data(), static_cast<DWORD>(data.size()), &read, nullptr);
    CloseHandle(h);
    return data;
}

class ZipArchiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteTree(kRoot);
        CreateDirectoryW(kRoot.c_str(), nullptr);
    }
    void TearDown() override { DeleteTree(kRoot); }
};

}  // namespace

TEST(ZipNames, OnlyNamesInsideTheTargetAreAccepted)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* want;  // nullptr: refused
    };
    const Case cases[] = {
        {L"a.txt", L"a.txt"},
        {L"Skins/Blue/main.xml", L"Skins\\Blue\\main.xml"},
        {L"Skins/", L"Skins"},
        {L"./a/./b.txt", L"a\\b.txt"},
        {L"../evil.txt", nullptr},
        {L"a/../../evil.txt", nullptr},
        {L"a/../b.txt", nullptr},  // any ".." is refused, even one that stays inside
        {L"/etc/evil", nullptr},
        {L"\\Windows\\evil.dll", nullptr},
        {L"C:\\Windows\\evil.dll", nullptr},
        {L"C:evil.dll", nullptr},
        {L"\\\\server\\share\\evil", nullptr},
        {L"a.txt:stream", nullptr},
        {L"a//b.txt", nullptr},
        {L"...\\evil.txt", nullptr},  // all-dots names Windows may trim
        {L".. /evil.txt", nullptr},
        {L"a/b?.txt", nullptr},
        {L"", nullptr},
        {L".", nullptr},
    };
    for (const Case& c : cases) {
        VLString relative;
        const bool ok = CZipArchive::SafeRelativePath(c.name, relative);
        EXPECT_EQ(ok, c.want != nullptr) << VLString(c.name).ToUtf8();
        if (ok && c.want != nullptr) {
            EXPECT_EQ(std::wstring(relative.GetString()), std::wstring(c.want)) << VLString(c.name).ToUtf8();
        }
    }
}

TEST_F(ZipArchiveTest, UnpacksStoredAndDeflatedEntriesKeepingOrFlatteningFolders)
{
    std::string big;
    for (int i = 0; i < 200000; ++i)
        big += static_cast<char>('a' + (i * 7) % 26);
    const std::string zip = MakeZip({{"readme.txt", "hello", false},
                                     {"Skins/", "", false},
                                     {"Skins/Blue/main.xml", "<QBMS/>", true},
                                     {"Data/big.bin", big, true},
                                     {"Data/empty.txt", "", false}});
    WriteBytes(kRoot + L"pack.zip", zip);
    VLString error;
    ASSERT_TRUE(CZipArchive::Extract((kRoot + L"pack.zip").c_str(), (kRoot + L"kept").c_str(), true, error))
        << error.ToUtf8();
    EXPECT_EQ(ReadBytes(kRoot + L"kept\\readme.txt"), "hello");
    EXPECT_EQ(ReadBytes(kRoot + L"kept\\Skins\\Blue\\main.xml"), "<QBMS/>");
    EXPECT_EQ(ReadBytes(kRoot + L"kept\\Data\\big.bin"), big);
    EXPECT_EQ(ReadBytes(kRoot + L"kept\\Data\\empty.txt"), "");

    ASSERT_TRUE(CZipArchive::Extract((kRoot + L"pack.zip").c_str(), (kRoot + L"flat\\").c_str(), false, error))
        << error.ToUtf8();
    EXPECT_EQ(ReadBytes(kRoot + L"flat\\main.xml"), "<QBMS/>");
    EXPECT_EQ(ReadBytes(kRoot + L"flat\\big.bin"), big);
    EXPECT_FALSE(Exists(kRoot + L"flat\\Skins"));
    EXPECT_FALSE(Exists(kRoot + L"flat\\Data"));
}

TEST_F(ZipArchiveTest, RefusesArchivesWithEntriesOutsideTheFolderBeforeWritingAnything)
{
    for (const char* evil : {"../evil.txt", "C:/vl-zip-test/evil.txt", "/vl-zip-test/evil.txt", "ok/../../evil.txt"}) {
        // The harmless entry comes first: it must not be written either.
        WriteBytes(kRoot + L"evil.zip", MakeZip({{"first.txt", "1", false}, {evil, "pwned", true}}));
        VLString error;
        EXPECT_FALSE(CZipArchive::Extract((kRoot + L"evil.zip").c_str(), (kRoot + L"out\\inner").c_str(), true, error))
            << evil;
        EXPECT_NE(error.Find(L"outside"), -1) << error.ToUtf8();
        EXPECT_FALSE(Exists(kRoot + L"evil.txt")) << evil;
        EXPECT_FALSE(Exists(kRoot + L"out\\evil.txt")) << evil;
        EXPECT_FALSE(Exists(kRoot + L"out\\inner\\first.txt")) << evil;
    }
}

TEST_F(ZipArchiveTest, DamagedArchivesFail)
{
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string truncated = MakeZip({{"a.txt", "some text to pack", true}});
    truncated.resize(truncated.size() - 30);
    std::string badData = MakeZip({{"a.txt", std::string(5000, 'x'), true}});
    badData[40] = static_cast<char>(0xFF);  // inside the deflated data
    badData[41] = static_cast<char>(0xFF);
    const Case cases[] = {
        {"empty file", ""},
        {"not a zip", "just some text that is long enough to hold an end record"},
        {"cut short", truncated},
        {"wrong checksum", MakeZip({{"a.txt", "data", false, true}})},
        {"damaged data", badData},
    };
    for (const Case& c : cases) {
        WriteBytes(kRoot + L"bad.zip", c.bytes);
        VLString error;
        EXPECT_FALSE(CZipArchive::Extract((kRoot + L"bad.zip").c_str(), (kRoot + L"out").c_str(), true, error)) << c.what;
        EXPECT_FALSE(error.IsEmpty()) << c.what;
    }
    VLString error;
    EXPECT_FALSE(CZipArchive::Extract((kRoot + L"missing.zip").c_str(), (kRoot + L"out").c_str(), true, error));
}
