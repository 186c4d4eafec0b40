#pragma once
// VLMapBase and VLMap: chained hash maps.
//
// The bucket count is always one less than a power of two: on creation or
// growth it becomes (smallest power of two >= 8 and > target) - 1, the
// target being the new entry count (120 % of it with head-room); so 7, 15,
// 31, 63 ... A map grows before an insert when it has no buckets or when
// 2 * buckets + 2 is less than the new entry count. Rehashing pushes each
// node onto the front of its new bucket; a new key goes to the end of its
// chain. Iteration follows bucket order, which carries no meaning.
//
// KeyTraits: static uint32_t Hash(const Q&), static bool Equal(const K&, const Q&)
// for every lookup type Q used (K itself among them).

#include "CBlockDataContainer.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

struct VLMapNodeBase
{
    VLMapNodeBase* next;
    uint32_t hash;  // the key's hash, kept so rehashing need not recompute it
};

// Iteration cursor: bucket index and node.
struct VLMapCursor
{
    uint32_t bucket = 0;
    VLMapNodeBase* node = nullptr;
    explicit operator bool() const { return node != nullptr; }
};

class VLMapBase
{
public:
    int GetCount() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }
    int GetBucketCount() const { return static_cast<int>(m_bucketCount); }
    bool UsesBlockAllocation() const { return m_pBlocks != nullptr; }

    // The cursor of the first node (false when empty) and of the next one.
    VLMapCursor First() const;
    bool Next(VLMapCursor& cursor) const;

    // Bucket count for `target` entries (see above).
    static uint32_t BucketCountFor(int target, bool headroom);

protected:
    VLMapBase() = default;
    ~VLMapBase() { delete[] m_ppBuckets; }
    VLMapBase(const VLMapBase&) = delete;
    VLMapBase& operator=(const VLMapBase&) = delete;

    // Relinks every node into `buckets` new buckets.
    void Rehash(uint32_t buckets);
    // Grows the table as needed before the entry count becomes newCount.
    void GrowFor(int newCount)
    {
        if (m_bucketCount == 0 || 2 * static_cast<int64_t>(m_bucketCount) + 2 < newCount)
            Rehash(BucketCountFor(newCount, false));
    }
    uint32_t BucketOf(uint32_t hash) const { return hash % m_bucketCount; }
    void SwapBase(VLMapBase& other) noexcept
    {
        std::swap(m_bucketCount, other.m_bucketCount);
        std::swap(m_count, other.m_count);
        std::swap(m_pBlocks, other.m_pBlocks);
        std::swap(m_ppBuckets, other.m_ppBuckets);
    }

    uint32_t m_bucketCount = 0;
    int32_t m_count = 0;
    CBlockDataContainer* m_pBlocks = nullptr;
    VLMapNodeBase** m_ppBuckets = nullptr;
};

template <class K, class V, class KeyTraits>
class VLMap : public VLMapBase
{
public:
    struct Node : VLMapNodeBase
    {
        K key;
        V value;
    };

    VLMap() = default;
    VLMap(const VLMap& other) { CopyFrom(other); }
    VLMap(VLMap&& other) noexcept { SwapBase(other); }
    VLMap& operator=(const VLMap& other)
    {
        if (this != &other)
        {
            RemoveAll();
            CopyFrom(other);
        }
        return *this;
    }
    VLMap& operator=(VLMap&& other) noexcept
    {
        if (this != &other)
            SwapBase(other);
        return *this;
    }
    virtual ~VLMap()
    {
        FreeNodes();
        delete m_pBlocks;
    }

    // True and the value copied when the key is present; value unchanged otherwise.
    template <class Q>
    bool Lookup(const Q& key, V& value) const
    {
        const Node* n = FindNode(key);
        if (!n)
            return false;
        value = n->value;
        return true;
    }
    // Pointer to the stored value, or nullptr.
    template <class Q>
    V* Find(const Q& key)
    {
        Node* n = FindNode(key);
        return n ? &n->value : nullptr;
    }
    template <class Q>
    const V* Find(const Q& key) const
    {
        const Node* n = FindNode(key);
        return n ? &n->value : nullptr;
    }
    template <class Q>
    bool Contains(const Q& key) const
    {
        return FindNode(key) != nullptr;
    }

    // Inserts or overwrites.
    void SetAt(const K& key, const V& value)
    {
        bool added;
        Node* n = FindOrAdd(key, added);
        if (added)
            n->value = value;
        else
            ReplaceValue(n->value, V(value));
    }
    void SetAt(const K& key, V&& value)
    {
        bool added;
        Node* n = FindOrAdd(key, added);
        if (added)
            n->value = std::move(value);
        else
            ReplaceValue(n->value, std::move(value));
    }
    // The value for key, inserted value-initialised when absent.
    V& operator[](const K& key)
    {
        bool added;
        return FindOrAdd(key, added)->value;
    }
    // Finds or inserts; `added` tells which.
    Node* FindOrAdd(const K& key, bool& added)
    {
        uint32_t h = KeyTraits::Hash(key);
        if (m_bucketCount)
        {
            for (VLMapNodeBase* p = m_ppBuckets[BucketOf(h)]; p; p = p->next)
            {
                Node* n = static_cast<Node*>(p);
                if (n->hash == h && KeyTraits::Equal(n->key, key))
                {
                    added = false;
                    return n;
                }
            }
        }
        GrowFor(m_count + 1);
        Node* n = NewNode(key, h);
        // Appended at the end of its chain.
        VLMapNodeBase** link = &m_ppBuckets[BucketOf(h)];
        while (*link)
            link = &(*link)->next;
        *link = n;
        ++m_count;
        added = true;
        return n;
    }

