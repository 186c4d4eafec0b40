// Text files in the encodings editors save: the loader's decoding and
// VLXmlDocument::Load on real files.

#include "VLFileLoaderText.h"
#include "VLXmlDocument.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::wstring Str(const VLString& s)
{
    return std::wstring(s.GetString(), static_cast<size_t>(s.GetLength()));
}

std::wstring TempFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"VLTextLoader-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string Utf16(const std::wstring& text, bool bigEndian)
{
    std::string out;
    for (wchar_t c : text) {
        char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

// "<VLIC>" with an umlaut and a character outside the basic plane.
const std::wstring kText = L"<VLIC version=\"1.0\"><Settings><BundledMedia>M\u00e4dia \U0001F3B5</BundledMedia>"
                           L"</Settings></VLIC>";
const std::string kUtf8 = "<VLIC version=\"1.0\"><Settings><BundledMedia>M\xC3\xA4" "dia \xF0\x9F\x8E\xB5"
                          "</BundledMedia></Settings></VLIC>";

TEST(TextLoader, DecodesTheEncodingsEditorsSave)
{
    struct Case {
        const char* name;
        std::string bytes;
        VLTextEncoding encoding;
    };
    const Case cases[] = {
        {"utf16le-bom", "\xFF\xFE" + Utf16(kText, false), VLTextEncoding::Utf16LE},
        {"utf16be-bom", "\xFE\xFF" + Utf16(kText, true), VLTextEncoding::Utf16BE},
        {"utf16le-nobom", Utf16(kText, false), VLTextEncoding::Utf16LE},
        {"utf16be-nobom", Utf16(kText, true), VLTextEncoding::Utf16BE},
        {"utf8-bom", "\xEF\xBB\xBF" + kUtf8, VLTextEncoding::Utf8},
        {"utf8", kUtf8, VLTextEncoding::Utf8},
        {"utf16le-odd", "\xFF\xFE" + Utf16(kText, false) + "x", VLTextEncoding::Utf16LE},  // stray byte dropped
    };
    for (const Case& c : cases) {
        size_t bom = 0;
        auto bytes = reinterpret_cast<const unsigned char*>(c.bytes.data());
        EXPECT_EQ(VLDetectTextEncoding(bytes, c.bytes.size(), bom), c.encoding) << c.name;
        EXPECT_EQ(Str(VLDecodeTextBytes(bytes, c.bytes.size())), kText) << c.name;

        std::wstring path = TempFile(std::wstring(c.name, c.name + std::strlen(c.name)).c_str());
        WriteBytes(path, c.bytes);
        VLXmlDocument doc;
        EXPECT_TRUE(doc.Load(path.c_str())) << c.name;
        EXPECT_EQ(Str(doc.GetDataAt(L"/VLIC/Settings/BundledMedia")), L"M\u00e4dia \U0001F3B5") << c.name;
        DeleteFileW(path.c_str());
    }
}

TEST(TextLoader, AnsiIsTheFallback)
{
    // Bytes that are not UTF-8 are read in the ANSI code page.
    const std::string bytes = "<a>caf\xE9 \xC4</a>";
    wchar_t expected[32] = {};
    int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), expected, 32);
    ASSERT_GT(length, 0);
    size_t bom = 0;
    auto raw = reinterpret_cast<const unsigned char*>(bytes.data());
    EXPECT_EQ(VLDetectTextEncoding(raw, bytes.size(), bom), VLTextEncoding::Ansi);
    EXPECT_EQ(Str(VLDecodeTextBytes(raw, bytes.size())), std::wstring(expected, static_cast<size_t>(length)));
}

TEST(TextLoader, FailuresLeaveTheDocumentAlone)
{
    VLXmlDocument doc(L"<kept>1</kept>");
    EXPECT_FALSE(doc.Load(TempFile(L"does-not-exist.xml").c_str()));
    EXPECT_EQ(Str(doc.GetDataAt(L"/kept")), L"1");
    VLString text(L"unchanged");
    EXPECT_FALSE(VLLoadTextFile(TempFile(L"does-not-exist.xml").c_str(), text));
    EXPECT_EQ(Str(text), L"unchanged");

    // A folder is not a file.
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    EXPECT_FALSE(doc.Load(folder));

    // An empty file loads and parses as an empty document.
    std::wstring empty = TempFile(L"empty.xml");
    WriteBytes(empty, "");
    EXPECT_FALSE(doc.Load(empty.c_str()));
    EXPECT_EQ(Str(doc.GetError()), L"Empty document");
    EXPECT_EQ(Str(doc.GetDoc()), L"");
    DeleteFileW(empty.c_str());

    // A file held open for writing by someone else still reads.
    std::wstring busy = TempFile(L"busy.xml");
    WriteBytes(busy, "<busy/>");
    HANDLE writer = CreateFileW(busy.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(doc.Load(busy.c_str()));
    CloseHandle(writer);
    // Locked without read sharing: the load fails and the document stays.
    HANDLE locked = CreateFileW(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(doc.Load(busy.c_str()));
    EXPECT_TRUE(doc.FindElem(L"/busy"));
    CloseHandle(locked);
    DeleteFileW(busy.c_str());
}

}  // namespace
