#pragma once
// The string allocator: buffer header layout, the process-wide allocator
// with its small-buffer cache, the shared empty buffer and the character
// tables for code units 0-255.

#include <atomic>
#include <cstdint>

class VLStringGlobals;

// Header in front of every string buffer; the code units and a terminating
// 0 follow it directly.
struct VLStringData
{
    VLStringGlobals* owner;      // allocator that must take the buffer back
    int32_t length;              // units in use, without the terminator
    int32_t capacity;            // units the buffer holds, terminator included
    std::atomic<int32_t> refs;   // see the constants below

    wchar_t* Chars() { return reinterpret_cast<wchar_t*>(this + 1); }
    static VLStringData* FromChars(const wchar_t* p)
    {
        return reinterpret_cast<VLStringData*>(const_cast<wchar_t*>(p)) - 1;
    }
};

// Reference count of the one shared empty buffer: never changed, never freed.
constexpr int32_t kVLStringEmptyRefs = 2147483647 - 1000;
// Reference count of a buffer held for writing between GetBuffer and ReleaseBuffer.
constexpr int32_t kVLStringLockedRefs = -1;
// Length passed to Alloc when the caller does not know it yet.
constexpr int32_t kVLStringNoLength = 2147483647;

// Character-class bits of the class table.
enum VLCharClass : uint32_t
{
    VLCC_DIGIT = 0x01,
    VLCC_ALPHA = 0x02,
    VLCC_SPACE = 0x04,
    VLCC_UPPER = 0x08,
    VLCC_LOWER = 0x10,
    VLCC_PUNCT = 0x20,
    VLCC_PRINT = 0x40,
};

class VLStringGlobals
{
public:
    static constexpr uint32_t kMarker = 0xB23A8C33u;
    static constexpr int kCacheSlots = 16;
    // Requests up to this length may be served from the cache.
    static constexpr int32_t kCacheMaxLength = 1030;
    // Buffers with a capacity below this go back into the cache.
    static constexpr int32_t kCacheMaxCapacity = 1032;

    // The process-wide instance, made on first use and never destroyed.
    static VLStringGlobals& Get()
    {
        if (s_marker.load(std::memory_order_acquire) != kMarker)
            return Create();
        return *reinterpret_cast<VLStringGlobals*>(s_storage);
    }

    // A buffer with room for length units plus the terminator; count 1. The
    // terminator is written at `length`; the text is not initialised.
    virtual VLStringData* Alloc(int32_t length, bool useCache = true);
    // Takes a buffer back (cache or heap). Never called for the empty buffer.
    virtual void Release(VLStringData* data);
    // Points `chars` at the shared empty buffer.
    virtual void SetEmpty(wchar_t*& chars);
    // A buffer of `length` zero units.
    virtual VLStringData* AllocZeroed(int32_t length);
    // Each byte becomes one code unit.
    virtual VLStringData* Widen(const char* text, int32_t length);
    // A copy of UTF-16 text (length -1: up to the terminator) with `extra`
    // spare units of capacity.
    virtual VLStringData* Make(const wchar_t* text, int32_t length, int32_t extra = 0);
    virtual VLStringData* GetEmpty() { return &m_empty.header; }

    // Capacity (terminator included) for a growing buffer of `length` units:
    // the next power of two up to 2^20 units, then multiples of 2^20.
    static int32_t GrowthCapacity(int32_t length);

    // Selects the user's default locale (all categories) and refills the tables.
    void RebuildCharacterTables();

    wchar_t ToLower(wchar_t c) const { return c < 256 ? m_lower[c] : LowerSlow(c); }
    bool IsClass(wchar_t c, uint32_t bits) const
    {
        return c < 256 ? (m_classes[c] & bits) != 0 : IsClassSlow(c, bits);
    }
    const wchar_t* LowerTable() const { return m_lower; }
    // '.' or ',' as the current locale writes 1.2 with "%.1f".
    wchar_t DecimalSeparator() const { return m_decimalSeparator; }

    // For tests: how many cache slots are filled.
    int CachedBufferCount() const { return m_cacheCount.load(std::memory_order_relaxed); }

protected:
    VLStringGlobals();
    virtual ~VLStringGlobals() = default;

private:
    static VLStringGlobals& Create();
    void FillTables();
    static wchar_t LowerSlow(wchar_t c);
    static bool IsClassSlow(wchar_t c, uint32_t bits);

    static std::atomic<uint32_t> s_marker;
    alignas(16) static unsigned char s_storage[];

    // CRITICAL_SECTION kept opaque so this header does not need windows.h.
    alignas(8) unsigned char m_lock[64];
    VLStringData* m_cache[kCacheSlots];
    std::atomic<int> m_cacheCount;
    struct
    {
        VLStringData header;
        wchar_t zero[4];
    } m_empty;
    wchar_t m_lower[256];
    uint32_t m_classes[256];
    wchar_t m_decimalSeparator;
};

// Rebuilds the character tables for the user's locale; called once at start-up.
void VLStringRebuildCharacterTables();
