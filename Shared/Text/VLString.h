#pragma once
// VLString: a reference-counted, copy-on-write string of UTF-16 code units.
// The object is one pointer to the first unit of a buffer that starts with
// a VLStringData header. Lengths and indexes count UTF-16 units.

#include "VLRelocatable.h"
#include "VLStringGlobals.h"

#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

class VLString;

// One argument of Format, tagged by kind.
struct VLFormatArg
{
    enum Tag : int
    {
        None = 0,
        Utf8 = 1,      // const char*, UTF-8
        Utf16 = 2,     // const wchar_t*
        String = 3,    // const VLString*
        Int = 4,       // int64_t
        Double = 5,    // double
    };
    int tag;
    union
    {
        const char* utf8;
        const wchar_t* utf16;
        const VLString* str;
        int64_t i;
        double d;
    };
};

// A match recorded by ReplaceMany.
struct VLStringReplaceHit
{
    int pattern;
    int position;
};

class VLString
{
public:
    VLString() noexcept : m_pch(VLStringGlobals::Get().GetEmpty()->Chars()) {}
    VLString(const wchar_t* text);
    VLString(const wchar_t* text, int length);
    // With `byteOrder` a leading U+FEFF is skipped and a leading U+FFFE is
    // skipped with every following unit byte-swapped.
    VLString(const wchar_t* text, int length, bool byteOrder);
    explicit VLString(wchar_t ch, int repeat = 1);
    VLString(const std::wstring& text) : VLString(text.data(), static_cast<int>(text.size())) {}
    VLString(const VLString& other) noexcept : m_pch(other.m_pch)
    {
        VLStringData* d = GetData();
        int32_t refs = d->refs.load(std::memory_order_relaxed);
        if (refs == kVLStringEmptyRefs)
            return;
        if (refs > 0 && d->owner == &VLStringGlobals::Get())
            d->refs.fetch_add(1, std::memory_order_relaxed);
        else
            CopyFrom(other);
    }
    VLString(VLString&& other) noexcept : m_pch(other.m_pch)
    {
        other.m_pch = VLStringGlobals::Get().GetEmpty()->Chars();
    }
    ~VLString() { ReleaseData(GetData()); }

    VLString& operator=(const VLString& other) noexcept;
    VLString& operator=(VLString&& other) noexcept
    {
        std::swap(m_pch, other.m_pch);
        return *this;
    }
    VLString& operator=(const wchar_t* text);
    VLString& operator=(wchar_t ch);
    void Assign(const wchar_t* text, int length);
    void swap(VLString& other) noexcept { std::swap(m_pch, other.m_pch); }

    // --- encodings ---------------------------------------------------
    // System ANSI code page.
    static VLString FromAnsi(const char* text, int length = -1);
    // A new array the caller delete[]s; nullptr when conversion fails.
    char* ToAnsi() const;
    static VLString FromUtf8(const char* text, int length = -1);
    std::string ToUtf8() const;
    // Each byte becomes one code unit.
    static VLString FromLatin1(const char* text, int length = -1);
    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" from CoCreateGuid; empty on failure.
    static VLString NewGuid();

    // --- access ------------------------------------------------------
    int GetLength() const { return GetData()->length; }
    bool IsEmpty() const { return GetData()->length == 0; }
    const wchar_t* GetString() const { return m_pch; }
    operator const wchar_t*() const { return m_pch; }
    template <class I, class = std::enable_if_t<std::is_integral_v<I>>>
    wchar_t operator[](I index) const { return m_pch[index]; }
    // The unit at index, or 0 when out of range.
    wchar_t GetAt(int index) const
    {
        return index >= 0 && index < GetLength() ? m_pch[index] : 0;
    }
    wchar_t GetLast() const { return IsEmpty() ? 0 : m_pch[GetLength() - 1]; }
    void Empty();

    // Exclusive write access to at least minLength units plus the terminator.
    // Without `exact` the capacity grows geometrically. With `keep` the text
    // is preserved. The string may not be copied or changed otherwise until
    // ReleaseBuffer.
    wchar_t* GetBuffer(int minLength, bool exact = false, bool keep = true);
    wchar_t* GetBuffer() { return GetBuffer(GetLength()); }
    // Stores the length (-1: up to the first 0 unit, at most the capacity)
    // and the terminator, and ends exclusive access.
    void ReleaseBuffer(int newLength = -1);
    // Makes sure the buffer is not shared and holds at least `capacity` units.
    void Reserve(int capacity);