    template <class Q>
    bool RemoveKey(const Q& key)
    {
        if (!m_bucketCount)
            return false;
        uint32_t h = KeyTraits::Hash(key);
        for (VLMapNodeBase** link = &m_ppBuckets[BucketOf(h)]; *link; link = &(*link)->next)
        {
            Node* n = static_cast<Node*>(*link);
            if (n->hash == h && KeyTraits::Equal(n->key, key))
            {
                *link = n->next;
                --m_count;
                DisposeValue(n->value);
                FreeNode(n);
                return true;
            }
        }
        return false;
    }

    void RemoveAll()
    {
        FreeNodes();
        delete[] m_ppBuckets;
        m_ppBuckets = nullptr;
        m_bucketCount = 0;
        m_count = 0;
    }

    // Sizes the table for `entries` (with 20 % head-room when asked).
    void InitHashTable(int entries, bool headroom = false)
    {
        Rehash(BucketCountFor(entries, headroom));
    }

    // Carves nodes from blocks from now on; existing nodes are moved over.
    void EnableBlockAllocation(int nodesPerBlock = 256)
    {
        if (m_pBlocks)
            return;
        CBlockDataContainer* blocks = new CBlockDataContainer(sizeof(Node), nodesPerBlock);
        for (uint32_t b = 0; b < m_bucketCount; ++b)
        {
            for (VLMapNodeBase** link = &m_ppBuckets[b]; *link; link = &(*link)->next)
            {
                Node* old = static_cast<Node*>(*link);
                Node* n = new (blocks->Alloc()) Node{{old->next, old->hash}, std::move(old->key), std::move(old->value)};
                *link = n;
                old->~Node();
                ::operator delete(static_cast<void*>(old));
            }
        }
        m_pBlocks = blocks;
    }

    static Node* NodeOf(const VLMapCursor& c) { return static_cast<Node*>(c.node); }

    // MFC-style iteration: pos from GetStartPosition, GetNextAssoc until
    // pos is false.
    VLMapCursor GetStartPosition() const { return First(); }
    void GetNextAssoc(VLMapCursor& pos, K& key, V& value) const
    {
        const Node* n = static_cast<const Node*>(pos.node);
        key = n->key;
        value = n->value;
        Next(pos);
    }

    // Range-for over the nodes (fields key and value).
    template <class N, class M>
    class IteratorT
    {
    public:
        IteratorT(M* map, VLMapCursor c) : m_map(map), m_cursor(c) {}
        N& operator*() const { return *static_cast<N*>(m_cursor.node); }
        N* operator->() const { return static_cast<N*>(m_cursor.node); }
        IteratorT& operator++()
        {
            m_map->Next(m_cursor);
            return *this;
        }
        bool operator!=(const IteratorT& o) const { return m_cursor.node != o.m_cursor.node; }
        bool operator==(const IteratorT& o) const { return m_cursor.node == o.m_cursor.node; }

    private:
        M* m_map;
        VLMapCursor m_cursor;
    };
    using iterator = IteratorT<Node, VLMap>;
    using const_iterator = IteratorT<const Node, const VLMap>;
    iterator begin() { return iterator(this, First()); }
    iterator end() { return iterator(this, VLMapCursor()); }
    const_iterator begin() const { return const_iterator(this, First()); }
    const_iterator end() const { return const_iterator(this, VLMapCursor()); }

protected:
    // Called for a value that is overwritten or removed; the owning maps
    // delete it. Derived owning maps must call RemoveAll in their destructor.
    virtual void DisposeValue(V&) {}
    // Overwrites a stored value; the owning maps delete the old one.
    virtual void ReplaceValue(V& slot, V&& value) { slot = std::move(value); }

    template <class Q>
    Node* FindNode(const Q& key) const
    {
        if (!m_bucketCount)
            return nullptr;
        uint32_t h = KeyTraits::Hash(key);
        for (VLMapNodeBase* p = m_ppBuckets[BucketOf(h)]; p; p = p->next)
        {
            Node* n = static_cast<Node*>(p);
            if (n->hash == h && KeyTraits::Equal(n->key, key))
                return n;
        }
        return nullptr;
    }

private:
    Node* NewNode(const K& key, uint32_t h)
    {
        void* mem = m_pBlocks ? m_pBlocks->Alloc() : ::operator new(sizeof(Node));
        Node* n = new (mem) Node{{nullptr, h}, key, V()};
        return n;
    }
    void FreeNode(Node* n)
    {
        n->~Node();
        if (m_pBlocks)
            m_pBlocks->Free(n);
        else
            ::operator delete(static_cast<void*>(n));
    }
    void FreeNodes()
    {
        for (uint32_t b = 0; b < m_bucketCount; ++b)
        {
            VLMapNodeBase* p = m_ppBuckets[b];
            m_ppBuckets[b] = nullptr;
            while (p)
            {
                Node* n = static_cast<Node*>(p);
                p = p->next;
                DisposeValue(n->value);
                FreeNode(n);
            }
        }
        m_count = 0;
    }
    void CopyFrom(const VLMap& other)
    {
        if (other.m_pBlocks)
            EnableBlockAllocation();
        if (other.m_count)
            InitHashTable(other.m_count);
        for (const Node& n : other)
            SetAt(n.key, n.value);
    }
};
