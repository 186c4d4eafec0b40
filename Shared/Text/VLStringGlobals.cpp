#include "VLStringGlobals.h"

#include <windows.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <new>

static_assert(sizeof(CRITICAL_SECTION) <= 64, "lock storage too small");

std::atomic<uint32_t> VLStringGlobals::s_marker{0};
alignas(16) unsigned char VLStringGlobals::s_storage[sizeof(VLStringGlobals)];

namespace
{
// Guards the one-time construction; constant-initialised so it works
// before any constructor has run.
SRWLOCK g_createLock = SRWLOCK_INIT;

CRITICAL_SECTION* Lock(unsigned char* storage) { return reinterpret_cast<CRITICAL_SECTION*>(storage); }

class CacheLock
{
public:
    explicit CacheLock(unsigned char* storage) : m_cs(Lock(storage)) { EnterCriticalSection(m_cs); }
    ~CacheLock() { LeaveCriticalSection(m_cs); }
    CacheLock(const CacheLock&) = delete;
    CacheLock& operator=(const CacheLock&) = delete;

private:
    CRITICAL_SECTION* m_cs;
};

size_t BufferBytes(int32_t capacity) { return sizeof(VLStringData) + sizeof(wchar_t) * static_cast<size_t>(capacity); }
}  // namespace

VLStringGlobals& VLStringGlobals::Create()
{
    AcquireSRWLockExclusive(&g_createLock);
    if (s_marker.load(std::memory_order_acquire) != kMarker)
    {
        new (s_storage) VLStringGlobals();
        s_marker.store(kMarker, std::memory_order_release);
    }
    ReleaseSRWLockExclusive(&g_createLock);
    return *reinterpret_cast<VLStringGlobals*>(s_storage);
}

VLStringGlobals::VLStringGlobals() : m_cache{}, m_cacheCount(0)
{
    InitializeCriticalSectionAndSpinCount(Lock(m_lock), 1000);
    m_empty.header.owner = this;
    m_empty.header.length = 0;
    m_empty.header.capacity = 1;
    m_empty.header.refs.store(kVLStringEmptyRefs, std::memory_order_relaxed);
    std::memset(m_empty.zero, 0, sizeof(m_empty.zero));
    FillTables();
}

void VLStringGlobals::FillTables()
{
    for (int c = 0; c < 256; ++c)
    {
        wint_t w = static_cast<wint_t>(c);
        m_lower[c] = static_cast<wchar_t>(towlower(w));
        uint32_t bits = 0;
        if (iswdigit(w))
            bits |= VLCC_DIGIT;
        if (iswalpha(w))
            bits |= VLCC_ALPHA;
        if (iswspace(w))
            bits |= VLCC_SPACE;
        if (iswupper(w))
            bits |= VLCC_UPPER;
        if (iswlower(w))
            bits |= VLCC_LOWER;
        if (iswpunct(w))
            bits |= VLCC_PUNCT;
        if (iswprint(w))
            bits |= VLCC_PRINT;
        m_classes[c] = bits;
    }
    // Whether this locale writes 1.2 as "1.2" or "1,2".
    char text[16] = {};
    std::snprintf(text, sizeof(text), "%.1f", 1.2);
    m_decimalSeparator = text[1] == ',' ? L',' : L'.';
}

void VLStringGlobals::RebuildCharacterTables()
{
    setlocale(LC_ALL, "");
    FillTables();
}

void VLStringRebuildCharacterTables() { VLStringGlobals::Get().RebuildCharacterTables(); }

wchar_t VLStringGlobals::LowerSlow(wchar_t c) { return static_cast<wchar_t>(towlower(static_cast<wint_t>(c))); }

bool VLStringGlobals::IsClassSlow(wchar_t c, uint32_t bits)
{
    wint_t w = static_cast<wint_t>(c);
    return ((bits & VLCC_DIGIT) && iswdigit(w)) || ((bits & VLCC_ALPHA) && iswalpha(w)) ||
           ((bits & VLCC_SPACE) && iswspace(w)) || ((bits & VLCC_UPPER) && iswupper(w)) ||
           ((bits & VLCC_LOWER) && iswlower(w)) || ((bits & VLCC_PUNCT) && iswpunct(w)) ||
           ((bits & VLCC_PRINT) && iswprint(w));
}

