// Memory model of VLString: shared buffers, copy-on-write, the empty
// buffer, buffers held for writing, the cache and thread safety.

#include "VLString.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace
{
int32_t Refs(const VLString& s) { return s.GetData()->refs.load(); }
}  // namespace

TEST(StringCore, CopiesShareTheBufferUntilOneIsWritten)
{
    VLString a(L"shared text");
    VLString b(a);
    EXPECT_TRUE(a.SharesBufferWith(b));
    EXPECT_EQ(Refs(a), 2);

    b += L"!";
    EXPECT_FALSE(a.SharesBufferWith(b));
    EXPECT_EQ(a, L"shared text");
    EXPECT_EQ(b, L"shared text!");
    EXPECT_EQ(Refs(a), 1);

    VLString c(a);
    c.SetAt(0, L'S');
    EXPECT_EQ(a, L"shared text");
    EXPECT_EQ(c, L"Shared text");
    VLString d(a);
    d.MakeUpper();
    EXPECT_EQ(a, L"shared text");
    VLString e(a);
    e.Replace(L'e', L'E');
    EXPECT_EQ(a, L"shared text");
    EXPECT_EQ(e, L"sharEd tExt");
}

TEST(StringCore, EveryEmptyStringUsesTheOneSentinelBuffer)
{
    VLString a;
    VLString b(L"");
    VLString c(L"x");
    c.Empty();
    VLString d(L"abc");
    d.Delete(0, 3);
    VLString e(L"abc");
    e = L"";
    VLString f(static_cast<const wchar_t*>(nullptr));
    for (const VLString* s : {&a, &b, &c, &d, &e, &f})
    {
        EXPECT_TRUE(s->SharesBufferWith(a));
        EXPECT_EQ(Refs(*s), kVLStringEmptyRefs);
        EXPECT_EQ(s->GetLength(), 0);
        EXPECT_EQ(s->GetString()[0], L'\0');
    }
}

TEST(StringCore, ReleasingTheEmptyStringNeverChangesItsCount)
{
    VLStringData* empty = VLStringGlobals::Get().GetEmpty();
    for (int i = 0; i < 1000; ++i)
    {
        VLString s;
        VLString t(s);
        t = s;
        VLString u(std::move(t));
    }
    EXPECT_EQ(empty->refs.load(), kVLStringEmptyRefs);
    EXPECT_EQ(VLString().GetData(), empty);
}

TEST(StringCore, CopyOfABufferHeldForWritingIsIndependent)
{
    VLString s(L"abc");
    wchar_t* p = s.GetBuffer(10);
    EXPECT_EQ(Refs(s), kVLStringLockedRefs);
    VLString copy(s);
    EXPECT_FALSE(copy.SharesBufferWith(s));
    p[0] = L'X';
    p[3] = L'd';
    p[4] = 0;
    s.ReleaseBuffer();
    EXPECT_EQ(s, L"Xbcd");
    EXPECT_EQ(copy, L"abc");
    EXPECT_EQ(Refs(s), 1);
}

TEST(StringCore, GetBufferOnASharedStringCopiesFirst)
{
    VLString a(L"hello");
    VLString b(a);
    wchar_t* p = b.GetBuffer(5);
    p[0] = L'j';
    b.ReleaseBuffer(5);
    EXPECT_EQ(a, L"hello");
    EXPECT_EQ(b, L"jello");
}

TEST(StringCore, GetBufferWithoutKeepAndReleaseMeasures)
{
    VLString s(L"old text");
    wchar_t* p = s.GetBuffer(3, true, false);
    p[0] = L'n';
    p[1] = L'e';
    p[2] = L'w';
    p[3] = 0;
    s.ReleaseBuffer(-1);
    EXPECT_EQ(s, L"new");
    // A length past the capacity is clamped, never written out of bounds.
    s.GetBuffer(2, true);
    s.ReleaseBuffer(1 << 20);
    EXPECT_LE(s.GetLength(), s.GetData()->capacity - 1);
}

