// Property maps: typed accessors, the three persistent forms, and the file
// name with properties.

#include "VLFileName.h"
#include "VLPropertyMap.h"
#include "VLXmlDocument.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Str(const VLString& s)
{
    return std::wstring(s.GetString(), static_cast<size_t>(s.GetLength()));
}

TEST(PropertyMap, KeysIgnoreCaseValuesDoNot)
{
    VLPropertyMap map;
    map.Set(L"Version", L"Beta");
    EXPECT_EQ(Str(map.Get(L"VERSION")), L"Beta");
    EXPECT_TRUE(map.Has(L"version"));
    map.Set(L"VERSION", L"beta");
    EXPECT_EQ(map.GetCount(), 1);
    EXPECT_EQ(Str(map.Get(L"Version")), L"beta");
    EXPECT_EQ(Str(map.Get(L"Missing", L"dflt")), L"dflt");
    EXPECT_EQ(Str(map.Get(L"Missing")), L"");
}

TEST(PropertyMap, EmptyValuesAndTheInnerMap)
{
    VLPropertyMap map;
    EXPECT_FALSE(map.OwnsMemory());
    map.Set(L"k", L"", false);
    EXPECT_TRUE(map.Has(L"k"));
    map.Set(L"k", L"", true);
    EXPECT_FALSE(map.Has(L"k"));
    EXPECT_FALSE(map.OwnsMemory());  // the last removal frees the inner map

    map.Set(L"a", L"1");
    map.Remove(L"A");
    EXPECT_FALSE(map.OwnsMemory());
    EXPECT_EQ(Str(map.ToXML(L"XMLPH", 1.0, true)), L"");
    EXPECT_EQ(Str(map.ToXML(L"XMLPH", 1.0, false)), L"<XMLPH version=\"1.0\">\r\n</XMLPH>");
}

TEST(PropertyMap, TypedAccessors)
{
    VLPropertyMap map;
    map.Set(L"word", L"abc");
    EXPECT_EQ(map.GetInt(L"word", 5), 0);  // a stored non-number is 0, not the default
    EXPECT_EQ(map.GetInt(L"missing", 5), 5);
    map.SetInt(L"n", -42);
    EXPECT_EQ(Str(map.Get(L"n")), L"-42");
    EXPECT_EQ(map.GetInt(L"n"), -42);

    struct DoubleCase {
        double value;
        const wchar_t* text;
    };
    const DoubleCase doubles[] = {
        {2.5, L"2.5"}, {3.0, L"3"}, {-0.125, L"-0.125"}, {0.1, L"0.1"}, {0.0, L"0"}, {1e6, L"1000000"},
    };
    for (const DoubleCase& c : doubles) {
        map.SetDouble(L"d", c.value);
        EXPECT_EQ(Str(map.Get(L"d")), std::wstring(c.text)) << c.value;
        EXPECT_DOUBLE_EQ(map.GetDouble(L"d"), c.value);
    }
    EXPECT_DOUBLE_EQ(map.GetDouble(L"missing", 1.5), 1.5);

    map.SetHex(L"h", 0xBEEF);
    EXPECT_EQ(Str(map.Get(L"h")), L"0000BEEF");
    EXPECT_EQ(map.GetHex(L"h"), 0xBEEFu);
    map.Set(L"h", L"0xdeadBEEF");
    EXPECT_EQ(map.GetHex(L"h"), 0xDEADBEEFu);
    EXPECT_EQ(map.GetHex(L"missing", 0x12345678), 0x12345678u);
}

TEST(PropertyMap, CopyAndEquals)
{
    VLPropertyMap a, b;
    a.Set(L"One", L"1");
    a.Set(L"Two", L"2");
    EXPECT_TRUE(b.CopyFrom(a));
    EXPECT_TRUE(a.Equals(b));
    b.Set(L"two", L"2 ");
    EXPECT_FALSE(a.Equals(b));
    b.Set(L"TWO", L"2");
    EXPECT_TRUE(a.Equals(b));
    b.Set(L"Three", L"3");
    EXPECT_FALSE(a.Equals(b));
    EXPECT_TRUE(a.CopyFrom(a));
    EXPECT_EQ(a.GetCount(), 2);
}

VLPropertyMap Awkward()
{
    VLPropertyMap map;
    map.Set(L"plain", L"value");
    map.Set(L"a<b & \"c\" 'd'", L"x < y && z > \"w\" 'v'");
    map.Set(L"lines", L"first\r\nsecond\r\n");
    map.Set(L"empty", L"");
    map.Set(L"path/like\\key", L"(3:abc)");
    return map;
}

TEST(PropertyMap, TokenFormRoundTrip)
{
    VLPropertyMap map = Awkward();
    VLString tokens;
    map.ToTokens(tokens);
    VLPropertyMap back;
    back.Set(L"stale", L"gone");
    EXPECT_TRUE(back.FromTokens(tokens));
    EXPECT_TRUE(back.Equals(map));
    EXPECT_FALSE(back.Has(L"stale"));

    VLString empty;
    VLPropertyMap().ToTokens(empty);
    EXPECT_EQ(Str(empty), L"(1:0)");

    // Reading stops at a damaged token and keeps what came before; a count
    // far larger than the entries must not make the read run on.
    VLPropertyMap partial;
    EXPECT_FALSE(partial.FromTokens(VLString(L"(10:2000000000)(1:a)(1:1)(1:b)(99:x")));
    EXPECT_EQ(Str(partial.Get(L"a")), L"1");
    EXPECT_TRUE(partial.Has(L"b"));
    EXPECT_EQ(Str(partial.Get(L"b")), L"");
    EXPECT_EQ(partial.GetCount(), 2);
}

