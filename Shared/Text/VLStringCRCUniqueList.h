#pragma once
// VLStringCRCUniqueList: a set of 64-bit string hashes used to de-duplicate
// large string arrays. Only the hashes are kept, so two different strings
// with the same hash count as duplicates. Nodes come from blocks.

#include "VLMap.h"
#include "VLString.h"

// Key of the list: the 64-bit folded hash of a string (VLStringHash64).
struct VLStringHashBase
{
    uint64_t hash = 0;

    VLStringHashBase() = default;
    explicit VLStringHashBase(uint64_t h) : hash(h) {}
    explicit VLStringHashBase(const wchar_t* text, int length = -1) : hash(VLStringHash64(text, length)) {}
    friend bool operator==(const VLStringHashBase& a, const VLStringHashBase& b) { return a.hash == b.hash; }
};

struct VLStringHashKeyTraits
{
    static uint32_t Hash(const VLStringHashBase& k) { return static_cast<uint32_t>(k.hash ^ (k.hash >> 32)); }
    static bool Equal(const VLStringHashBase& a, const VLStringHashBase& b) { return a.hash == b.hash; }
};

class VLStringCRCUniqueList : public VLMap<VLStringHashBase, char, VLStringHashKeyTraits>
{
public:
    VLStringCRCUniqueList() { EnableBlockAllocation(1024); }

    // True when the text's hash was not yet present.
    bool Add(const wchar_t* text, int length = -1) { return AddHash(VLStringHash64(text, length)); }
    bool Add(const VLString& text) { return Add(text.GetString(), text.GetLength()); }
    bool AddHash(uint64_t hash)
    {
        bool added;
        FindOrAdd(VLStringHashBase(hash), added);
        return added;
    }
    bool ContainsText(const wchar_t* text, int length = -1) const
    {
        return Contains(VLStringHashBase(VLStringHash64(text, length)));
    }
};
