// Format and FormatSize.

#include "VLString.h"

#include <gtest/gtest.h>

#include <climits>

TEST(StringFormat, Conversions)
{
    struct Case
    {
        VLString got;
        const wchar_t* want;
    };
    const VLString name(L"Quenbox");
    const wchar_t* nullText = nullptr;
    const char* nullUtf8 = nullptr;
    const Case kCases[] = {
        {VLString::Format(L"%02d:%02d", 5, 7), L"05:07"},
        {VLString::Format(L"%x", -1), L"ffffffff"},
        {VLString::Format(L"%X", 0xABCDEF), L"ABCDEF"},
        {VLString::Format(L"%x", int64_t(-1)), L"ffffffff"},
        {VLString::Format(L"%16x", int64_t(-1)), L"ffffffffffffffff"},
        {VLString::Format(L"%x", 0x123456789LL), L"123456789"},
        {VLString::Format(L"%s", nullText), L"(null)"},
        {VLString::Format(L"%s", nullUtf8), L"(null)"},
        {VLString::Format(L"%d", INT64_MIN), L"-9223372036854775808"},
        {VLString::Format(L"%d", -42), L"-42"},
        {VLString::Format(L"%5d", 42), L"00042"},
        {VLString::Format(L"% 5d", 42), L"   42"},
        {VLString::Format(L"%.3d", 7), L"007"},
        {VLString::Format(L"%05d", -42), L"-00042"},
        {VLString::Format(L"%u", 4294967295u), L"4294967295"},
        {VLString::Format(L"%u", -1), L"18446744073709551615"},
        {VLString::Format(L"%I64d|%ld|%lu|%lx|%ls", 1LL << 40, 5L, 6UL, 255L, L"w"), L"1099511627776|5|6|ff|w"},
        {VLString::Format(L"%i", static_cast<short>(-3)), L"-3"},
        {VLString::Format(L"%d", static_cast<unsigned char>(200)), L"200"},
        {VLString::Format(L"%d", true), L"1"},
        {VLString::Format(L"%p", 0x1234), L"00001234"},
        {VLString::Format(L"%p", 0x123456789ALL), L"123456789A"},
        {VLString::Format(L"%h", 0xBEEF), L"0x0000BEEF"},
        {VLString::Format(L"%c%c%c", L'o', 'k', 0), L"ok"},
        {VLString::Format(L"%c", 70000), L""},
        {VLString::Format(L"%.1f", 1.26), L"1.3"},
        {VLString::Format(L"%.0f", 2.6), L"3"},
        {VLString::Format(L"%.2f", 3.14159), L"3.14"},
        {VLString::Format(L"%.0f", 146.48), L"146"},
        {VLString::Format(L"%f", 0.5), L"0.500000"},
        {VLString::Format(L"%s|%s|%s|%s", L"wide", "utf8 \xC3\xA9", name, std::wstring(L"std")), L"wide|utf8 \u00E9|Quenbox|std"},
        {VLString::Format(L"%.3s|%.2s|%.1s", L"abcdef", name, "xyz"), L"abc|Qu|x"},
        {VLString::Format(L"100%% done"), L"100% done"},
        {VLString::Format(L"%q%d", 5), L"q5"},  // unknown conversions are literal
        {VLString::Format(L"%d %d %s|", 1), L"1 0 |"},  // missing arguments
        {VLString::Format(L"ends with %"), L"ends with %"},
        {VLString::Format(L"%s", 12), L"12"},
        {VLString::Format(L"%d", 2.9), L"2"},
        {VLString::Format(L"%.1f", 3), L"3.0"},
        {VLString::Format(L"no args"), L"no args"},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(c.got, c.want);
}

TEST(StringFormat, IntegerRenderingIsBoundedAndMarked)
{
    // A rendering longer than 31 units is cut and ends in "?"; huge widths
    // neither overrun nor take memory.
    VLString wide = VLString::Format(L"%40d", 7);
    EXPECT_EQ(wide.GetLength(), 31);
    EXPECT_EQ(wide, VLString(L'0', 30) + L"?");
    VLString huge = VLString::Format(L"%99999999999999999999d|", 1);
    EXPECT_EQ(huge.GetLength(), 32);
    EXPECT_EQ(huge.Right(2), L"?|");
    VLString spaces = VLString::Format(L"% 40x", 255);
    EXPECT_EQ(spaces, VLString(L' ', 30) + L"?");
    // 31 units exactly still fit.
    EXPECT_EQ(VLString::Format(L"%31d", 1), VLString(L'0', 30) + L"1");
    // Huge precisions of %f and %s stay sane.
    EXPECT_EQ(VLString::Format(L"%.999999999s", L"ab"), L"ab");
    EXPECT_FALSE(VLString::Format(L"%.99999f", 1.0).IsEmpty());
    EXPECT_EQ(VLString::Format(L"%.2f", 1e300).GetLength(), 301 + 3);
}

TEST(StringFormat, AppendFormatMayReadItsOwnString)
{
    VLString s(L"ab");
    s.AppendFormat(L"[%s]", s);
    EXPECT_EQ(s, L"ab[ab]");
    VLString long_(L'x', 300);
    long_.AppendFormat(L"%s%s", long_, long_);
    EXPECT_EQ(long_.GetLength(), 900);
}

TEST(StringFormat, FormatSize)
{
    struct Case
    {
        int64_t bytes;
        const wchar_t* want;
    };
    const Case kCases[] = {
        {0, L"0 bytes"},
        {1023, L"1023 bytes"},
        {1024, L"1.0 KB"},
        {1536, L"1.5 KB"},
        {150000, L"146 KB"},
        {102399, L"100.0 KB"},  // 99.999 rounds up but stays in the "%.1f" form
        {102400, L"100 KB"},
        {1048575, L"1024 KB"},
        {1048576, L"1.0 MB"},
        {104857600, L"100 MB"},
        {1073741824LL * 5 / 2, L"2.5 GB"},
        {1099511627776LL, L"1.0 TB"},
        {1125899906842624LL * 3, L"3.0 PB"},
        {INT64_MAX, L"8192 PB"},
        {-1536, L"-1.5 KB"},
        {-5, L"-5 bytes"},
        {INT64_MIN, L"-8192 PB"},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(VLString::FormatSize(c.bytes), c.want) << c.bytes;
}
