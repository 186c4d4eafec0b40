// Number parsing and rendering.

#include "VLString.h"
#include "VLStringMap.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(StringNumber, ToInt)
{
    struct Case
    {
        const wchar_t* text;
        int want;
    };
    const Case kCases[] = {
        {L"  -12abc", -12},
        {L"99999999999", 2147483647},
        {L"-99999999999", -2147483647},
        {L"2147483647", 2147483647},
        {L"-2147483648", -2147483647},
        {L"", 0},
        {L"abc", 0},
        {L"+7", 7},
        {L"\t\r\n 42", 42},
        {L"--5", 0},
        {L"- 5", 0},
        {L"0042", 42},
        {L"12 34", 12},
        {L"\uFF11", 0},  // only ASCII digits count
    };
    for (const Case& c : kCases)
        EXPECT_EQ(VLString(c.text).ToInt(), c.want) << c.text;
    EXPECT_EQ(VLString::ToInt(nullptr), 0);
}

TEST(StringNumber, ToInt64AndToHex64)
{
    EXPECT_EQ(VLString(L"9223372036854775807").ToInt64(), INT64_MAX);
    EXPECT_EQ(VLString(L"99999999999999999999").ToInt64(), INT64_MAX);
    EXPECT_EQ(VLString(L" -12x").ToInt64(), -12);
    struct Case
    {
        const wchar_t* text;
        int64_t want;
    };
    const Case kCases[] = {
        {L"ff", 255},
        {L"  DeadBeef", 0xDEADBEEFLL},
        {L"-10", -16},
        {L"+1A", 26},
        {L"7fffffffffffffff", INT64_MAX},
        {L"FFFFFFFFFFFFFFFF", -1},
        {L"0x10", 0},  // callers skip "0x" themselves
        {L"12g4", 0x12},
        {L"", 0},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(VLString(c.text).ToHex64(), c.want) << c.text;
}

TEST(StringNumber, ToDouble)
{
    struct Case
    {
        const wchar_t* text;
        double want;
        int end;
    };
    const Case kCases[] = {
        {L"1,5", 1.5, 3},
        {L"1.5", 1.5, 3},
        {L"2e3", 2000.0, 3},
        {L"2E-3", 0.002, 4},
        {L"  ++3.25x", 3.25, 8},
        {L"-0.5", -0.5, 4},
        {L"\u20122.5", -2.5, 4},
        {L"1.2.3", 1.2, 3},
        {L"1,5e2", 150.0, 5},
        {L"0.1", 0.1, 3},
        {L"123456789012345678901234", 123456789012345678901234.0, 24},
        {L"", 0.0, 0},
        {L"abc", 0.0, 0},
        {L"7e", 7.0, 1},
        {L".5", 0.5, 2},
    };
    for (const Case& c : kCases)
    {
        int end = -1;
        double got = VLString(c.text).ToDouble(&end);
        EXPECT_NEAR(got, c.want, std::fabs(c.want) * 1e-15) << c.text;
        EXPECT_EQ(end, c.end) << c.text;
    }
    EXPECT_EQ(VLString(L"0.1").ToDouble(), 0.1);
    EXPECT_EQ(VLString(L"2E-3").ToDouble(), 0.002);
    // A number without digits ends where it starts.
    int end = -1;
    EXPECT_EQ(VLString(L"  +-").ToDouble(&end), 0.0);
    EXPECT_EQ(end, 0);
    // Exponents nest, but a long chain of them cannot exhaust the stack.
    VLString chain;
    for (int i = 0; i < 200000; ++i)
        chain += L"1e";
    chain += L"1";
    EXPECT_TRUE(std::isinf(chain.ToDouble()));  // 1e(1e(1e10)) overflows
    EXPECT_EQ(VLString(L"1.5").ToDouble(), 1.5);
}

TEST(StringNumber, Rendering)
{
    EXPECT_EQ(VLString::FromInt(-1234567), L"-1234567");
    EXPECT_EQ(VLString::FromUInt(UINT64_MAX), L"18446744073709551615");
    EXPECT_EQ(VLString::FromPointer(0xABC), L"00000ABC");
    EXPECT_EQ(VLString::FromDouble(2.345, 1), L"2.3");
    EXPECT_EQ(VLString::FromDouble(2.0, 0), L"2");
    wchar_t sep = VLStringGlobals::Get().DecimalSeparator();
    wchar_t group = sep == L'.' ? L',' : L'.';
    VLString want = VLString::Format(L"-1%c234%c567", group, group);
    EXPECT_EQ(VLString::FromIntGrouped(-1234567), want);
    EXPECT_EQ(VLString::FromIntGrouped(999), L"999");
    EXPECT_EQ(VLString::FromIntGrouped(-100), L"-100");
}

TEST(StringNumber, CharacterTablesFollowTheRuntime)
{
    VLStringGlobals& g = VLStringGlobals::Get();
    g.RebuildCharacterTables();
    EXPECT_EQ(g.ToLower(L'A'), L'a');
    EXPECT_EQ(g.ToLower(L'\u00C9'), L'\u00E9');
    EXPECT_EQ(VLString(L"\u00C9t\u00C9").CompareNoCase(L"\u00E9t\u00E9"), 0);
    VLStringMap<int> m;
    m.SetAt(L"\u00C9T\u00C9", 5);
    EXPECT_TRUE(m.Contains(L"\u00E9t\u00E9"));
    EXPECT_TRUE(g.IsClass(L'7', VLCC_DIGIT));
    EXPECT_TRUE(g.IsClass(L' ', VLCC_SPACE));
    EXPECT_TRUE(g.IsClass(L'q', VLCC_ALPHA | VLCC_LOWER));
    EXPECT_FALSE(g.IsClass(L'q', VLCC_UPPER));
    EXPECT_TRUE(g.IsClass(L'!', VLCC_PUNCT));
    EXPECT_FALSE(g.IsClass(L'\n', VLCC_PRINT));
    // Above 255 the runtime is asked directly.
    EXPECT_EQ(g.ToLower(L'\u0394'), L'\u03B4');
    EXPECT_EQ(VLString(L"\u0394\u0395").CompareNoCase(L"\u03B4\u03B5"), 0);
    wchar_t sep = g.DecimalSeparator();
    EXPECT_TRUE(sep == L'.' || sep == L',');
}
