#pragma once
// VLStringArray: an array of VLString with search, de-duplication, split
// and join, sorting through the text services and a token text form.

#include "VLCoreArray.h"
#include "VLString.h"
#include "VLTextServices.h"

class VLStringArray : public VLArray<VLString>
{
public:
    VLStringArray() = default;
    VLStringArray(std::initializer_list<const wchar_t*> items);

    using VLArray<VLString>::Add;
    int Add(const wchar_t* text) { return VLArray<VLString>::Add(VLString(text)); }
    using VLArray<VLString>::InsertAt;
    bool InsertAt(int index, const wchar_t* text) { return InsertAt(index, VLString(text)); }

    // Index of the first entry equal to text, or -1.
    int Find(const wchar_t* text, bool caseSensitive = true, int start = 0) const;
    bool Contains(const wchar_t* text, bool caseSensitive = true) const { return Find(text, caseSensitive) >= 0; }
    // Removes every entry equal to text; returns how many.
    int RemoveValue(const wchar_t* text, bool caseSensitive = true);
    // Removes later entries equal (without regard to case) to an earlier
    // one; the first occurrence stays. Returns how many were removed.
    int RemoveDuplicates();

    // Replaces the contents with the pieces of text between occurrences of
    // the delimiter text (case-sensitive). With trim, white space directly
    // around each delimiter is dropped. Returns the count.
    int Split(const wchar_t* text, const wchar_t* delimiter, bool trim = false);
    VLString Join(const wchar_t* separator) const;
    VLString JoinWithBackslash() const { return Join(L"\\"); }
    // Entry and offset of a unit position in the concatenation of all
    // entries; false when the position is past the end.
    bool LocatePosition(int position, int& entry, int& offset) const;

    // Sorts ascending through the text services' comparison mode.
    void Sort(int mode = VLCompareLogical);

    // Token text form: the count, then one token per entry.
    void AppendTokens(VLString& out) const;
    // Clears the array and reads that form at pos; false (array empty, pos
    // unchanged) on malformed text.
    bool ReadTokens(const VLString& text, int& pos);
};

// Comparison adaptor for VLQSort over VLString through the text services.
struct VLStringArraySort
{
    explicit VLStringArraySort(int mode = VLCompareLogical) : m_mode(mode), m_services(VLGetTextServices()) {}
    bool operator()(const VLString& a, const VLString& b) const
    {
        return m_services->Compare(a.GetString(), b.GetString(), m_mode) < 0;
    }
    int m_mode;
    IVLTextServices* m_services;
};
