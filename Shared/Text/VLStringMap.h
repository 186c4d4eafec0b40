#pragma once
// Maps keyed by VLString without regard to case, and the sets built on the
// map: VLStringMap, VLStringUniqueList, VLUniqueList (pointers) and
// VLOwnedPtrMap (deletes its values).
//
// Key hash: each unit folded through the lower-case table (towlower above
// 255), h = c + h * 65599 in 32-bit arithmetic from 0. Keys are equal under
// CompareNoCase.

#include "VLMap.h"
#include "VLString.h"

inline uint32_t VLStringMapHash(const wchar_t* text)
{
    const VLStringGlobals& g = VLStringGlobals::Get();
    const wchar_t* lower = g.LowerTable();
    uint32_t h = 0;
    if (text)
    {
        for (; *text; ++text)
        {
            wchar_t c = *text;
            h = static_cast<uint32_t>(c < 256 ? lower[c] : g.ToLower(c)) + h * 65599u;
        }
    }
    return h;
}

// True when a and b are equal without regard to case.
inline bool VLStringEqualNoCase(const wchar_t* a, const wchar_t* b)
{
    const VLStringGlobals& g = VLStringGlobals::Get();
    for (;; ++a, ++b)
    {
        wchar_t ca = *a;
        wchar_t cb = *b;
        if (ca != cb && g.ToLower(ca) != g.ToLower(cb))
            return false;
        if (!ca)
            return true;
    }
}

struct VLStringKeyTraits
{
    static uint32_t Hash(const VLString& key) { return VLStringMapHash(key.GetString()); }
    static uint32_t Hash(const wchar_t* key) { return VLStringMapHash(key); }
    static bool Equal(const VLString& a, const VLString& b)
    {
        return a.GetLength() == b.GetLength() && VLStringEqualNoCase(a.GetString(), b.GetString());
    }
    static bool Equal(const VLString& a, const wchar_t* b) { return VLStringEqualNoCase(a.GetString(), b ? b : L""); }
};

template <class V>
class VLStringMap : public VLMap<VLString, V, VLStringKeyTraits>
{
    using Base = VLMap<VLString, V, VLStringKeyTraits>;

public:
    using Base::Base;

    bool Lookup(const wchar_t* key, V& value) const { return Base::Lookup(key, value); }
    bool Lookup(const VLString& key, V& value) const { return Base::Lookup(key, value); }
    V* Find(const wchar_t* key) { return Base::Find(key); }
    V* Find(const VLString& key) { return Base::Find(key); }
    const V* Find(const wchar_t* key) const { return Base::Find(key); }
    const V* Find(const VLString& key) const { return Base::Find(key); }
    bool Contains(const wchar_t* key) const { return Base::Contains(key); }
    bool Contains(const VLString& key) const { return Base::Contains(key); }
    bool RemoveKey(const wchar_t* key) { return Base::RemoveKey(key); }
    bool RemoveKey(const VLString& key) { return Base::RemoveKey(key); }
};

// A set of strings without regard to case.
class VLStringUniqueList : public VLStringMap<int>
{
public:
    // True when the text was not yet present.
    bool Add(const VLString& text)
    {
        bool added;
        FindOrAdd(text, added);
        return added;
    }
    bool Remove(const wchar_t* text) { return RemoveKey(text); }
};

struct VLPointerKeyTraits
{
    static uint32_t Hash(const void* p)
    {
        uint64_t v = reinterpret_cast<uintptr_t>(p);
        v ^= v >> 29;
        return static_cast<uint32_t>(v ^ (v >> 32));
    }
    static bool Equal(const void* a, const void* b) { return a == b; }
};

// A set of pointers.
class VLUniqueList : public VLMap<const void*, int, VLPointerKeyTraits>
{
public:
    bool Add(const void* p)
    {
        bool added;
        FindOrAdd(p, added);
        return added;
    }
    bool Remove(const void* p) { return RemoveKey(p); }
};

// A string map that owns its values: an overwritten or removed value is
// deleted, and so is every value left at destruction. Not copyable.
template <class T>
class VLOwnedPtrMap : public VLStringMap<T*>
{
public:
    VLOwnedPtrMap() = default;
    VLOwnedPtrMap(const VLOwnedPtrMap&) = delete;
    VLOwnedPtrMap& operator=(const VLOwnedPtrMap&) = delete;
    ~VLOwnedPtrMap() override { this->RemoveAll(); }

    // The stored pointer (still owned by the map), or nullptr.
    T* Get(const wchar_t* key) const
    {
        T* const* p = this->Find(key);
        return p ? *p : nullptr;
    }

protected:
    void DisposeValue(T*& value) override
    {
        delete value;
        value = nullptr;
    }
    void ReplaceValue(T*& slot, T*&& value) override
    {
        if (slot != value)
            delete slot;
        slot = value;
    }
};
