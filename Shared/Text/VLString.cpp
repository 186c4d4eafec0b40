#include "VLString.h"

#include "VLTextServices.h"

#include <windows.h>
#include <objbase.h>

#include <climits>
#include <cstring>
#include <cwchar>

namespace
{
VLStringGlobals& G() { return VLStringGlobals::Get(); }

int SafeLength(const wchar_t* text) { return text ? static_cast<int>(wcslen(text)) : 0; }

int32_t GrowCapacity(int32_t length) { return VLStringGlobals::GrowthCapacity(length); }
}  // namespace

int32_t VLStringGlobals::GrowthCapacity(int32_t length)
{
    int64_t need = static_cast<int64_t>(length) + 1;
    if (need <= 1048576)
    {
        int64_t c = 1;
        while (c < need)
            c <<= 1;
        return static_cast<int32_t>(c);
    }
    int64_t c = (need + 1048575) / 1048576 * 1048576;
    return c > INT_MAX ? INT_MAX : static_cast<int32_t>(c);
}

namespace
{
bool InSet(wchar_t c, const wchar_t* set)
{
    for (; *set; ++set)
        if (*set == c)
            return true;
    return false;
}
}  // namespace

// --- construction ------------------------------------------------------

VLString::VLString(const wchar_t* text) : m_pch(G().Make(text, -1)->Chars()) {}

VLString::VLString(const wchar_t* text, int length) : m_pch(G().Make(text, length < 0 ? -1 : length)->Chars()) {}

VLString::VLString(const wchar_t* text, int length, bool byteOrder)
{
    if (!text)
        length = 0;
    else if (length < 0)
        length = SafeLength(text);
    bool swap = false;
    if (byteOrder && length > 0)
    {
        if (text[0] == 0xFEFF)
        {
            ++text;
            --length;
        }
        else if (text[0] == 0xFFFE)
        {
            ++text;
            --length;
            swap = true;
        }
    }
    VLStringData* d = G().Make(text, length);
    if (swap)
    {
        wchar_t* p = d->Chars();
        for (int i = 0; i < length; ++i)
            p[i] = static_cast<wchar_t>(((p[i] & 0xFF) << 8) | ((p[i] >> 8) & 0xFF));
    }
    m_pch = d->Chars();
}

VLString::VLString(wchar_t ch, int repeat)
{
    if (repeat <= 0)
    {
        m_pch = G().GetEmpty()->Chars();
        return;
    }
    VLStringData* d = G().Alloc(repeat);
    wmemset(d->Chars(), ch, repeat);
    m_pch = d->Chars();
    if (ch == 0)
        SetLength(0);
}

void VLString::CopyFrom(const VLString& other)
{
    // The source is held for writing or belongs to another allocator: duplicate.
    const VLStringData* s = other.GetData();
    m_pch = G().Make(other.m_pch, s->length)->Chars();
}

VLString& VLString::operator=(const VLString& other) noexcept
{
    if (m_pch != other.m_pch)
    {
        VLString copy(other);
        swap(copy);
    }
    return *this;
}

VLString& VLString::operator=(const wchar_t* text)
{
    Assign(text, -1);
    return *this;
}

VLString& VLString::operator=(wchar_t ch)
{
    Assign(&ch, 1);
    return *this;
}

void VLString::Assign(const wchar_t* text, int length)
{
    if (!text)
        length = 0;
    else if (length < 0)
        length = SafeLength(text);
    VLStringData* d = GetData();
    // Write in place when the buffer is ours alone and the text is not in it.
    bool inside = text >= m_pch && text <= m_pch + d->capacity;
    if (length > 0 && !inside && d->refs.load(std::memory_order_acquire) == 1 && d->capacity > length)
    {
        std::memcpy(m_pch, text, sizeof(wchar_t) * length);
        SetLength(length);
        return;
    }
    Attach(G().Make(text, length));
}

void VLString::Empty()
{
    VLStringData* old = GetData();
    m_pch = G().GetEmpty()->Chars();
    ReleaseData(old);
}

void VLString::SetLength(int length)
{
    VLStringData* d = GetData();
    if (length == 0 && d->refs.load(std::memory_order_relaxed) != kVLStringLockedRefs)
    {
        Empty();
        return;
    }
    d->length = length;
    m_pch[length] = 0;
}