VLStringData* VLStringGlobals::Alloc(int32_t length, bool useCache)
{
    if (length < 0)
        length = 0;
    bool noLength = length > 2147483646;
    if (useCache && (length <= kCacheMaxLength || noLength) &&
        m_cacheCount.load(std::memory_order_relaxed) > 0)
    {
        int32_t want = noLength ? 0 : length;
        VLStringData* found = nullptr;
        {
            CacheLock lock(m_lock);
            int best = -1;
            int32_t bestSpare = 0;
            for (int i = 0; i < kCacheSlots; ++i)
            {
                VLStringData* d = m_cache[i];
                if (!d)
                    continue;
                int32_t spare = d->capacity - 1 - want;
                if (spare < 0)
                    continue;
                if (best < 0 || spare < bestSpare)
                {
                    best = i;
                    bestSpare = spare;
                    if (spare <= 15)
                        break;
                }
            }
            if (best >= 0)
            {
                found = m_cache[best];
                m_cache[best] = nullptr;
                m_cacheCount.fetch_sub(1, std::memory_order_relaxed);
            }
        }
        if (found)
        {
            found->owner = this;
            found->length = want;
            found->refs.store(1, std::memory_order_relaxed);
            found->Chars()[want] = 0;
            return found;
        }
    }
    if (noLength)
        length = 0;
    int32_t capacity = length + 1;
    VLStringData* d = static_cast<VLStringData*>(::operator new(BufferBytes(capacity)));
    d->owner = this;
    d->length = length;
    d->capacity = capacity;
    new (&d->refs) std::atomic<int32_t>(1);
    d->Chars()[length] = 0;
    return d;
}

void VLStringGlobals::Release(VLStringData* data)
{
    if (!data || data == &m_empty.header)
        return;
    if (data->capacity < kCacheMaxCapacity && m_cacheCount.load(std::memory_order_relaxed) < kCacheSlots)
    {
        CacheLock lock(m_lock);
        if (m_cacheCount.load(std::memory_order_relaxed) < kCacheSlots)
        {
            for (int i = 0; i < kCacheSlots; ++i)
            {
                if (!m_cache[i])
                {
                    m_cache[i] = data;
                    m_cacheCount.fetch_add(1, std::memory_order_relaxed);
                    return;
                }
            }
        }
    }
    ::operator delete(static_cast<void*>(data));
}

void VLStringGlobals::SetEmpty(wchar_t*& chars) { chars = m_empty.header.Chars(); }

VLStringData* VLStringGlobals::AllocZeroed(int32_t length)
{
    VLStringData* d = Alloc(length);
    std::memset(d->Chars(), 0, sizeof(wchar_t) * (static_cast<size_t>(d->length) + 1));
    return d;
}

VLStringData* VLStringGlobals::Widen(const char* text, int32_t length)
{
    if (!text)
        length = 0;
    else if (length < 0)
        length = static_cast<int32_t>(std::strlen(text));
    if (length == 0)
        return GetEmpty();
    VLStringData* d = Alloc(length);
    wchar_t* out = d->Chars();
    for (int32_t i = 0; i < length; ++i)
        out[i] = static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    return d;
}

VLStringData* VLStringGlobals::Make(const wchar_t* text, int32_t length, int32_t extra)
{
    if (!text)
        length = 0;
    else if (length < 0)
        length = static_cast<int32_t>(wcslen(text));
    if (extra < 0)
        extra = 0;
    if (length == 0 && extra == 0)
        return GetEmpty();
    VLStringData* d = Alloc(length + extra);
    if (length)
        std::memcpy(d->Chars(), text, sizeof(wchar_t) * static_cast<size_t>(length));
    d->length = length;
    d->Chars()[length] = 0;
    return d;
}