TEST(PropertyMap, XmlFormRoundTrip)
{
    VLPropertyMap map = Awkward();
    VLString xml = map.ToXML(L"XMLPH", 1.0);
    EXPECT_EQ(Str(xml).rfind(L"<XMLPH version=\"1.0\">\r\n", 0), 0u);
    EXPECT_EQ(Str(xml).substr(xml.GetLength() - 8), L"</XMLPH>");
    EXPECT_TRUE(VLXmlDocument(xml).IsWellFormed());

    VLPropertyMap back;
    EXPECT_TRUE(back.FromXML(xml, L"XMLPH", 1.0));
    EXPECT_TRUE(back.Equals(map));
    EXPECT_EQ(Str(back.Get(L"lines")), L"first\r\nsecond\r\n");

    VLPropertyMap wrongVersion;
    wrongVersion.Set(L"stale", L"x");
    EXPECT_FALSE(wrongVersion.FromXML(xml, L"XMLPH", 2.0));
    EXPECT_EQ(wrongVersion.GetCount(), 0);
    EXPECT_FALSE(wrongVersion.FromXML(xml, L"XMLFN", 1.0));
    EXPECT_TRUE(wrongVersion.FromXML(VLString(), L"XMLPH", 1.0));

    // Control units other than tab, CR and LF do not survive; U+0001 does.
    VLPropertyMap controls;
    controls.Set(L"c", L"a\x01\x02\tb");
    VLPropertyMap controlsBack;
    ASSERT_TRUE(controlsBack.FromXML(controls.ToXML(L"XMLPH", 1.0), L"XMLPH", 1.0));
    EXPECT_EQ(Str(controlsBack.Get(L"c")), L"a\x01?\tb");

    // Other elements between items are skipped; a nameless item uses "".
    VLPropertyMap mixed;
    ASSERT_TRUE(mixed.FromXML(
        VLString(L"<XMLPH version='1'><Other>o</Other><Item Name='k'>v</Item><Item>n</Item></XMLPH>"),
        L"XMLPH", 1.0));
    EXPECT_EQ(mixed.GetCount(), 2);
    EXPECT_EQ(Str(mixed.Get(L"k")), L"v");
    EXPECT_EQ(Str(mixed.Get(L"")), L"n");
}

TEST(PropertyMap, Dump)
{
    VLPropertyMap map;
    map.Set(L"Key", L"Value");
    VLString out(L"head|");
    map.Dump(out, L"  ", L"\n");
    EXPECT_EQ(Str(out), L"head|  Key: Value\n");
}

TEST(FileName, XmlForm)
{
    VLFileName name;
    name.GetProperties().Set(L"old", L"1");
    name.SetFromText(VLString(
        L"<xmlfn version=\"1.0\">\r\n<Item Name=\"FILENAME\">C:\\Music\\a &amp; b.mp3</Item>\r\n"
        L"<Item Name=\"Track\">7</Item>\r\n</XMLFN>"));
    EXPECT_EQ(Str(name.GetPath()), L"C:\\Music\\a & b.mp3");
    EXPECT_EQ(Str(name.GetProperties().Get(L"Track")), L"7");
    EXPECT_FALSE(name.GetProperties().Has(L"Filename"));
    EXPECT_FALSE(name.GetProperties().Has(L"old"));

    VLFileName other;
    other.SetFromText(VLString(L"<XMLFN version=\"1\"><Item Name=\"Filename\">x</Item></XMLFN>"));
    EXPECT_EQ(Str(other.GetPath()), L"");  // only the exact text "1.0" is read
    EXPECT_EQ(other.GetProperties().GetCount(), 0);

    // A property map written under XMLFN is a file name text.
    VLPropertyMap map;
    map.Set(L"Filename", L"D:\\v.avi");
    map.Set(L"Start", L"12");
    VLFileName fromMap(map.ToXML(L"XMLFN", 1.0));
    EXPECT_EQ(Str(fromMap.GetPath()), L"D:\\v.avi");
    EXPECT_EQ(Str(fromMap.GetProperties().Get(L"Start")), L"12");
}

TEST(FileName, PostExtensionData)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* path;
        const wchar_t* data;  // null: no property
    };
    const Case cases[] = {
        {L"C:\\Music\\song.mp3;2", L"C:\\Music\\song.mp3", L"2"},
        {L"C:\\a.b;c;d", L"C:\\a.b;c", L"d"},
        {L"C:\\a.b;", L"C:\\a.b", L""},
        {L"C:\\a.;2", L"C:\\a.;2", nullptr},           // no unit between "." and ";"
        {L"C:\\a.abcdef;2", L"C:\\a.abcdef;2", nullptr},  // six units
        {L"C:\\a.abcde;2", L"C:\\a.abcde", L"2"},
        {L"C:\\x;y\\file.txt", L"C:\\x;y\\file.txt", nullptr},  // ";" before the "."
        {L"http://host/a.mp3;2", L"http://host/a.mp3;2", nullptr},
        {L"C:\\dir.x;1\\", L"C:\\dir.x;1\\", nullptr},
        {L"", L"", nullptr},
    };
    for (const Case& c : cases) {
        VLFileName name(c.text);
        EXPECT_EQ(Str(name.GetPath()), std::wstring(c.path));
        EXPECT_EQ(name.GetProperties().Has(L"PostExtensionData"), c.data != nullptr);
        if (c.data) {
            EXPECT_EQ(Str(name.GetProperties().Get(L"PostExtensionData")), std::wstring(c.data));
        }
    }
    // Without clearing, earlier properties stay.
    VLFileName keep;
    keep.GetProperties().Set(L"kept", L"1");
    keep.SetFromText(VLString(L"C:\\x.mp3"), false);
    EXPECT_TRUE(keep.GetProperties().Has(L"kept"));
}

}  // namespace