TEST(StringCore, GrowthIsGeometric)
{
    struct Case
    {
        int32_t length;
        int32_t capacity;
    };
    // Capacities include the terminator, so 128 units need 256.
    const Case kCases[] = {
        {0, 1}, {1, 2}, {100, 128}, {127, 128}, {128, 256}, {1048575, 1048576}, {1048576, 2 * 1048576},
        {3 * 1048576 + 7, 4 * 1048576}, {2147483000, 2147483647},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(VLStringGlobals::GrowthCapacity(c.length), c.capacity) << c.length;

    // Above the cache limit the buffers come straight from the rule.
    VLString s(L"a");
    s.GetBuffer(1500);
    s.ReleaseBuffer(1);
    EXPECT_EQ(s.GetData()->capacity, 2048);
    s.Append(VLString(L'y', 2100));
    EXPECT_EQ(s.GetData()->capacity, 4096);
    VLString exact;
    exact.GetBuffer(1500, true);
    EXPECT_EQ(exact.GetData()->capacity, 1501);
    exact.ReleaseBuffer(0);
    VLString small;
    small.GetBuffer(100, true);
    EXPECT_GE(small.GetData()->capacity, 101);  // a cached buffer may be larger
    small.ReleaseBuffer(0);
}

TEST(StringCore, AppendingAStringToItselfDoublesIt)
{
    VLString s(L"ab");
    s += s;
    EXPECT_EQ(s, L"abab");
    s.Append(s.GetString() + 1, 2);
    EXPECT_EQ(s, L"ababba");
    VLString big(L'x', 600);
    big += big;  // forces a new buffer while reading the old one
    EXPECT_EQ(big.GetLength(), 1200);
    EXPECT_EQ(big.Find(L'y'), -1);
}

TEST(StringCore, SmallBuffersAreRecycledThroughTheCache)
{
    VLStringGlobals& g = VLStringGlobals::Get();
    // Fill the cache with released small buffers.
    {
        std::vector<VLString> many;
        for (int i = 0; i < 40; ++i)
            many.emplace_back(VLString::Format(L"buffer %d", i));
    }
    EXPECT_EQ(g.CachedBufferCount(), VLStringGlobals::kCacheSlots);

    // A request is served from the cache with the best-fitting buffer.
    VLString s(L"12345");
    EXPECT_EQ(g.CachedBufferCount(), VLStringGlobals::kCacheSlots - 1);
    VLStringData* d = s.GetData();
    s.Empty();
    EXPECT_EQ(g.CachedBufferCount(), VLStringGlobals::kCacheSlots);
    VLString again(L"abcde");
    EXPECT_EQ(again.GetData(), d);

    // Large buffers bypass the cache in both directions.
    int before = g.CachedBufferCount();
    {
        VLString large(L'z', 1100);
        EXPECT_EQ(g.CachedBufferCount(), before);
    }
    EXPECT_EQ(g.CachedBufferCount(), before);
}

TEST(StringCore, SharedBuffersSurviveCopiesAndReleasesOnManyThreads)
{
    VLString source(L"a text shared by every thread, long enough to be interesting");
    constexpr int kThreads = 8;
    constexpr int kRounds = 20000;
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
    {
        threads.emplace_back([&, t] {
            std::vector<VLString> local;
            for (int i = 0; i < kRounds; ++i)
            {
                VLString copy(source);
                local.push_back(copy);
                if (local.size() > 16)
                    local.erase(local.begin());
                if (copy.GetLength() != source.GetLength())
                    ++wrong;
                // Private work that also goes through the shared cache.
                VLString mine = VLString::Format(L"%d:%d", t, i);
                mine += copy.Left(3);
                if (mine.Find(L"a t") < 0)
                    ++wrong;
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(Refs(source), 1);
    EXPECT_EQ(source, L"a text shared by every thread, long enough to be interesting");
}

TEST(StringCore, ByteOrderMarksAreHonouredWhenAsked)
{
    const wchar_t le[] = {0xFEFF, L'a', L'b', 0};
    const wchar_t be[] = {0xFFFE, 0x6100, 0x6200, 0};
    EXPECT_EQ(VLString(le, -1, true), L"ab");
    EXPECT_EQ(VLString(be, -1, true), L"ab");
    EXPECT_EQ(VLString(le, -1, false).GetLength(), 3);
}

TEST(StringCore, Utf8RoundTripsAndToleratesBadBytes)
{
    struct Case
    {
        const char* utf8;
        const wchar_t* text;
    };
    const Case kCases[] = {
        {"plain", L"plain"},
        {"\xC3\xA9t\xC3\xA9", L"\u00E9t\u00E9"},
        {"\xE2\x82\xAC", L"\u20AC"},
        {"\xF0\x9F\x8E\xB5", L"\U0001F3B5"},  // beyond U+FFFF: a surrogate pair
        {"", L""},
    };
    for (const Case& c : kCases)
    {
        EXPECT_EQ(VLString::FromUtf8(c.utf8), c.text) << c.utf8;
        EXPECT_EQ(VLString(c.text).ToUtf8(), c.utf8) << c.utf8;
    }
    // A byte that starts no valid sequence becomes the unit of its value.
    EXPECT_EQ(VLString::FromUtf8("a\xE9z"), L"a\u00E9z");
    EXPECT_EQ(VLString::FromUtf8("\xC3"), L"\u00C3");
    // A lone surrogate is kept as a 3-byte sequence and read back.
    const wchar_t lone[] = {L'x', 0xD800, 0};
    EXPECT_EQ(VLString::FromUtf8(VLString(lone).ToUtf8().c_str()), lone);
}

TEST(StringCore, AnsiConversionRoundTrips)
{
    VLString s = VLString::FromAnsi("Setup 22");
    EXPECT_EQ(s, L"Setup 22");
    char* ansi = s.ToAnsi();
    ASSERT_NE(ansi, nullptr);
    EXPECT_STREQ(ansi, "Setup 22");
    delete[] ansi;
}

TEST(StringCore, NewGuidHasTheRegistryForm)
{
    VLString a = VLString::NewGuid();
    VLString b = VLString::NewGuid();
    EXPECT_EQ(a.GetLength(), 38);
    EXPECT_EQ(a[0], L'{');
    EXPECT_EQ(a[37], L'}');
    EXPECT_NE(a, b);
}
