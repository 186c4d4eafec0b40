#include "VLStringArray.h"

#include "VLStringCRCUniqueList.h"

#include <cstring>
#include <cwchar>

namespace
{
bool Equal(const VLString& a, const wchar_t* b, bool caseSensitive)
{
    return caseSensitive ? a.Compare(b) == 0 : a.CompareNoCase(b) == 0;
}

bool IsSpace(wchar_t c) { return VLStringGlobals::Get().IsClass(c, VLCC_SPACE); }

// Above this many entries duplicates are found through 64-bit hashes.
constexpr int kPairwiseDuplicateLimit = 16;
}  // namespace

VLStringArray::VLStringArray(std::initializer_list<const wchar_t*> items)
{
    Reserve(static_cast<int>(items.size()));
    for (const wchar_t* item : items)
        Add(item);
}

int VLStringArray::Find(const wchar_t* text, bool caseSensitive, int start) const
{
    if (!text)
        text = L"";
    for (int i = start < 0 ? 0 : start; i < GetCount(); ++i)
        if (Equal((*this)[i], text, caseSensitive))
            return i;
    return -1;
}

int VLStringArray::RemoveValue(const wchar_t* text, bool caseSensitive)
{
    VLString value(text);  // text may be one of the entries
    int removed = 0;
    for (int i = GetCount() - 1; i >= 0; --i)
    {
        if (Equal((*this)[i], value, caseSensitive))
        {
            RemoveAt(i);
            ++removed;
        }
    }
    return removed;
}

int VLStringArray::RemoveDuplicates()
{
    int count = GetCount();
    if (count < 2)
        return 0;
    if (count <= kPairwiseDuplicateLimit)
    {
        int removed = 0;
        for (int i = count - 1; i > 0; --i)
        {
            for (int j = 0; j < i; ++j)
            {
                if ((*this)[i].CompareNoCase((*this)[j]) == 0)
                {
                    RemoveAt(i);
                    ++removed;
                    break;
                }
            }
        }
        return removed;
    }
    // Hashes only: two different texts with equal 64-bit hashes count as
    // duplicates, which is accepted for this size of list.
    VLStringCRCUniqueList seen;
    seen.InitHashTable(count, true);
    VLCoreArray<int> duplicates;
    for (int i = 0; i < count; ++i)
        if (!seen.Add((*this)[i]))
            duplicates.Add(i);
    // Same result as removing those indexes from the last to the first, in one pass.
    int out = 0;
    int k = 0;
    for (int i = 0; i < count; ++i)
    {
        if (k < duplicates.GetCount() && duplicates[k] == i)
        {
            ++k;
            continue;
        }
        if (out != i)
            SwapElements(out, i);
        ++out;
    }
    SetSize(out);
    return duplicates.GetCount();
}

int VLStringArray::Split(const wchar_t* text, const wchar_t* delimiter, bool trim)
{
    RemoveAll();
    int length = text ? static_cast<int>(wcslen(text)) : 0;
    if (length == 0)
        return 0;
    int dlength = delimiter ? static_cast<int>(wcslen(delimiter)) : 0;
    if (dlength == 0)
    {
        Add(VLString(text, length));
        return 1;
    }
    const wchar_t* end = text + length;
    const wchar_t* start = text;
    bool afterDelimiter = false;
    for (;;)
    {
        // Next occurrence of the delimiter at or after start.
        const wchar_t* hit = nullptr;
        for (const wchar_t* p = start; end - p >= dlength;)
        {
            p = std::wmemchr(p, delimiter[0], (end - p) - dlength + 1);
            if (!p)
                break;
            if (std::wmemcmp(p, delimiter, dlength) == 0)
            {
                hit = p;
                break;
            }
            ++p;
        }
        const wchar_t* pieceEnd = hit ? hit : end;
        const wchar_t* pieceStart = start;
        if (trim)
        {
            if (afterDelimiter)
                while (pieceStart < pieceEnd && IsSpace(*pieceStart))
                    ++pieceStart;
            if (hit)
                while (pieceEnd > pieceStart && IsSpace(pieceEnd[-1]))
                    --pieceEnd;
        }
        Add(VLString(pieceStart, static_cast<int>(pieceEnd - pieceStart)));
        if (!hit)
            break;
        start = hit + dlength;
        afterDelimiter = true;
    }
    return GetCount();
}

VLString VLStringArray::Join(const wchar_t* separator) const
{
    int count = GetCount();
    if (count == 0)
        return VLString();
    if (count == 1)
        return (*this)[0];
    int slength = separator ? static_cast<int>(wcslen(separator)) : 0;
    int64_t total = static_cast<int64_t>(slength) * (count - 1);
    for (const VLString& s : *this)
        total += s.GetLength();
    if (total == 0 || total > 0x7FFFFFF0)
        return VLString();
    VLString result;
    wchar_t* out = result.GetBuffer(static_cast<int>(total), true, false);
    for (int i = 0; i < count; ++i)
    {
        if (i && slength)
        {
            std::memcpy(out, separator, sizeof(wchar_t) * slength);
            out += slength;
        }
        const VLString& s = (*this)[i];
        std::memcpy(out, s.GetString(), sizeof(wchar_t) * s.GetLength());
        out += s.GetLength();
    }
    result.ReleaseBuffer(static_cast<int>(total));
    return result;
}

bool VLStringArray::LocatePosition(int position, int& entry, int& offset) const
{
    if (position < 0)
        return false;
    int start = 0;
    for (int i = 0; i < GetCount(); ++i)
    {
        int length = (*this)[i].GetLength();
        // The end of the last entry still belongs to it.
        if (position < start + length || (i == GetCount() - 1 && position == start + length))
        {
            entry = i;
            offset = position - start;
            return true;
        }
        start += length;
    }
    return false;
}

void VLStringArray::Sort(int mode)
{
    VLQSort(GetData(), GetCount(), VLStringArraySort(mode));
}

void VLStringArray::AppendTokens(VLString& out) const
{
    out.AppendTokenInt(GetCount());
    for (const VLString& s : *this)
        out.AppendToken(s);
}

bool VLStringArray::ReadTokens(const VLString& text, int& pos)
{
    RemoveAll();
    int at = pos;
    int64_t count = 0;
    // Each entry takes at least four units, which bounds a sane count.
    if (!text.ReadTokenInt(at, count) || count < 0 || count > text.GetLength())
        return false;
    Reserve(static_cast<int>(count));
    VLString entry;
    for (int64_t i = 0; i < count; ++i)
    {
        if (!text.ReadToken(at, entry))
        {
            RemoveAll();
            return false;
        }
        Add(entry);
    }
    pos = at;
    return true;
}
