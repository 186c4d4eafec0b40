// The array family and VLStringArray.

#include "VLCoreArray.h"
#include "VLStringArray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

TEST(CoreArray, DefaultGrowthSteps)
{
    struct Case
    {
        int needed;
        int growBy;
        int want;
    };
    const Case kCases[] = {
        {1, -1, 4},          {4, -1, 4},          {5, -1, 64},          {65, -1, 256},
        {257, -1, 1024},     {4097, -1, 16384},   {65536, -1, 65536},   {65537, -1, 131073},
        {1, 10, 10},         {10, 10, 20},        {25, 10, 30},         {7, 1, 8},
    };
    for (const Case& c : kCases)
        EXPECT_EQ(VLArrayBase::ComputeCapacity(c.needed, c.growBy), c.want) << c.needed << "/" << c.growBy;

    VLNumberArray<int> a;
    a.Add(1);
    EXPECT_EQ(a.GetCapacity(), 4);
    for (int i = 0; i < 4; ++i)
        a.Add(i);
    EXPECT_EQ(a.GetCapacity(), 64);
    VLNumberArray<int> g;
    g.SetGrowBy(3);
    g.Add(1);
    EXPECT_EQ(g.GetCapacity(), 3);
}

TEST(CoreArray, InsertRemoveKeepOrderAndZeroTheTail)
{
    VLNumberArray<int> a;
    for (int i = 0; i < 6; ++i)
        a.Add(i * 10);
    EXPECT_TRUE(a.InsertAt(2, 15));
    EXPECT_TRUE(a.InsertAt(a.GetCount(), 99));
    EXPECT_FALSE(a.InsertAt(a.GetCount() + 1, 7));
    EXPECT_FALSE(a.InsertAt(-1, 7));
    const int want[] = {0, 10, 15, 20, 30, 40, 50, 99};
    ASSERT_EQ(a.GetCount(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(a[i], want[i]);

    EXPECT_TRUE(a.RemoveAt(1, 3));
    EXPECT_EQ(a.GetCount(), 5);
    EXPECT_EQ(a[1], 30);
    // The freed slots are zero-filled up to the old count.
    for (int i = a.GetCount(); i < 8; ++i)
        EXPECT_EQ(a.GetData()[i], 0);
    EXPECT_TRUE(a.RemoveAt(3, 100));  // count clamped
    EXPECT_EQ(a.GetCount(), 3);
    EXPECT_FALSE(a.RemoveAt(3));
    EXPECT_FALSE(a.RemoveAt(-1));
    a.InsertAt(0, 5, 3);
    EXPECT_EQ(a.GetCount(), 6);
    EXPECT_EQ(a.RemoveValue(5), 3);
    a.Sort();
    EXPECT_EQ(a[0], 0);
    EXPECT_EQ(a.Find(40), 2);
}

TEST(CoreArray, AddingAnElementOfTheArrayItselfSurvivesGrowth)
{
    VLStringArray a;
    a.Add(L"first");
    for (int i = 0; i < 3; ++i)
        a.Add(L"x");
    ASSERT_EQ(a.GetCount(), a.GetCapacity());
    a.Add(a[0]);  // reference into the storage that is about to move
    EXPECT_EQ(a[4], L"first");
    a.Append(a);
    EXPECT_EQ(a.GetCount(), 10);
    EXPECT_EQ(a[9], L"first");
}

namespace
{
struct Counted
{
    explicit Counted(int* live) : m_live(live) { ++*m_live; }
    ~Counted() { --*m_live; }
    int* m_live;
};
}  // namespace

TEST(CoreArray, OwnedPointersAreDeletedOnRemovalAndDestruction)
{
    int live = 0;
    {
        VLOwnedPtrArray<Counted> a;
        for (int i = 0; i < 5; ++i)
            a.Add(new Counted(&live));
        EXPECT_EQ(live, 5);
        a.RemoveAt(0, 2);
        EXPECT_EQ(live, 3);
        std::unique_ptr<Counted> kept(a.Detach(0));
        EXPECT_EQ(live, 3);
        EXPECT_EQ(a.GetCount(), 2);
        a.SetAt(0, new Counted(&live));  // replaces and deletes the old one
        EXPECT_EQ(live, 3);
        VLOwnedPtrArray<Counted> moved(std::move(a));
        EXPECT_EQ(a.GetCount(), 0);
        EXPECT_EQ(moved.GetCount(), 2);
    }
    EXPECT_EQ(live, 0);
    VLOwnedPtrArray<Counted> b;
    b.Add(new Counted(&live));
    b.RemoveAll();
    EXPECT_EQ(live, 0);
}

TEST(CoreArray, CopiesShareStringBuffers)
{
    VLStringArray a{L"one", L"two"};
    VLStringArray b(a);
    EXPECT_TRUE(a[0].SharesBufferWith(b[0]));
    b[0] += L"!";
    EXPECT_EQ(a[0], L"one");
    VLPointerArray<int> p;
    int x = 1;
    p.Add(&x);
    EXPECT_EQ(p.Find(&x), 0);
}

TEST(StringArray, FindAndRemoveValue)
{
    VLStringArray a{L"Alpha", L"beta", L"ALPHA", L"gamma"};
    EXPECT_EQ(a.Find(L"alpha"), -1);
    EXPECT_EQ(a.Find(L"alpha", false), 0);
    EXPECT_EQ(a.Find(L"alpha", false, 1), 2);
    EXPECT_EQ(a.RemoveValue(a[0], false), 2);  // the value is an entry itself
    EXPECT_EQ(a.GetCount(), 2);
    EXPECT_EQ(a[0], L"beta");
}

TEST(StringArray, Split)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* delimiter;
        bool trim;
        std::vector<const wchar_t*> want;
    };
    const Case kCases[] = {
        {L"a ; b;c", L";", true, {L"a", L"b", L"c"}},
        {L"a ; b;c", L";", false, {L"a ", L" b", L"c"}},
        {L"  a ; b  ", L";", true, {L"  a", L"b  "}},  // only around delimiters
        {L"abc", L";", false, {L"abc"}},
        {L"", L";", false, {}},
        {L"a;;b;", L";", false, {L"a", L"", L"b", L""}},
        {L"one::two:three", L"::", false, {L"one", L"two:three"}},
        {L"x--y", L"-", false, {L"x", L"", L"y"}},
        {L"aXbxc", L"x", false, {L"aXb", L"c"}},  // case-sensitive
        {L"abc", L"", false, {L"abc"}},
    };
    for (const Case& c : kCases)
    {
        VLStringArray a{L"stale"};
        EXPECT_EQ(a.Split(c.text, c.delimiter, c.trim), static_cast<int>(c.want.size())) << c.text;
        ASSERT_EQ(a.GetCount(), static_cast<int>(c.want.size())) << c.text;
        for (size_t i = 0; i < c.want.size(); ++i)
            EXPECT_EQ(a[static_cast<int>(i)], c.want[i]) << c.text << " #" << i;
    }
}

