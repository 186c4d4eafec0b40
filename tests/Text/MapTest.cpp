// VLStringMap and the sets built on the map.

#include "VLStringCRCUniqueList.h"
#include "VLStringMap.h"

#include <gtest/gtest.h>

#include <set>

TEST(StringMap, KeysIgnoreCase)
{
    VLStringMap<int> m;
    m.SetAt(L"PATH", 1);
    int v = 0;
    EXPECT_TRUE(m.Lookup(L"Path", v));
    EXPECT_EQ(v, 1);
    EXPECT_TRUE(m.Lookup(VLString(L"path"), v));
    m.SetAt(L"path", 2);  // overwrites
    EXPECT_EQ(m.GetCount(), 1);
    EXPECT_TRUE(m.Lookup(L"PATH", v));
    EXPECT_EQ(v, 2);
    v = 77;
    EXPECT_FALSE(m.Lookup(L"PATHS", v));
    EXPECT_EQ(v, 77);  // untouched on a miss
    EXPECT_FALSE(m.Lookup(L"", v));
    m.SetAt(L"", 3);
    EXPECT_TRUE(m.Lookup(L"", v));
    EXPECT_EQ(v, 3);
    EXPECT_TRUE(m.RemoveKey(L"pAtH"));
    EXPECT_FALSE(m.RemoveKey(L"path"));
    EXPECT_EQ(m.GetCount(), 1);
    m[L"Key"] = 5;
    ASSERT_NE(m.Find(L"KEY"), nullptr);
    EXPECT_EQ(*m.Find(L"KEY"), 5);
}

TEST(StringMap, HashFoldsCase)
{
    // h = c + h * 65599 over the lower-cased units.
    uint32_t want = 0;
    for (const wchar_t* p = L"abc"; *p; ++p)
        want = static_cast<uint32_t>(*p) + want * 65599u;
    EXPECT_EQ(VLStringMapHash(L"ABC"), want);
    EXPECT_EQ(VLStringMapHash(L""), 0u);
    uint64_t want64 = 0;
    for (const wchar_t* p = L"abc"; *p; ++p)
        want64 = static_cast<uint64_t>(*p) + want64 * 65599u;
    EXPECT_EQ(VLStringHash64(L"aBc"), want64);
    EXPECT_EQ(VLStringHash64(nullptr), 0u);
}

TEST(StringMap, BucketCountsGrowByTheRule)
{
    struct Case
    {
        int target;
        bool headroom;
        uint32_t want;
    };
    const Case kCases[] = {{0, false, 7},  {1, false, 7},  {7, false, 7},   {8, false, 15},
                           {15, false, 15}, {16, false, 31}, {17, false, 31}, {13, true, 15},
                           {14, true, 31},  {100, true, 127}};
    for (const Case& c : kCases)
        EXPECT_EQ(VLMapBase::BucketCountFor(c.target, c.headroom), c.want) << c.target;

    VLStringMap<int> m;
    EXPECT_EQ(m.GetBucketCount(), 0);
    int expectedBuckets = 7;
    for (int i = 1; i <= 1000; ++i)
    {
        m.SetAt(VLString::Format(L"key%d", i), i);
        // Grows when 2 * buckets + 2 < count, to the bucket count for count.
        if (2 * expectedBuckets + 2 < i)
            expectedBuckets = static_cast<int>(VLMapBase::BucketCountFor(i, false));
        ASSERT_EQ(m.GetBucketCount(), expectedBuckets) << i;
    }
    EXPECT_EQ(m.GetCount(), 1000);
    for (int i = 1; i <= 1000; ++i)
    {
        int v = 0;
        ASSERT_TRUE(m.Lookup(VLString::Format(L"KEY%d", i), v)) << i;
        ASSERT_EQ(v, i);
    }
    m.InitHashTable(5000, true);
    EXPECT_EQ(m.GetBucketCount(), 8191);
    int v = 0;
    EXPECT_TRUE(m.Lookup(L"key500", v));
    EXPECT_EQ(v, 500);
}

