// Comparison, search and editing of VLString.

#include "VLCharacterPredicates.h"
#include "VLString.h"
#include "VLTextServices.h"

#include <gtest/gtest.h>

TEST(StringCompare, OrdersByUnsignedUnitsAndFoldsCase)
{
    EXPECT_LT(VLString(L"a").Compare(L"b"), 0);
    EXPECT_GT(VLString(L"ab").Compare(L"a"), 0);
    EXPECT_EQ(VLString(L"abc").Compare(L"abc"), 0);
    // Units above 0x7FFF sort after ASCII (unsigned 16-bit order).
    EXPECT_GT(VLString(L"\uFF21").Compare(L"z"), 0);
    EXPECT_TRUE(VLString(L"a") < VLString(L"b"));
    EXPECT_FALSE(VLString(L"Path") == VLString(L"PATH"));

    EXPECT_EQ(VLString(L"Path").CompareNoCase(L"PATH"), 0);
    // The difference of the first folded units that differ.
    EXPECT_EQ(VLString(L"abc").CompareNoCase(L"ABE"), L'c' - L'e');
    EXPECT_GT(VLString(L"abc").CompareNoCase(L"AB"), 0);
}

TEST(StringCompare, CompareEnd)
{
    VLString s(L"Setup.EXE");
    EXPECT_EQ(s.CompareEnd(L".EXE"), 0);
    EXPECT_NE(s.CompareEnd(L".exe"), 0);
    EXPECT_EQ(s.CompareEnd(L".exe", false), 0);
    EXPECT_EQ(s.CompareEnd(L""), -1);
    EXPECT_EQ(VLString(L"xe").CompareEnd(L".exe"), -1);
    EXPECT_TRUE(s.StartsWith(L"setup", false));
    EXPECT_FALSE(s.StartsWith(L"setup"));
}

TEST(StringSearch, FindsAndRejectsOutOfRangeStarts)
{
    VLString s(L"C:\\Program Files/Quenbox\\Setup.exe");
    EXPECT_EQ(s.Find(L'\\'), 2);
    EXPECT_EQ(s.Find(L'\\', 3), 24);
    EXPECT_EQ(s.Find(L'#'), -1);
    EXPECT_EQ(s.Find(L'C', -1), -1);
    EXPECT_EQ(s.Find(L'C', 1000), -1);
    EXPECT_EQ(s.Find(L"Quenbox"), 17);
    EXPECT_EQ(s.Find(L"quenbox"), -1);
    EXPECT_EQ(s.Find(L"Quenbox", 18), -1);
    EXPECT_EQ(s.Find(L"exe", s.GetLength() + 1), -1);
    EXPECT_EQ(s.ReverseFind(L'\\'), 24);
    EXPECT_EQ(s.ReverseFindPathSeparator(), 24);
    EXPECT_EQ(s.ReverseFindPathSeparator(23), 16);
    EXPECT_EQ(VLString(L"ab\ncd\r").FindNewline(), 2);
    EXPECT_EQ(VLString(L"abcd").FindNewline(), -1);

    EXPECT_EQ(s.FindNoCase(L"QUENBOX"), 17);
    EXPECT_EQ(s.FindNoCase(L"QUENBOX", 0, true), 24);
    EXPECT_EQ(s.FindNoCase(L"quenbox", 18), -1);
    EXPECT_EQ(s.FindNoCase(L"x", -5), -1);
    EXPECT_EQ(s.FindNoCase(L"x", 999), -1);
}

TEST(StringSearch, TextServicesCanBeReplaced)
{
    struct Fixed final : IVLTextServices
    {
        int FindNoCase(const wchar_t*, const wchar_t*) override { return 1; }
        int Compare(const wchar_t*, const wchar_t*, int) override { return 0; }
    } fixed;
    IVLTextServices* old = VLSetTextServices(&fixed);
    EXPECT_EQ(VLString(L"abcdef").FindNoCase(L"zz", 2), 3);
    VLSetTextServices(nullptr);
    EXPECT_EQ(VLGetTextServices(), VLDefaultTextServices());
    EXPECT_EQ(old, VLDefaultTextServices());
    EXPECT_EQ(VLString(L"abcdef").FindNoCase(L"zz", 2), -1);
}