TEST(StringArray, JoinAndLocate)
{
    VLStringArray a{L"C:", L"dir", L"", L"file"};
    EXPECT_EQ(a.Join(L", "), L"C:, dir, , file");
    EXPECT_EQ(a.JoinWithBackslash(), L"C:\\dir\\\\file");
    EXPECT_EQ(VLStringArray().Join(L","), L"");
    int entry = -1;
    int offset = -1;
    ASSERT_TRUE(a.LocatePosition(3, entry, offset));
    EXPECT_EQ(entry, 1);
    EXPECT_EQ(offset, 1);
    ASSERT_TRUE(a.LocatePosition(5, entry, offset));  // skips the empty entry
    EXPECT_EQ(entry, 3);
    EXPECT_EQ(offset, 0);
    ASSERT_TRUE(a.LocatePosition(9, entry, offset));
    EXPECT_EQ(entry, 3);
    EXPECT_EQ(offset, 4);
    EXPECT_FALSE(a.LocatePosition(10, entry, offset));
    EXPECT_FALSE(a.LocatePosition(-1, entry, offset));
}

TEST(StringArray, RemoveDuplicatesKeepsFirstOccurrenceInBothPaths)
{
    for (int size : {2, 5, 16, 17, 40, 5000})
    {
        VLStringArray a;
        a.Add(L"A");
        for (int i = 1; i < size - 1; ++i)
            a.Add(VLString::Format(L"item %d", i % (size / 2 + 1)));
        a.Add(L"a");
        VLStringArray want;
        for (const VLString& s : a)
            if (want.Find(s, false) < 0)
                want.Add(s);
        int removed = a.RemoveDuplicates();
        EXPECT_EQ(removed, size - want.GetCount()) << size;
        ASSERT_EQ(a.GetCount(), want.GetCount()) << size;
        for (int i = 0; i < a.GetCount(); ++i)
            EXPECT_EQ(a[i], want[i]) << size << " #" << i;
        EXPECT_EQ(a[0], L"A");
        EXPECT_EQ(a.Find(L"a"), -1) << size;
    }
    VLStringArray one{L"x"};
    EXPECT_EQ(one.RemoveDuplicates(), 0);
}