    // --- comparison --------------------------------------------------
    int Compare(const wchar_t* text) const;
    int CompareNoCase(const wchar_t* text) const;
    static int CompareNoCase(const wchar_t* a, const wchar_t* b);
    // Compares the last n units with the n-unit text; -1 when the string is
    // shorter or the text is empty.
    int CompareEnd(const wchar_t* text, bool caseSensitive = true) const;
    bool EndsWith(const wchar_t* text, bool caseSensitive = true) const
    {
        return CompareEnd(text, caseSensitive) == 0;
    }
    bool StartsWith(const wchar_t* text, bool caseSensitive = true) const;
    bool EqualsNoCase(const wchar_t* text) const { return CompareNoCase(text) == 0; }

    friend bool operator==(const VLString& a, const VLString& b)
    {
        return a.m_pch == b.m_pch || (a.GetLength() == b.GetLength() && a.Compare(b.m_pch) == 0);
    }
    friend bool operator==(const VLString& a, const wchar_t* b) { return a.Compare(b) == 0; }
    friend bool operator==(const wchar_t* a, const VLString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const VLString& a, const VLString& b) { return !(a == b); }
    friend bool operator!=(const VLString& a, const wchar_t* b) { return !(a == b); }
    friend bool operator!=(const wchar_t* a, const VLString& b) { return !(a == b); }
    friend bool operator<(const VLString& a, const VLString& b) { return a.Compare(b.m_pch) < 0; }

    // --- search (-1 when absent or start out of range) -----------------
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* text, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    // First CR or LF.
    int FindNewline() const;
    int FindOneOf(const wchar_t* set, int start = 0) const;
    // Last "\\" or "/" at or before start (-1: from the end).
    int ReverseFindPathSeparator(int start = -1) const;
    // Case-insensitive, through the text services. With returnEnd the index
    // just after the match is returned.
    int FindNoCase(const wchar_t* text, int start = 0, bool returnEnd = false) const;

    // --- editing -----------------------------------------------------
    VLString& Append(const wchar_t* text, int count);
    VLString& Append(const wchar_t* text);
    VLString& Append(const VLString& text) { return Append(text.m_pch, text.GetLength()); }
    VLString& Append(wchar_t ch) { return Append(&ch, 1); }
    // Appends up to four pieces with one allocation.
    VLString& AppendPieces(const wchar_t* a, const wchar_t* b, const wchar_t* c = nullptr,
                           const wchar_t* d = nullptr);
    VLString& operator+=(const VLString& text) { return Append(text); }
    VLString& operator+=(const wchar_t* text) { return Append(text); }
    VLString& operator+=(wchar_t ch) { return Append(ch); }
    friend VLString operator+(const VLString& a, const VLString& b);
    friend VLString operator+(const VLString& a, const wchar_t* b);
    friend VLString operator+(const wchar_t* a, const VLString& b);
    friend VLString operator+(const VLString& a, wchar_t b);
    friend VLString operator+(wchar_t a, const VLString& b);

    // Index 0..length inclusive; anything else does nothing (false).
    bool Insert(int index, wchar_t ch);
    bool Insert(int index, const wchar_t* text);
    // Index in range only; writing 0 cuts the string there.
    bool SetAt(int index, wchar_t ch);
    // Removes every occurrence; returns how many.
    int Remove(wchar_t ch);
    // Returns how many were replaced; copies only when something changes.
    int Replace(wchar_t from, wchar_t to);
    // Every occurrence of `pattern` (ReplaceMany with one pattern).
    int Replace(const wchar_t* pattern, const wchar_t* replacement, bool caseSensitive = true);
    // Deletes count units at index (clamped); returns the new length.
    int Delete(int index, int count = 1);
    void DeleteLeft(int count) { Delete(0, count); }
    void DeleteEnds(int left, int right);
    // Keeps only the text after index i (deletes units 0..i).
    void KeepAfter(int index) { Delete(0, index + 1); }

