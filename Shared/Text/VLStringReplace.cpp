// ReplaceMany and IncrementNumberSuffix of VLString.

#include "VLCoreArray.h"
#include "VLString.h"
#include "VLTextServices.h"

#include <cstring>
#include <cwchar>

int VLString::ReplaceMany(const wchar_t* const* patterns, const wchar_t* const* replacements, int count,
                          bool caseSensitive, bool keepMatch, const wchar_t* prefix, const wchar_t* suffix)
{
    if (!patterns || count <= 0)
        return 0;
    for (int i = 0; i < count; ++i)
        if (!patterns[i] || !patterns[i][0])
            return 0;

    IVLTextServices* services = caseSensitive ? nullptr : VLGetTextServices();
    auto find = [&](int pattern, int start) -> int {
        if (!services)
            return Find(patterns[pattern], start);
        if (start > GetLength())
            return -1;
        int at = services->FindNoCase(m_pch + start, patterns[pattern]);
        return at < 0 ? -1 : at + start;
    };

    VLCoreArray<int> lengths;
    VLCoreArray<int> next;  // next occurrence per pattern; -1 once exhausted
    lengths.SetSize(count);
    next.SetSize(count);
    for (int i = 0; i < count; ++i)
    {
        lengths[i] = static_cast<int>(wcslen(patterns[i]));
        next[i] = find(i, 0);
    }

    VLCoreArray<VLStringReplaceHit> hits;
    int pos = 0;
    for (;;)
    {
        int best = -1;
        for (int i = 0; i < count; ++i)
        {
            if (next[i] >= 0 && next[i] < pos)
                next[i] = find(i, pos);
            if (next[i] >= 0 && (best < 0 || next[i] < next[best]))
                best = i;
        }
        if (best < 0)
            break;
        hits.Add(VLStringReplaceHit{best, next[best]});
        pos = next[best] + lengths[best];
    }
    if (hits.IsEmpty())
        return 0;

    int prefixLength = prefix ? static_cast<int>(wcslen(prefix)) : 0;
    int suffixLength = suffix ? static_cast<int>(wcslen(suffix)) : 0;
    int64_t total = GetLength();
    for (const VLStringReplaceHit& h : hits)
    {
        int insert = keepMatch ? lengths[h.pattern]
                               : (replacements && replacements[h.pattern]
                                      ? static_cast<int>(wcslen(replacements[h.pattern]))
                                      : 0);
        total += prefixLength + suffixLength + insert - lengths[h.pattern];
    }
    if (total > 0x7FFFFFF0)
        return 0;

    VLString result;
    if (total > 0)
    {
        wchar_t* out = result.GetBuffer(static_cast<int>(total), true, false);
        int from = 0;
        for (const VLStringReplaceHit& h : hits)
        {
            std::memcpy(out, m_pch + from, sizeof(wchar_t) * (h.position - from));
            out += h.position - from;
            std::memcpy(out, prefix, sizeof(wchar_t) * prefixLength);
            out += prefixLength;
            if (keepMatch)
            {
                std::memcpy(out, m_pch + h.position, sizeof(wchar_t) * lengths[h.pattern]);
                out += lengths[h.pattern];
            }
            else if (replacements && replacements[h.pattern])
            {
                int n = static_cast<int>(wcslen(replacements[h.pattern]));
                std::memcpy(out, replacements[h.pattern], sizeof(wchar_t) * n);
                out += n;
            }
            std::memcpy(out, suffix, sizeof(wchar_t) * suffixLength);
            out += suffixLength;
            from = h.position + lengths[h.pattern];
        }
        std::memcpy(out, m_pch + from, sizeof(wchar_t) * (GetLength() - from));
        result.ReleaseBuffer(static_cast<int>(total));
    }
    swap(result);
    return hits.GetCount();
}

void VLString::IncrementNumberSuffix()
{
    int length = GetLength();
    if (length >= 3 && m_pch[length - 1] == L')')
    {
        int i = length - 2;
        while (i >= 0 && m_pch[i] >= L'0' && m_pch[i] <= L'9')
            --i;
        int digits = length - 2 - i;
        if (i >= 0 && m_pch[i] == L'(' && digits >= 1 && digits <= 4 && m_pch[i + 1] != L'0')
        {
            int n = ToInt(m_pch + i + 1);
            int keep = i;
            const wchar_t* separator = L"";
            if (keep > 0 && m_pch[keep - 1] == L' ')
            {
                --keep;
                separator = L" ";
            }
            VLString rest = Left(keep);
            rest.AppendFormat(L"%s(%d)", separator, n + 1);
            swap(rest);
            return;
        }
    }
    Append(L" (1)");
}