TEST(StringSearch, LogicalComparisonOrdersDigitRunsByValue)
{
    IVLTextServices* ts = VLGetTextServices();
    struct Case
    {
        const wchar_t* a;
        const wchar_t* b;
        int sign;
    };
    const Case kCases[] = {
        {L"file2.txt", L"file10.txt", -1},
        {L"File10", L"file9", 1},
        {L"a", L"B", -1},
        {L"track007", L"track7b", -1},
        {L"v1.10", L"v1.9", 1},
        {L"x", L"x", 0},
        {L"", L"a", -1},
        {L"99999999999999999999", L"100000000000000000000", -1},
    };
    for (const Case& c : kCases)
    {
        int r = ts->Compare(c.a, c.b, VLCompareLogical);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << L" vs " << c.b;
        int back = ts->Compare(c.b, c.a, VLCompareLogical);
        EXPECT_EQ((back > 0) - (back < 0), -c.sign) << c.b << L" vs " << c.a;
    }
}

TEST(StringEdit, LeftRightMidClamp)
{
    VLString s(L"abcdef");
    struct Case
    {
        VLString got;
        const wchar_t* want;
    };
    const Case kCases[] = {
        {s.Left(2), L"ab"},     {s.Left(0), L""},         {s.Left(-3), L""},       {s.Left(99), L"abcdef"},
        {s.Right(2), L"ef"},    {s.Right(0), L""},        {s.Right(99), L"abcdef"}, {s.Mid(2), L"cdef"},
        {s.Mid(2, 2), L"cd"},   {s.Mid(-4, 2), L"ab"},    {s.Mid(5, 99), L"f"},    {s.Mid(6), L""},
        {s.Mid(99, 2), L""},    {s.Mid(1, 0), L""},       {s.Mid(1, -1), L""},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(c.got, c.want);
    EXPECT_TRUE(s.Left(99).SharesBufferWith(s));
}

TEST(StringEdit, InsertDeleteSetAt)
{
    VLString s(L"ace");
    EXPECT_TRUE(s.Insert(1, L'b'));
    EXPECT_TRUE(s.Insert(3, L"d"));
    EXPECT_TRUE(s.Insert(5, L"!"));
    EXPECT_EQ(s, L"abcde!");
    EXPECT_FALSE(s.Insert(7, L'x'));
    EXPECT_FALSE(s.Insert(-1, L"x"));
    EXPECT_EQ(s, L"abcde!");
    s.Insert(0, s.GetString() + 4);  // text from inside the string
    EXPECT_EQ(s, L"e!abcde!");

    EXPECT_EQ(s.Delete(0, 2), 6);
    EXPECT_EQ(s, L"abcde!");
    s.Delete(4, 100);
    EXPECT_EQ(s, L"abcd");
    s.Delete(10, 1);
    EXPECT_EQ(s, L"abcd");
    s.DeleteEnds(1, 1);
    EXPECT_EQ(s, L"bc");
    s.DeleteEnds(1, 1);
    EXPECT_TRUE(s.SharesBufferWith(VLString()));

    VLString k(L"key=value");
    k.KeepAfter(k.Find(L'='));
    EXPECT_EQ(k, L"value");

    VLString c(L"abcdef");
    EXPECT_FALSE(c.SetAt(6, L'x'));
    EXPECT_TRUE(c.SetAt(3, 0));
    EXPECT_EQ(c, L"abc");
    EXPECT_EQ(c.GetLength(), 3);
}

TEST(StringEdit, RemoveAndReplaceUnits)
{
    VLString s(L"a-b-c");
    VLString shared(s);
    EXPECT_EQ(s.Replace(L'x', L'y'), 0);
    EXPECT_TRUE(s.SharesBufferWith(shared));  // nothing changed, nothing copied
    EXPECT_EQ(s.Replace(L'-', L'+'), 2);
    EXPECT_EQ(s, L"a+b+c");
    EXPECT_EQ(s.Remove(L'+'), 2);
    EXPECT_EQ(s, L"abc");
    EXPECT_EQ(shared, L"a-b-c");
}

TEST(StringEdit, Trims)
{
    struct Case
    {
        const wchar_t* in;
        const wchar_t* both;
        const wchar_t* left;
        const wchar_t* right;
    };
    const Case kCases[] = {
        {L"  a b \t\r\n", L"a b", L"a b \t\r\n", L"  a b"},
        {L"   ", L"", L"", L""},
        {L"x", L"x", L"x", L"x"},
        {L"", L"", L"", L""},
    };
    for (const Case& c : kCases)
    {
        EXPECT_EQ(VLString(c.in).Trim(), c.both) << c.in;
        EXPECT_EQ(VLString(c.in).TrimLeft(), c.left) << c.in;
        EXPECT_EQ(VLString(c.in).TrimRight(), c.right) << c.in;
    }
    EXPECT_EQ(VLString(L"\"quoted\"").Trim(L"\""), L"quoted");
    EXPECT_EQ(VLString(L"xxaxx").TrimLeft(L"x"), L"axx");
    EXPECT_EQ(VLString(L"xxaxx").TrimRight(L"x"), L"xxa");
    EXPECT_EQ(VLString(L"//server/share").TrimLeadingSlashes(), L"server/share");
    EXPECT_EQ(VLString(L"C:\\dir\\\\").TrimTrailingBackslashes(), L"C:\\dir");
    EXPECT_EQ(VLString(L"a;b,c").SpanExcluding(L",;"), L"a");
    EXPECT_EQ(VLString(L"abc").SpanExcluding(L",;"), L"abc");
}

TEST(StringEdit, CutToFolder)
{
    VLString path(L"C:\\Quenbox\\Player.exe");
    EXPECT_TRUE(path.CutToFolder());
    EXPECT_EQ(path, L"C:\\Quenbox\\");
    EXPECT_TRUE(path.CutToFolder());
    EXPECT_EQ(path, L"C:\\Quenbox\\");
    VLString name(L"Player.exe");
    EXPECT_FALSE(name.CutToFolder());
    EXPECT_EQ(name, L"Player.exe");
}

TEST(StringEdit, ReplaceManyTakesTheEarliestMatchWithoutOverlap)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* want;
        int hits;
    };
    const wchar_t* patterns[] = {L"ab", L"a"};
    const wchar_t* replacements[] = {L"[AB]", L"[A]"};
    const Case kCases[] = {
        {L"aab", L"[A][AB]", 2},       // 'a' at 0, then 'ab' at 1
        {L"ab", L"[AB]", 1},           // same start: the earlier pattern wins
        {L"xyz", L"xyz", 0},
        {L"", L"", 0},
        {L"abab-a", L"[AB][AB]-[A]", 3},
    };
    for (const Case& c : kCases)
    {
        VLString s(c.text);
        EXPECT_EQ(s.ReplaceMany(patterns, replacements, 2), c.hits) << c.text;
        EXPECT_EQ(s, c.want) << c.text;
    }
}