    VLString Left(int count) const;
    VLString Right(int count) const;
    VLString Mid(int start) const;
    VLString Mid(int start, int count) const;
    // The prefix up to the first unit in the set, or the whole string.
    VLString SpanExcluding(const wchar_t* set) const;

    VLString& TrimLeft();
    VLString& TrimRight();
    VLString& Trim();
    VLString& TrimLeft(const wchar_t* set);
    VLString& TrimRight(const wchar_t* set);
    VLString& Trim(const wchar_t* set);
    VLString& TrimLeadingSlashes() { return TrimLeft(L"/"); }
    VLString& TrimTrailingBackslashes() { return TrimRight(L"\\"); }

    // Cuts what follows the last "\\" (the backslash stays); false when
    // there is none.
    bool CutToFolder();
    VLString& MakeLower();
    VLString& MakeUpper();

    // Replaces non-overlapping matches of the patterns in one pass. The
    // earliest match wins, the earlier pattern among equal starts. A missing
    // replacement writes nothing; with keepMatch the matched text stays.
    // Each hit is wrapped in prefix and suffix when given. Returns the number
    // of hits; 0 without change when any pattern is empty or missing.
    int ReplaceMany(const wchar_t* const* patterns, const wchar_t* const* replacements, int count,
                    bool caseSensitive = true, bool keepMatch = false,
                    const wchar_t* prefix = nullptr, const wchar_t* suffix = nullptr);

    // "Copy" -> "Copy (1)", "Copy (1)" -> "Copy (2)", "Copy(9)" -> "Copy(10)".
    void IncrementNumberSuffix();

    // --- numbers -----------------------------------------------------
    // White space, one optional sign, decimal digits; magnitude saturates at
    // 2147483647.
    int ToInt() const;
    static int ToInt(const wchar_t* text);
    int64_t ToInt64() const;
    // Same prefix rules, hexadecimal digits.
    int64_t ToHex64() const;
    static int64_t ToHex64(const wchar_t* text);
    // Accepts "." and "," as decimal separator and an exponent; `end`
    // receives the index after the parsed text.
    double ToDouble(int* end = nullptr) const;
    static double ToDouble(const wchar_t* text, int* end = nullptr);
    static VLString FromInt(int64_t value);
    static VLString FromUInt(uint64_t value);
    // Decimal with groups of three ("," or "." as the opposite of the
    // decimal separator).
    static VLString FromIntGrouped(int64_t value);
    static VLString FromPointer(uintptr_t value);
    static VLString FromDouble(double value, int precision);

    // --- tokens: "(5:hello)" --------------------------------------------
    VLString& AppendToken(const wchar_t* text, int length = -1);
    VLString& AppendToken(const VLString& text) { return AppendToken(text.m_pch, text.GetLength()); }
    VLString& AppendTokenInt(int64_t value);
    // Reads the token at pos and moves pos past it. On failure `text` is
    // emptied, pos is unchanged and false returned.
    bool ReadToken(int& pos, VLString& text) const;
    bool ReadTokenInt(int& pos, int64_t& value) const;

    // --- formatting --------------------------------------------------
    // printf-like; see VLStringFormat.cpp for the conversions. Arguments:
    // integers of any width, bool, enums, double, const wchar_t*, VLString,
    // std::wstring, const char* (UTF-8) and pointers (as integers).
    template <class... A>
    static VLString Format(const wchar_t* format, const A&... args);
    template <class... A>
    VLString& AppendFormat(const wchar_t* format, const A&... args);
    static VLString FormatV(const wchar_t* format, const VLFormatArg* args, int count);
    VLString& AppendFormatV(const wchar_t* format, const VLFormatArg* args, int count);
    // "1023 bytes", "1.5 KB", "146 KB", "100 MB" ...
    static VLString FormatSize(int64_t bytes);