TEST(StringArray, SortOrdersLogicallyAndCopesWithHardInputs)
{
    VLStringArray a{L"track10.mp3", L"Track2.mp3", L"track1.mp3", L"alpha", L"Beta"};
    a.Sort();
    const wchar_t* want[] = {L"alpha", L"Beta", L"track1.mp3", L"Track2.mp3", L"track10.mp3"};
    for (int i = 0; i < a.GetCount(); ++i)
        EXPECT_EQ(a[i], want[i]);

    // Sorted, reversed and all-equal inputs of some size.
    for (int kind = 0; kind < 3; ++kind)
    {
        VLStringArray big;
        for (int i = 0; i < 3000; ++i)
        {
            int v = kind == 0 ? i : kind == 1 ? 3000 - i : 7;
            big.Add(VLString::Format(L"f%d", v));
        }
        big.Sort(VLCompareLogical);
        for (int i = 1; i < big.GetCount(); ++i)
            ASSERT_LE(VLGetTextServices()->Compare(big[i - 1], big[i], VLCompareLogical), 0) << kind << " " << i;
    }
    VLStringArray empty;
    empty.Sort();
}

TEST(StringArray, TokenFormRoundTrips)
{
    VLStringArray a{L"one", L"", L"(3:x)", L"last"};
    VLString text(L"prefix");
    a.AppendTokens(text);
    EXPECT_EQ(text, L"prefix(1:4)(3:one)(0:)(5:(3:x))(4:last)");
    VLStringArray b{L"stale"};
    int pos = 6;
    ASSERT_TRUE(b.ReadTokens(text, pos));
    EXPECT_EQ(pos, text.GetLength());
    EXPECT_TRUE(a == b);

    VLString truncated(L"(1:3)(1:a)(1:b)");
    pos = 0;
    EXPECT_FALSE(b.ReadTokens(truncated, pos));
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(b.GetCount(), 0);
}

TEST(CoreArray, QuickSortMatchesTheStandardSort)
{
    uint32_t seed = 7;
    for (int size : {0, 1, 2, 3, 16, 17, 100, 5000})
    {
        for (int range : {3, 1000000})
        {
            VLNumberArray<int> a;
            std::vector<int> want;
            for (int i = 0; i < size; ++i)
            {
                seed = seed * 1103515245u + 12345u;
                int v = static_cast<int>((seed >> 8) % range);
                a.Add(v);
                want.push_back(v);
            }
            a.Sort();
            std::sort(want.begin(), want.end());
            ASSERT_EQ(a.GetCount(), size);
            for (int i = 0; i < size; ++i)
                ASSERT_EQ(a[i], want[i]) << size << "/" << range << " #" << i;
        }
    }
}

TEST(CoreArray, SetSizeConstructsAndDestroys)
{
    VLStringArray a;
    a.SetSize(3);
    EXPECT_EQ(a.GetCount(), 3);
    EXPECT_TRUE(a[2].IsEmpty());
    a[2] = L"kept";
    a.SetSize(5);
    EXPECT_EQ(a[2], L"kept");
    a.SetSize(1);
    EXPECT_EQ(a.GetCount(), 1);
    a.SetSize(-4);
    EXPECT_EQ(a.GetCount(), 0);
}