TEST(StringEdit, ReplaceManyOptions)
{
    // Replaced text is never searched again.
    VLString s(L"aaa");
    EXPECT_EQ(s.Replace(L"a", L"aa"), 3);
    EXPECT_EQ(s, L"aaaaaa");

    // An empty pattern makes the call do nothing.
    const wchar_t* bad[] = {L"a", L""};
    const wchar_t* rep[] = {L"x", L"y"};
    VLString t(L"abc");
    EXPECT_EQ(t.ReplaceMany(bad, rep, 2), 0);
    EXPECT_EQ(t, L"abc");

    // A missing replacement writes nothing.
    const wchar_t* pats[] = {L"b"};
    const wchar_t* none[] = {nullptr};
    EXPECT_EQ(t.ReplaceMany(pats, none, 1), 1);
    EXPECT_EQ(t, L"ac");

    // Highlighting: keep the match, wrap it in prefix and suffix, no case.
    VLString h(L"Play the PLAYlist");
    const wchar_t* word[] = {L"play"};
    EXPECT_EQ(h.ReplaceMany(word, nullptr, 1, false, true, L"<b>", L"</b>"), 2);
    EXPECT_EQ(h, L"<b>Play</b> the <b>PLAY</b>list");

    VLString c(L"Some SOME some");
    EXPECT_EQ(c.Replace(L"some", L"x", false), 3);
    EXPECT_EQ(c, L"x x x");
    VLString cs(L"Some SOME some");
    EXPECT_EQ(cs.Replace(L"some", L"x"), 1);
    EXPECT_EQ(cs, L"Some SOME x");
}