// --- encodings -----------------------------------------------------------

VLString VLString::FromAnsi(const char* text, int length)
{
    VLString s;
    if (!text || length == 0)
        return s;
    if (length < 0)
        length = static_cast<int>(std::strlen(text));
    if (length == 0)
        return s;
    int n = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (n <= 0)
        return s;
    wchar_t* p = s.GetBuffer(n, true, false);
    n = MultiByteToWideChar(CP_ACP, 0, text, length, p, n);
    s.ReleaseBuffer(n > 0 ? n : 0);
    return s;
}

char* VLString::ToAnsi() const
{
    int length = GetLength();
    int n = length ? WideCharToMultiByte(CP_ACP, 0, m_pch, length, nullptr, 0, nullptr, nullptr) : 0;
    if (length && n <= 0)
        return nullptr;
    char* out = new char[n + 1];
    if (n)
        WideCharToMultiByte(CP_ACP, 0, m_pch, length, out, n, nullptr, nullptr);
    out[n] = 0;
    return out;
}

VLString VLString::FromLatin1(const char* text, int length)
{
    VLString s;
    s.Attach(G().Widen(text, length));
    return s;
}

VLString VLString::FromUtf8(const char* text, int length)
{
    VLString s;
    if (!text)
        return s;
    if (length < 0)
        length = static_cast<int>(std::strlen(text));
    if (length == 0)
        return s;
    // Never more units than bytes.
    wchar_t* out = s.GetBuffer(length, true, false);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = p + length;
    int n = 0;
    auto cont = [&](int k) { return p + k < end && (p[k] & 0xC0) == 0x80; };
    while (p < end)
    {
        unsigned c = *p;
        if (c < 0x80)
        {
            out[n++] = static_cast<wchar_t>(c);
            ++p;
        }
        else if (c >= 0xF0 && c <= 0xF4 && cont(1) && cont(2) && cont(3))
        {
            // Four bytes: a character beyond U+FFFF becomes a surrogate pair.
            uint32_t cp = ((c & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
            if (cp >= 0x10000 && cp <= 0x10FFFF)
            {
                cp -= 0x10000;
                out[n++] = static_cast<wchar_t>(0xD800 + (cp >> 10));
                out[n++] = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
            }
            else
            {
                out[n++] = static_cast<wchar_t>(0xFFFD);
            }
            p += 4;
        }
        else if (c >= 0xE0 && cont(1) && cont(2))
        {
            out[n++] = static_cast<wchar_t>(((c & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
            p += 3;
        }
        else if (c >= 0xC0 && c < 0xE0 && cont(1))
        {
            out[n++] = static_cast<wchar_t>(((c & 0x1F) << 6) | (p[1] & 0x3F));
            p += 2;
        }
        else
        {
            out[n++] = static_cast<wchar_t>(c);
            ++p;
        }
    }
    s.ReleaseBuffer(n);
    return s;
}

std::string VLString::ToUtf8() const
{
    std::string out;
    int length = GetLength();
    out.reserve(static_cast<size_t>(length) + length / 2);
    for (int i = 0; i < length; ++i)
    {
        uint32_t c = m_pch[i];
        // A valid surrogate pair is one 4-byte character; a lone half is
        // written as its own 3-byte sequence.
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && m_pch[i + 1] >= 0xDC00 && m_pch[i + 1] <= 0xDFFF)
        {
            uint32_t cp = 0x10000 + ((c - 0xD800) << 10) + (m_pch[i + 1] - 0xDC00);
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
            ++i;
        }
        else if (c < 0x80)
        {
            out += static_cast<char>(c);
        }
        else if (c < 0x800)
        {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
        else
        {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

VLString VLString::NewGuid()
{
    GUID guid;
    if (FAILED(CoCreateGuid(&guid)))
        return VLString();
    wchar_t text[64];
    if (StringFromGUID2(guid, text, 64) <= 0)
        return VLString();
    return VLString(text);
}

// --- buffer access ---------------------------------------------------------

wchar_t* VLString::GetBuffer(int minLength, bool exact, bool keep)
{
    if (minLength < 0)
        minLength = 0;
    VLStringData* d = GetData();
    int32_t refs = d->refs.load(std::memory_order_acquire);
    bool exclusive = (refs == 1 || refs == kVLStringLockedRefs) && d->owner == &G();
    if (exclusive && d->capacity > minLength)
    {
        d->refs.store(kVLStringLockedRefs, std::memory_order_relaxed);
        return m_pch;
    }
    // The kept text must fit as well.
    int32_t keepLength = keep ? d->length : 0;
    int32_t need = keepLength > minLength ? keepLength : minLength;
    int32_t capacity = exact ? need + 1 : GrowCapacity(need);
    VLStringData* n = G().Alloc(capacity - 1);
    if (keepLength)
        std::memcpy(n->Chars(), m_pch, sizeof(wchar_t) * keepLength);
    n->length = keepLength;
    n->Chars()[keepLength] = 0;
    n->refs.store(kVLStringLockedRefs, std::memory_order_relaxed);
    VLStringData* old = d;
    m_pch = n->Chars();
    ReleaseData(old);
    return m_pch;
}

void VLString::ReleaseBuffer(int newLength)
{
    VLStringData* d = GetData();
    if (d->refs.load(std::memory_order_relaxed) == kVLStringEmptyRefs)
        return;
    if (newLength < 0)
    {
        newLength = 0;
        while (newLength < d->capacity - 1 && m_pch[newLength])
            ++newLength;
    }
    if (newLength > d->capacity - 1)
        newLength = d->capacity - 1;
    d->length = newLength;
    m_pch[newLength] = 0;
    if (d->refs.load(std::memory_order_relaxed) == kVLStringLockedRefs)
        d->refs.store(1, std::memory_order_relaxed);
    if (newLength == 0)
        Empty();
}

void VLString::Reserve(int capacity)
{
    int length = GetLength();
    GetBuffer(capacity > length ? capacity : length, true, true);
    ReleaseBuffer(length);
}

wchar_t* VLString::PrepareWrite(int length)
{
    VLStringData* d = GetData();
    if (d->refs.load(std::memory_order_acquire) == 1 && d->capacity > length && d->owner == &G())
        return m_pch;
    int keep = d->length < length ? d->length : length;
    VLStringData* n = G().Alloc(GrowCapacity(length) - 1);
    if (keep)
        std::memcpy(n->Chars(), m_pch, sizeof(wchar_t) * keep);
    n->length = keep;
    n->Chars()[keep] = 0;
    m_pch = n->Chars();
    ReleaseData(d);
    return m_pch;
}

// --- comparison --------------------------------------------------------------

int VLString::Compare(const wchar_t* text) const
{
    if (!text)
        text = L"";
    const wchar_t* a = m_pch;
    for (;; ++a, ++text)
    {
        unsigned ca = static_cast<uint16_t>(*a);
        unsigned cb = static_cast<uint16_t>(*text);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (!ca)
            return 0;
    }
}

int VLString::CompareNoCase(const wchar_t* a, const wchar_t* b)
{
    if (!a)
        a = L"";
    if (!b)
        b = L"";
    const VLStringGlobals& g = G();
    for (;; ++a, ++b)
    {
        wchar_t ca = *a;
        wchar_t cb = *b;
        if (ca != cb)
        {
            int fa = static_cast<uint16_t>(g.ToLower(ca));
            int fb = static_cast<uint16_t>(g.ToLower(cb));
            if (fa != fb)
                return fa - fb;
        }
        if (!ca)
            return 0;
    }
}

int VLString::CompareNoCase(const wchar_t* text) const { return CompareNoCase(m_pch, text); }

int VLString::CompareEnd(const wchar_t* text, bool caseSensitive) const
{
    int n = SafeLength(text);
    int length = GetLength();
    if (n == 0 || length < n)
        return -1;
    const wchar_t* tail = m_pch + length - n;
    if (caseSensitive)
    {
        for (int i = 0; i < n; ++i)
            if (tail[i] != text[i])
                return static_cast<uint16_t>(tail[i]) < static_cast<uint16_t>(text[i]) ? -1 : 1;
        return 0;
    }
    return CompareNoCase(tail, text);
}

bool VLString::StartsWith(const wchar_t* text, bool caseSensitive) const
{
    int n = SafeLength(text);
    if (n > GetLength())
        return false;
    if (caseSensitive)
        return std::wmemcmp(m_pch, text, n) == 0;
    const VLStringGlobals& g = G();
    for (int i = 0; i < n; ++i)
        if (m_pch[i] != text[i] && g.ToLower(m_pch[i]) != g.ToLower(text[i]))
            return false;
    return true;
}

// --- search --------------------------------------------------------------------

int VLString::Find(wchar_t ch, int start) const
{
    int length = GetLength();
    if (start < 0 || start >= length)
        return -1;
    const wchar_t* p = std::wmemchr(m_pch + start, ch, length - start);
    return p ? static_cast<int>(p - m_pch) : -1;
}

int VLString::Find(const wchar_t* text, int start) const
{
    int length = GetLength();
    if (!text || start < 0 || start > length)
        return -1;
    int n = SafeLength(text);
    if (n == 0)
        return start < length ? start : -1;
    const wchar_t first = text[0];
    const wchar_t* p = m_pch + start;
    const wchar_t* last = m_pch + length - n;
    while (p <= last)
    {
        p = std::wmemchr(p, first, last - p + 1);
        if (!p)
            return -1;
        if (std::wmemcmp(p, text, n) == 0)
            return static_cast<int>(p - m_pch);
        ++p;
    }
    return -1;
}

int VLString::ReverseFind(wchar_t ch) const
{
    for (int i = GetLength() - 1; i >= 0; --i)
        if (m_pch[i] == ch)
            return i;
    return -1;
}

int VLString::FindNewline() const { return FindOneOf(L"\r\n"); }

int VLString::FindOneOf(const wchar_t* set, int start) const
{
    int length = GetLength();
    if (!set || start < 0)
        return -1;
    for (int i = start; i < length; ++i)
        if (InSet(m_pch[i], set))
            return i;
    return -1;
}

int VLString::ReverseFindPathSeparator(int start) const
{
    int length = GetLength();
    if (start < 0 || start >= length)
        start = length - 1;
    for (int i = start; i >= 0; --i)
        if (m_pch[i] == L'\\' || m_pch[i] == L'/')
            return i;
    return -1;
}

int VLString::FindNoCase(const wchar_t* text, int start, bool returnEnd) const
{
    int length = GetLength();
    if (!text || start < 0 || start > length)
        return -1;
    int found = VLGetTextServices()->FindNoCase(m_pch + start, text);
    if (found < 0)
        return -1;
    found += start;
    return returnEnd ? found + SafeLength(text) : found;
}

// --- editing ----------------------------------------------------------------------

VLString& VLString::Append(const wchar_t* text, int count)
{
    if (!text || count <= 0)
        return *this;
    VLStringData* d = GetData();
    int length = d->length;
    int newLength = length + count;
    if (d->refs.load(std::memory_order_acquire) == 1 && d->capacity > newLength)
    {
        // memmove: the text may be part of this buffer.
        std::memmove(m_pch + length, text, sizeof(wchar_t) * count);
        d->length = newLength;
        m_pch[newLength] = 0;
        return *this;
    }
    VLStringData* n = G().Alloc(GrowCapacity(newLength) - 1);
    std::memcpy(n->Chars(), m_pch, sizeof(wchar_t) * length);
    std::memcpy(n->Chars() + length, text, sizeof(wchar_t) * count);  // old buffer still alive
    n->length = newLength;
    n->Chars()[newLength] = 0;
    m_pch = n->Chars();
    ReleaseData(d);
    return *this;
}

VLString& VLString::Append(const wchar_t* text) { return Append(text, SafeLength(text)); }

VLString& VLString::AppendPieces(const wchar_t* a, const wchar_t* b, const wchar_t* c, const wchar_t* d)
{
    const wchar_t* pieces[4] = {a, b, c, d};
    int lengths[4];
    int total = 0;
    for (int i = 0; i < 4; ++i)
    {
        lengths[i] = SafeLength(pieces[i]);
        total += lengths[i];
    }
    if (total == 0)
        return *this;
    VLString result;
    int length = GetLength();
    wchar_t* p = result.GetBuffer(length + total, true, false);
    std::memcpy(p, m_pch, sizeof(wchar_t) * length);
    p += length;
    for (int i = 0; i < 4; ++i)
    {
        std::memcpy(p, pieces[i], sizeof(wchar_t) * lengths[i]);
        p += lengths[i];
    }
    result.ReleaseBuffer(length + total);
    swap(result);
    return *this;
}

namespace
{
VLString Concat(const wchar_t* a, int na, const wchar_t* b, int nb)
{
    VLString s;
    if (na + nb == 0)
        return s;
    wchar_t* p = s.GetBuffer(na + nb, true, false);
    std::memcpy(p, a, sizeof(wchar_t) * na);
    std::memcpy(p + na, b, sizeof(wchar_t) * nb);
    s.ReleaseBuffer(na + nb);
    return s;
}
}  // namespace

VLString operator+(const VLString& a, const VLString& b)
{
    if (b.IsEmpty())
        return a;
    if (a.IsEmpty())
        return b;
    return Concat(a.m_pch, a.GetLength(), b.m_pch, b.GetLength());
}
VLString operator+(const VLString& a, const wchar_t* b) { return Concat(a.m_pch, a.GetLength(), b, SafeLength(b)); }
VLString operator+(const wchar_t* a, const VLString& b) { return Concat(a, SafeLength(a), b.m_pch, b.GetLength()); }
VLString operator+(const VLString& a, wchar_t b) { return Concat(a.m_pch, a.GetLength(), &b, 1); }
VLString operator+(wchar_t a, const VLString& b) { return Concat(&a, 1, b.m_pch, b.GetLength()); }

bool VLString::Insert(int index, wchar_t ch) 
{
    wchar_t text[2] = {ch, 0};
    if (ch == 0)
        return index >= 0 && index <= GetLength();
    return Insert(index, text);
}

bool VLString::Insert(int index, const wchar_t* text)
{
    int length = GetLength();
    if (index < 0 || index > length)
        return false;
    int n = SafeLength(text);
    if (n == 0)
        return true;
    VLString copy(text, n);  // text may point into this string
    wchar_t* p = PrepareWrite(length + n);
    std::memmove(p + index + n, p + index, sizeof(wchar_t) * (length - index));
    std::memcpy(p + index, copy.m_pch, sizeof(wchar_t) * n);
    SetLength(length + n);
    return true;
}

bool VLString::SetAt(int index, wchar_t ch)
{
    int length = GetLength();
    if (index < 0 || index >= length)
        return false;
    wchar_t* p = PrepareWrite(length);
    p[index] = ch;
    if (ch == 0)
        SetLength(index);
    return true;
}

int VLString::Remove(wchar_t ch)
{
    int first = Find(ch);
    if (first < 0)
        return 0;
    int length = GetLength();
    wchar_t* p = PrepareWrite(length);
    int out = first;
    for (int i = first; i < length; ++i)
        if (p[i] != ch)
            p[out++] = p[i];
    SetLength(out);
    return length - out;
}

int VLString::Replace(wchar_t from, wchar_t to)
{
    if (from == to)
        return 0;
    int first = Find(from);
    if (first < 0)
        return 0;
    int length = GetLength();
    wchar_t* p = PrepareWrite(length);
    int count = 0;
    for (int i = first; i < length; ++i)
    {
        if (p[i] == from)
        {
            p[i] = to;
            ++count;
        }
    }
    if (to == 0)
        SetLength(first);
    return count;
}

int VLString::Replace(const wchar_t* pattern, const wchar_t* replacement, bool caseSensitive)
{
    return ReplaceMany(&pattern, &replacement, 1, caseSensitive);
}

int VLString::Delete(int index, int count)
{
    int length = GetLength();
    if (index < 0)
    {
        count += index;
        index = 0;
    }
    if (index >= length || count <= 0)
        return length;
    if (count > length - index)
        count = length - index;
    if (count == length)
    {
        Empty();
        return 0;
    }
    wchar_t* p = PrepareWrite(length);
    std::memmove(p + index, p + index + count, sizeof(wchar_t) * (length - index - count));
    SetLength(length - count);
    return length - count;
}

void VLString::DeleteEnds(int left, int right)
{
    int length = GetLength();
    if (left < 0)
        left = 0;
    if (right < 0)
        right = 0;
    if (static_cast<int64_t>(left) + right >= length)
    {
        Empty();
        return;
    }
    if (right)
        Delete(length - right, right);
    if (left)
        Delete(0, left);
}

VLString VLString::Left(int count) const
{
    int length = GetLength();
    if (count <= 0)
        return VLString();
    if (count >= length)
        return *this;
    return VLString(m_pch, count);
}

VLString VLString::Right(int count) const
{
    int length = GetLength();
    if (count <= 0)
        return VLString();
    if (count >= length)
        return *this;
    return VLString(m_pch + length - count, count);
}

VLString VLString::Mid(int start) const { return Mid(start, INT_MAX); }

VLString VLString::Mid(int start, int count) const
{
    int length = GetLength();
    if (start < 0)
        start = 0;
    if (start > length)
        start = length;
    if (count > length - start)
        count = length - start;
    if (count <= 0)
        return VLString();
    if (start == 0 && count == length)
        return *this;
    return VLString(m_pch + start, count);
}

VLString VLString::SpanExcluding(const wchar_t* set) const
{
    int i = set ? FindOneOf(set) : -1;
    return i < 0 ? *this : Left(i);
}

namespace
{
bool IsSpace(wchar_t c) { return VLStringGlobals::Get().IsClass(c, VLCC_SPACE); }
}  // namespace

VLString& VLString::TrimLeft()
{
    int length = GetLength();
    int i = 0;
    while (i < length && IsSpace(m_pch[i]))
        ++i;
    if (i)
        Delete(0, i);
    return *this;
}

VLString& VLString::TrimRight()
{
    int length = GetLength();
    int i = length;
    while (i > 0 && IsSpace(m_pch[i - 1]))
        --i;
    if (i < length)
        Delete(i, length - i);
    return *this;
}

VLString& VLString::Trim() { return TrimRight().TrimLeft(); }

VLString& VLString::TrimLeft(const wchar_t* set)
{
    if (!set || !*set)
        return *this;
    int length = GetLength();
    int i = 0;
    while (i < length && InSet(m_pch[i], set))
        ++i;
    if (i)
        Delete(0, i);
    return *this;
}

VLString& VLString::TrimRight(const wchar_t* set)
{
    if (!set || !*set)
        return *this;
    int length = GetLength();
    int i = length;
    while (i > 0 && InSet(m_pch[i - 1], set))
        --i;
    if (i < length)
        Delete(i, length - i);
    return *this;
}

VLString& VLString::Trim(const wchar_t* set) { return TrimRight(set).TrimLeft(set); }

bool VLString::CutToFolder()
{
    int i = ReverseFind(L'\\');
    if (i < 0)
        return false;
    if (i + 1 < GetLength())
        Delete(i + 1, GetLength() - i - 1);
    return true;
}

VLString& VLString::MakeLower()
{
    const VLStringGlobals& g = G();
    int length = GetLength();
    for (int i = 0; i < length; ++i)
    {
        wchar_t c = g.ToLower(m_pch[i]);
        if (c != m_pch[i])
        {
            wchar_t* p = PrepareWrite(length);
            for (; i < length; ++i)
                p[i] = g.ToLower(p[i]);
            break;
        }
    }
    return *this;
}

VLString& VLString::MakeUpper()
{
    int length = GetLength();
    for (int i = 0; i < length; ++i)
    {
        wchar_t c = static_cast<wchar_t>(towupper(m_pch[i]));
        if (c != m_pch[i])
        {
            wchar_t* p = PrepareWrite(length);
            for (; i < length; ++i)
                p[i] = static_cast<wchar_t>(towupper(p[i]));
            break;
        }
    }
    return *this;
}

// --- hashing --------------------------------------------------------------------------

uint64_t VLStringHash64(const wchar_t* text, int length)
{
    if (!text)
        return 0;
    const VLStringGlobals& g = G();
    uint64_t h = 0;
    if (length < 0)
    {
        for (; *text; ++text)
            h = static_cast<uint64_t>(g.ToLower(*text)) + h * 65599u;
    }
    else
    {
        for (int i = 0; i < length; ++i)
            h = static_cast<uint64_t>(g.ToLower(text[i])) + h * 65599u;
    }
    return h;
}

uint32_t VLStringHash32(const wchar_t* text, int length)
{
    if (!text)
        return 0;
    const VLStringGlobals& g = G();
    uint32_t h = 0;
    int n = length < 0 ? SafeLength(text) : length;
    for (int i = 0; i < n; ++i)
        h = static_cast<uint32_t>(g.ToLower(text[i])) + h * 65599u;
    return h;
}