TEST(StringMap, IterationVisitsEveryEntryOnce)
{
    VLStringMap<int> m;
    for (int i = 0; i < 100; ++i)
        m.SetAt(VLString::Format(L"k%d", i), i);
    for (int i = 0; i < 100; i += 3)
        m.RemoveKey(VLString::Format(L"K%d", i));
    std::set<int> seen;
    for (auto& node : m)
    {
        EXPECT_EQ(node.key, VLString::Format(L"k%d", node.value));
        EXPECT_TRUE(seen.insert(node.value).second);
    }
    EXPECT_EQ(static_cast<int>(seen.size()), m.GetCount());
    std::set<int> viaCursor;
    VLString key;
    int value;
    for (VLMapCursor pos = m.GetStartPosition(); pos;)
    {
        m.GetNextAssoc(pos, key, value);
        viaCursor.insert(value);
    }
    EXPECT_EQ(seen, viaCursor);
    m.RemoveAll();
    EXPECT_EQ(m.GetCount(), 0);
    EXPECT_FALSE(m.First());
}

TEST(StringMap, BlockAllocationAndCopies)
{
    VLStringMap<VLString> m;
    for (int i = 0; i < 50; ++i)
        m.SetAt(VLString::Format(L"name%d", i), VLString::Format(L"value%d", i));
    m.EnableBlockAllocation(16);  // existing nodes move into blocks
    EXPECT_TRUE(m.UsesBlockAllocation());
    for (int i = 50; i < 100; ++i)
        m.SetAt(VLString::Format(L"name%d", i), VLString::Format(L"value%d", i));
    for (int i = 0; i < 100; i += 2)
        m.RemoveKey(VLString::Format(L"name%d", i));
    VLStringMap<VLString> copy(m);
    m.RemoveAll();
    EXPECT_EQ(copy.GetCount(), 50);
    VLString v;
    EXPECT_TRUE(copy.Lookup(L"NAME99", v));
    EXPECT_EQ(v, L"value99");
    EXPECT_FALSE(copy.Lookup(L"name98", v));
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

TEST(StringMap, OwnedPtrMapDeletesValues)
{
    int live = 0;
    {
        VLOwnedPtrMap<Counted> m;
        m.SetAt(L"a", new Counted(&live));
        m.SetAt(L"b", new Counted(&live));
        m.SetAt(L"A", new Counted(&live));  // replaces and deletes the old value
        EXPECT_EQ(live, 2);
        Counted* same = m.Get(L"b");
        m.SetAt(L"B", same);  // storing the same pointer must not delete it
        EXPECT_EQ(live, 2);
        EXPECT_EQ(m.Get(L"b"), same);
        m.RemoveKey(L"a");
        EXPECT_EQ(live, 1);
    }
    EXPECT_EQ(live, 0);
}

TEST(StringMap, UniqueLists)
{
    VLStringUniqueList names;
    EXPECT_TRUE(names.Add(L"Setup.exe"));
    EXPECT_FALSE(names.Add(L"SETUP.EXE"));
    EXPECT_TRUE(names.Contains(L"setup.exe"));
    EXPECT_TRUE(names.Remove(L"setup.EXE"));
    EXPECT_FALSE(names.Contains(L"setup.exe"));

    int a = 0;
    int b = 0;
    VLUniqueList pointers;
    EXPECT_TRUE(pointers.Add(&a));
    EXPECT_TRUE(pointers.Add(&b));
    EXPECT_FALSE(pointers.Add(&a));
    EXPECT_EQ(pointers.GetCount(), 2);

    VLStringCRCUniqueList hashes;
    EXPECT_TRUE(hashes.UsesBlockAllocation());
    EXPECT_TRUE(hashes.Add(L"Quenbox"));
    EXPECT_FALSE(hashes.Add(VLString(L"QUENBOX")));
    EXPECT_TRUE(hashes.ContainsText(L"quenbox"));
    EXPECT_FALSE(hashes.ContainsText(L"quenbo"));
    for (int i = 0; i < 10000; ++i)
        hashes.Add(VLString::Format(L"entry %d", i));
    EXPECT_EQ(hashes.GetCount(), 10001);
}
