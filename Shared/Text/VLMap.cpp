#include "VLMap.h"

uint32_t VLMapBase::BucketCountFor(int target, bool headroom)
{
    int64_t t = target < 0 ? 0 : target;
    if (headroom)
        t = t * 120 / 100;
    int64_t p = 8;
    while (p <= t && p < (int64_t(1) << 30))
        p <<= 1;
    return static_cast<uint32_t>(p - 1);
}

void VLMapBase::Rehash(uint32_t buckets)
{
    if (buckets == 0 || buckets == m_bucketCount)
        return;
    VLMapNodeBase** table = new VLMapNodeBase*[buckets]();
    for (uint32_t b = 0; b < m_bucketCount; ++b)
    {
        VLMapNodeBase* p = m_ppBuckets[b];
        while (p)
        {
            VLMapNodeBase* next = p->next;
            VLMapNodeBase*& head = table[p->hash % buckets];
            p->next = head;
            head = p;
            p = next;
        }
    }
    delete[] m_ppBuckets;
    m_ppBuckets = table;
    m_bucketCount = buckets;
}

VLMapCursor VLMapBase::First() const
{
    VLMapCursor c;
    for (uint32_t b = 0; b < m_bucketCount; ++b)
    {
        if (m_ppBuckets[b])
        {
            c.bucket = b;
            c.node = m_ppBuckets[b];
            return c;
        }
    }
    return c;
}

bool VLMapBase::Next(VLMapCursor& cursor) const
{
    if (!cursor.node)
        return false;
    if (cursor.node->next)
    {
        cursor.node = cursor.node->next;
        return true;
    }
    for (uint32_t b = cursor.bucket + 1; b < m_bucketCount; ++b)
    {
        if (m_ppBuckets[b])
        {
            cursor.bucket = b;
            cursor.node = m_ppBuckets[b];
            return true;
        }
    }
    cursor.node = nullptr;
    return false;
}