    // --- internals used by the containers and tests ---------------------
    VLStringData* GetData() const { return VLStringData::FromChars(m_pch); }
    // True when this string shares its buffer with `other`.
    bool SharesBufferWith(const VLString& other) const { return m_pch == other.m_pch; }

private:
    void CopyFrom(const VLString& other);
    static void ReleaseData(VLStringData* d)
    {
        int32_t refs = d->refs.load(std::memory_order_relaxed);
        if (refs == kVLStringEmptyRefs)
            return;
        if (refs == kVLStringLockedRefs || d->refs.fetch_sub(1, std::memory_order_acq_rel) <= 1)
            d->owner->Release(d);
    }
    void Attach(VLStringData* d)
    {
        VLStringData* old = GetData();
        m_pch = d->Chars();
        ReleaseData(old);
    }
    // Makes the buffer exclusive with room for `length` units (text kept),
    // growing geometrically; returns the chars.
    wchar_t* PrepareWrite(int length);
    void SetLength(int length);

    wchar_t* m_pch;
};

inline void swap(VLString& a, VLString& b) noexcept { a.swap(b); }

// Kind-tagged argument for Format.
template <class T>
inline VLFormatArg VLMakeFormatArg(const T& value)
{
    using D = std::decay_t<T>;
    VLFormatArg a;
    if constexpr (std::is_same_v<D, VLString>)
    {
        a.tag = VLFormatArg::String;
        a.str = &value;
    }
    else if constexpr (std::is_same_v<D, std::wstring>)
    {
        a.tag = VLFormatArg::Utf16;
        a.utf16 = value.c_str();
    }
    else if constexpr (std::is_same_v<D, std::string>)
    {
        a.tag = VLFormatArg::Utf8;
        a.utf8 = value.c_str();
    }
    else if constexpr (std::is_same_v<D, const wchar_t*> || std::is_same_v<D, wchar_t*>)
    {
        a.tag = VLFormatArg::Utf16;
        a.utf16 = value;
    }
    else if constexpr (std::is_same_v<D, const char*> || std::is_same_v<D, char*>)
    {
        a.tag = VLFormatArg::Utf8;
        a.utf8 = value;
    }
    else if constexpr (std::is_same_v<D, std::nullptr_t>)
    {
        a.tag = VLFormatArg::Utf16;
        a.utf16 = nullptr;
    }
    else if constexpr (std::is_floating_point_v<D>)
    {
        a.tag = VLFormatArg::Double;
        a.d = static_cast<double>(value);
    }
    else if constexpr (std::is_enum_v<D>)
    {
        a.tag = VLFormatArg::Int;
        a.i = static_cast<int64_t>(static_cast<std::underlying_type_t<D>>(value));
    }
    else if constexpr (std::is_integral_v<D>)
    {
        a.tag = VLFormatArg::Int;
        if constexpr (std::is_signed_v<D>)
            a.i = static_cast<int64_t>(value);
        else
            a.i = static_cast<int64_t>(static_cast<uint64_t>(value));
    }
    else if constexpr (std::is_pointer_v<D>)
    {
        a.tag = VLFormatArg::Int;
        a.i = static_cast<int64_t>(reinterpret_cast<uintptr_t>(value));
    }
    else
    {
        static_assert(std::is_same_v<D, void>, "VLString::Format: unsupported argument type");
    }
    return a;
}

template <class... A>
inline VLString VLString::Format(const wchar_t* format, const A&... args)
{
    if constexpr (sizeof...(A) == 0)
    {
        return FormatV(format, nullptr, 0);
    }
    else
    {
        const VLFormatArg list[] = {VLMakeFormatArg(args)...};
        return FormatV(format, list, static_cast<int>(sizeof...(A)));
    }
}

template <class... A>
inline VLString& VLString::AppendFormat(const wchar_t* format, const A&... args)
{
    if constexpr (sizeof...(A) == 0)
    {
        return AppendFormatV(format, nullptr, 0);
    }
    else
    {
        const VLFormatArg list[] = {VLMakeFormatArg(args)...};
        return AppendFormatV(format, list, static_cast<int>(sizeof...(A)));
    }
}

// 64-bit hash of text folded to lower case: h = c + h * 65599; 0 for empty.
uint64_t VLStringHash64(const wchar_t* text, int length = -1);
// 32-bit form of the same recurrence (the string map's hash).
uint32_t VLStringHash32(const wchar_t* text, int length = -1);

// A VLString is one pointer; moving its bytes moves the reference.
template <>
struct VLIsRelocatable<VLString> : std::true_type
{
};