TEST(StringEdit, IncrementNumberSuffix)
{
    struct Case
    {
        const wchar_t* in;
        const wchar_t* want;
    };
    const Case kCases[] = {
        {L"Copy", L"Copy (1)"},
        {L"Copy (1)", L"Copy (2)"},
        {L"Copy(9)", L"Copy(10)"},
        {L"Copy (05)", L"Copy (05) (1)"},
        {L"Copy (9999)", L"Copy (10000)"},
        {L"Copy (10000)", L"Copy (10000) (1)"},  // five digits is no suffix
        {L"(3)", L"(4)"},
        {L" (3)", L" (4)"},
        {L"Copy ()", L"Copy () (1)"},
        {L"Copy (1a)", L"Copy (1a) (1)"},
        {L"", L" (1)"},
    };
    for (const Case& c : kCases)
    {
        VLString s(c.in);
        s.IncrementNumberSuffix();
        EXPECT_EQ(s, c.want) << c.in;
    }
}

TEST(StringEdit, Concatenation)
{
    VLString a(L"ab");
    EXPECT_EQ(a + L"cd", L"abcd");
    EXPECT_EQ(L"xy" + a, L"xyab");
    EXPECT_EQ(a + L'!', L"ab!");
    EXPECT_EQ(L'<' + a, L"<ab");
    EXPECT_EQ(a + a, L"abab");
    EXPECT_TRUE((a + VLString()).SharesBufferWith(a));
    VLString p(L"C:");
    p.AppendPieces(L"\\", L"dir", nullptr, L"\\");
    EXPECT_EQ(p, L"C:\\dir\\");
    EXPECT_EQ(VLString(L"MiXeD").MakeLower(), L"mixed");
    EXPECT_EQ(VLString(L"MiXeD").MakeUpper(), L"MIXED");
}

TEST(StringEdit, Tokens)
{
    VLString t;
    t.AppendToken(L"hello").AppendToken(L"").AppendTokenInt(-42).AppendToken(L"a(b):c");
    EXPECT_EQ(t, L"(5:hello)(0:)(3:-42)(6:a(b):c)");
    int pos = 0;
    VLString v;
    ASSERT_TRUE(t.ReadToken(pos, v));
    EXPECT_EQ(v, L"hello");
    ASSERT_TRUE(t.ReadToken(pos, v));
    EXPECT_EQ(v, L"");
    int64_t n = 0;
    ASSERT_TRUE(t.ReadTokenInt(pos, n));
    EXPECT_EQ(n, -42);
    ASSERT_TRUE(t.ReadToken(pos, v));
    EXPECT_EQ(v, L"a(b):c");
    EXPECT_EQ(pos, t.GetLength());
    EXPECT_FALSE(t.ReadToken(pos, v));

    // Malformed tokens fail, empty the result and leave the position alone.
    const wchar_t* kBad[] = {L"(3:ab)", L"(3:abcd", L"3:abc)", L"(:abc)", L"(x:abc)", L"(99999999999:a)",
                             L"(2147483647:a)", L"(-1:a)", L"(3;abc)", L"", L"("};
    for (const wchar_t* bad : kBad)
    {
        VLString s(bad);
        int p = 0;
        VLString out(L"stale");
        EXPECT_FALSE(s.ReadToken(p, out)) << bad;
        EXPECT_TRUE(out.IsEmpty()) << bad;
        EXPECT_EQ(p, 0) << bad;
    }
    int p = -1;
    EXPECT_FALSE(t.ReadToken(p, v));
}

TEST(StringEdit, CharacterPredicates)
{
    VLStringLeadingWhitespaceCharacters space;
    VLStringLeadingAlphaCharacters alpha;
    VLStringLeadingDigitCharacters digit;
    VLStringLeadingWordCharacters word;
    EXPECT_EQ(space.Span(L" \t x"), 3);
    EXPECT_EQ(alpha.Span(L"abc1"), 3);
    EXPECT_EQ(digit.Span(L"123a"), 3);
    EXPECT_EQ(word.Span(L"don't stop"), 5);
    EXPECT_EQ(word.Span(L"'tis"), 0);        // apostrophe not at the start
    EXPECT_EQ(word.Span(L"well-known"), 10);
    EXPECT_EQ(word.Span(L"well\u2012known"), 10);
    EXPECT_EQ(word.Span(L"ab- c"), 2);       // a dash must be followed by a letter
    EXPECT_EQ(word.Span(L"rock'n'roll"), 11);
}
