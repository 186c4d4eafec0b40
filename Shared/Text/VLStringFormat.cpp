// Format, FormatSize and the number conversions of VLString.
//
// Format conversions: "%", an optional single space (leading zeros become
// spaces), optional width digits, optional "." and precision, an ignored
// size prefix (I64, l, ll) and one of:
//   %  a percent sign          c  one code unit (1..65535), else nothing
//   d i signed decimal         u  unsigned decimal
//   x X hexadecimal            p  upper-case hex, at least 8 digits
//   h  "0x" and what p gives   f  the double with the precision (6 if none)
//   s  text; the precision limits the units; a null pointer is "(null)"
// Any other character is written as itself. Integers take the width (or,
// without one, the precision) as their minimum number of digits. A missing
// integer argument is 0, a missing text nothing. An integer rendering is at
// most 31 units; a longer one is cut and ends in "?".

#include "VLString.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace
{
// Collects output on the stack and spills to the heap when it grows.
class Sink
{
public:
    Sink() : m_p(m_stack), m_length(0), m_capacity(kStack) {}
    ~Sink()
    {
        if (m_p != m_stack)
            delete[] m_p;
    }
    Sink(const Sink&) = delete;
    Sink& operator=(const Sink&) = delete;

    void Put(wchar_t c)
    {
        if (m_length == m_capacity)
            Grow(m_length + 1);
        m_p[m_length++] = c;
    }
    void Put(const wchar_t* text, int n)
    {
        if (n <= 0)
            return;
        if (m_length + n > m_capacity)
            Grow(m_length + n);
        std::memcpy(m_p + m_length, text, sizeof(wchar_t) * n);
        m_length += n;
    }
    void PutRepeat(wchar_t c, int n)
    {
        for (int i = 0; i < n; ++i)
            Put(c);
    }
    const wchar_t* Data() const { return m_p; }
    int Length() const { return m_length; }

private:
    static constexpr int kStack = 256;
    void Grow(int need)
    {
        int capacity = m_capacity * 2;
        while (capacity < need)
            capacity *= 2;
        wchar_t* p = new wchar_t[capacity];
        std::memcpy(p, m_p, sizeof(wchar_t) * m_length);
        if (m_p != m_stack)
            delete[] m_p;
        m_p = p;
        m_capacity = capacity;
    }

    wchar_t m_stack[kStack];
    wchar_t* m_p;
    int m_length;
    int m_capacity;
};

constexpr int kMaxIntRendering = 31;

// Writes digits of `magnitude` in `base` with at least minDigits digits,
// padded with '0' or, with the space flag, spaces before the sign.
void PutInteger(Sink& out, uint64_t magnitude, bool negative, int base, bool upper, int minDigits, bool spaceFlag,
                const wchar_t* prefix = nullptr)
{
    wchar_t digits[24];
    int n = 0;
    const char* table = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    do
    {
        digits[n++] = static_cast<wchar_t>(table[magnitude % base]);
        magnitude /= base;
    } while (magnitude);

    // Assemble into a bounded buffer: the rendering is cut at 31 units.
    wchar_t text[kMaxIntRendering + 1];
    int length = 0;
    bool cut = false;
    auto put = [&](wchar_t c) {
        if (length < kMaxIntRendering)
            text[length++] = c;
        else
            cut = true;
    };
    int pad = minDigits > n ? minDigits - n : 0;
    if (spaceFlag)
    {
        for (int i = 0; i < pad && !cut; ++i)
            put(L' ');
    }
    for (const wchar_t* p = prefix; p && *p; ++p)
        put(*p);
    if (negative)
        put(L'-');
    if (!spaceFlag)
    {
        for (int i = 0; i < pad && !cut; ++i)
            put(L'0');
    }
    for (int i = n - 1; i >= 0; --i)
        put(digits[i]);
    if (cut)
        text[kMaxIntRendering - 1] = L'?';
    out.Put(text, length);
}

void PutUtf8(Sink& out, const char* text, int limit)
{
    VLString s = VLString::FromUtf8(text);
    int n = s.GetLength();
    if (limit >= 0 && limit < n)
        n = limit;
    out.Put(s.GetString(), n);
}

void PutText(Sink& out, const wchar_t* text, int length, int limit)
{
    if (length < 0)
        length = static_cast<int>(wcslen(text));
    if (limit >= 0 && limit < length)
        length = limit;
    out.Put(text, length);
}

void PutDouble(Sink& out, double value, int precision)
{
    if (precision < 0)
        precision = 6;
    if (precision > 60)
        precision = 60;
    char small[64];
    int n = std::snprintf(small, sizeof(small), "%.*f", precision, value);
    if (n < 0)
        return;
    if (n < static_cast<int>(sizeof(small)))
    {
        for (int i = 0; i < n; ++i)
            out.Put(static_cast<wchar_t>(static_cast<unsigned char>(small[i])));
        return;
    }
    // Large magnitudes: "%.2f" of 1e300 has 300 digits.
    char* big = new char[n + 1];
    std::snprintf(big, n + 1, "%.*f", precision, value);
    for (int i = 0; i < n; ++i)
        out.Put(static_cast<wchar_t>(static_cast<unsigned char>(big[i])));
    delete[] big;
}

bool ArgAsInt(const VLFormatArg* arg, int64_t& value)
{
    value = 0;
    if (!arg)
        return false;
    if (arg->tag == VLFormatArg::Int)
    {
        value = arg->i;
        return true;
    }
    if (arg->tag == VLFormatArg::Double)
    {
        double d = arg->d;
        if (std::isnan(d))
            value = 0;
        else if (d >= 9.2233720368547758e18)
            value = INT64_MAX;
        else if (d <= -9.2233720368547758e18)
            value = INT64_MIN;
        else
            value = static_cast<int64_t>(d);
        return true;
    }
    return false;
}

double ArgAsDouble(const VLFormatArg* arg)
{
    if (!arg)
        return 0.0;
    if (arg->tag == VLFormatArg::Double)
        return arg->d;
    if (arg->tag == VLFormatArg::Int)
        return static_cast<double>(arg->i);
    return 0.0;
}

void FormatInto(Sink& out, const wchar_t* format, const VLFormatArg* args, int count)
{
    if (!format)
        return;
    int next = 0;
    const wchar_t* p = format;
    while (*p)
    {
        const wchar_t* start = p;
        while (*p && *p != L'%')
            ++p;
        out.Put(start, static_cast<int>(p - start));
        if (!*p)
            break;
        ++p;  // '%'
        if (!*p)
        {
            out.Put(L'%');
            break;
        }
        bool spaceFlag = false;
        if (*p == L' ')
        {
            spaceFlag = true;
            ++p;
        }
        int width = 0;
        bool hasWidth = false;
        while (*p >= L'0' && *p <= L'9')
        {
            hasWidth = true;
            if (width < 100000)
                width = width * 10 + (*p - L'0');
            ++p;
        }
        int precision = -1;
        if (*p == L'.')
        {
            ++p;
            precision = 0;
            while (*p >= L'0' && *p <= L'9')
            {
                if (precision < 100000000)
                    precision = precision * 10 + (*p - L'0');
                ++p;
            }
        }
        // Size prefixes are ignored: integers are always 64-bit.
        if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4')
            p += 3;
        while (*p == L'l')
            ++p;
        wchar_t conv = *p;
        if (!conv)
            break;
        ++p;
        int minDigits = hasWidth ? width : (precision > 0 ? precision : 0);

        auto takeArg = [&]() -> const VLFormatArg* { return next < count ? &args[next++] : nullptr; };

        switch (conv)
        {
        case L'%':
            out.Put(L'%');
            break;
        case L'c':
        {
            int64_t v;
            ArgAsInt(takeArg(), v);
            if (v >= 1 && v <= 65535)
                out.Put(static_cast<wchar_t>(v));
            break;
        }
        case L'd':
        case L'i':
        {
            int64_t v;
            ArgAsInt(takeArg(), v);
            uint64_t magnitude = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
            PutInteger(out, magnitude, v < 0, 10, false, minDigits, spaceFlag);
            break;
        }
        case L'u':
        {
            int64_t v;
            ArgAsInt(takeArg(), v);
            PutInteger(out, static_cast<uint64_t>(v), false, 10, false, minDigits, spaceFlag);
            break;
        }
        case L'x':
        case L'X':
        {
            int64_t v;
            ArgAsInt(takeArg(), v);
            uint64_t u = static_cast<uint64_t>(v);
            // A negative 32-bit value renders as 32 bits ("ffffffff" for -1).
            if ((u >> 32) == 0xFFFFFFFFu && width <= 8)
                u &= 0xFFFFFFFFu;
            PutInteger(out, u, false, 16, conv == L'X', minDigits, spaceFlag);
            break;
        }
        case L'p':
        case L'h':
        {
            int64_t v;
            ArgAsInt(takeArg(), v);
            PutInteger(out, static_cast<uint64_t>(v), false, 16, true, minDigits > 8 ? minDigits : 8, spaceFlag,
                       conv == L'h' ? L"0x" : nullptr);
            break;
        }
        case L'f':
            PutDouble(out, ArgAsDouble(takeArg()), precision);
            break;
        case L's':
        {
            const VLFormatArg* a = takeArg();
            if (!a)
                break;
            switch (a->tag)
            {
            case VLFormatArg::Utf16:
                if (a->utf16)
                    PutText(out, a->utf16, -1, precision);
                else
                    PutText(out, L"(null)", 6, precision);
                break;
            case VLFormatArg::Utf8:
                if (a->utf8)
                    PutUtf8(out, a->utf8, precision);
                else
                    PutText(out, L"(null)", 6, precision);
                break;
            case VLFormatArg::String:
                PutText(out, a->str->GetString(), a->str->GetLength(), precision);
                break;
            case VLFormatArg::Int:
                PutInteger(out, a->i < 0 ? 0 - static_cast<uint64_t>(a->i) : static_cast<uint64_t>(a->i), a->i < 0,
                           10, false, 0, false);
                break;
            case VLFormatArg::Double:
                PutDouble(out, a->d, -1);
                break;
            default:
                break;
            }
            break;
        }
        default:
            out.Put(conv);
            break;
        }
    }
}
}  // namespace

VLString VLString::FormatV(const wchar_t* format, const VLFormatArg* args, int count)
{
    Sink out;
    FormatInto(out, format, args, count);
    return VLString(out.Data(), out.Length());
}

VLString& VLString::AppendFormatV(const wchar_t* format, const VLFormatArg* args, int count)
{
    // Formatted into a separate sink first: an argument may be this string.
    Sink out;
    FormatInto(out, format, args, count);
    return Append(out.Data(), out.Length());
}

VLString VLString::FormatSize(int64_t bytes)
{
    bool negative = bytes < 0;
    uint64_t v = negative ? 0 - static_cast<uint64_t>(bytes) : static_cast<uint64_t>(bytes);
    const wchar_t* sign = negative ? L"-" : L"";
    if (v < 1024)
        return Format(L"%s%d bytes", sign, static_cast<int64_t>(v));
    static const wchar_t* const kUnits[] = {L"KB", L"MB", L"GB", L"TB", L"PB"};
    int unit = 0;
    double scaled = static_cast<double>(v) / 1024.0;
    while (unit < 4 && v >= (uint64_t(1) << (10 * (unit + 2))))
    {
        ++unit;
        scaled /= 1024.0;
    }
    return Format(scaled >= 100.0 ? L"%s%.0f %s" : L"%s%.1f %s", sign, scaled, kUnits[unit]);
}

// --- numbers ------------------------------------------------------------------

namespace
{
bool IsSpaceUnit(wchar_t c) { return VLStringGlobals::Get().IsClass(c, VLCC_SPACE); }
}  // namespace

int VLString::ToInt(const wchar_t* text)
{
    if (!text)
        return 0;
    while (IsSpaceUnit(*text))
        ++text;
    bool negative = false;
    if (*text == L'-' || *text == L'+')
    {
        negative = *text == L'-';
        ++text;
    }
    int64_t magnitude = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text)
    {
        magnitude = magnitude * 10 + (*text - L'0');
        if (magnitude > 2147483647)
            magnitude = 2147483647;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

int VLString::ToInt() const { return ToInt(m_pch); }

int64_t VLString::ToInt64() const
{
    const wchar_t* text = m_pch;
    while (IsSpaceUnit(*text))
        ++text;
    bool negative = false;
    if (*text == L'-' || *text == L'+')
    {
        negative = *text == L'-';
        ++text;
    }
    uint64_t magnitude = 0;
    const uint64_t limit = 9223372036854775807ull;
    for (; *text >= L'0' && *text <= L'9'; ++text)
    {
        unsigned digit = *text - L'0';
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    return negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
}

int64_t VLString::ToHex64(const wchar_t* text)
{
    if (!text)
        return 0;
    while (IsSpaceUnit(*text))
        ++text;
    bool negative = false;
    if (*text == L'-' || *text == L'+')
    {
        negative = *text == L'-';
        ++text;
    }
    uint64_t value = 0;
    for (;; ++text)
    {
        wchar_t c = *text;
        unsigned digit;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (c >= L'a' && c <= L'f')
            digit = c - L'a' + 10;
        else if (c >= L'A' && c <= L'F')
            digit = c - L'A' + 10;
        else
            break;
        value = (value << 4) | digit;
    }
    return static_cast<int64_t>(negative ? 0 - value : value);
}

int64_t VLString::ToHex64() const { return ToHex64(m_pch); }

namespace
{
// The exponent is parsed as a number of its own, which may carry an
// exponent again; the nesting is bounded so that a long run of "1e1e1e..."
// cannot exhaust the stack.
constexpr int kMaxExponentNesting = 4;

double ParseDouble(const wchar_t* text, int* end, int nesting);
}  // namespace

double VLString::ToDouble(const wchar_t* text, int* end) { return ParseDouble(text, end, 0); }

namespace
{
double ParseDouble(const wchar_t* text, int* end, int nesting)
{
    if (!text)
    {
        if (end)
            *end = 0;
        return 0.0;
    }
    const wchar_t* p = text;
    while (*p == L' ' || *p == L'+')
        ++p;
    bool negative = false;
    if (*p == L'-' || *p == 0x2012)
    {
        negative = true;
        ++p;
    }
    // Digits are gathered as an integer (up to 19 significant digits) and
    // scaled once, so "1.5" and "0.1" come out as the nearest doubles.
    uint64_t mantissa = 0;
    int significant = 0;
    int exponent10 = 0;
    bool separator = false;
    bool anyDigit = false;
    for (;; ++p)
    {
        wchar_t c = *p;
        if (c >= L'0' && c <= L'9')
        {
            anyDigit = true;
            if (significant < 19)
            {
                if (mantissa || c != L'0')
                    ++significant;
                mantissa = mantissa * 10 + (c - L'0');
                if (separator)
                    --exponent10;
            }
            else if (!separator)
            {
                ++exponent10;
            }
        }
        else if ((c == L'.' || c == L',') && !separator)
        {
            separator = true;
        }
        else
        {
            break;
        }
    }
    double value = static_cast<double>(mantissa);
    if (anyDigit && nesting < kMaxExponentNesting && (*p == L'E' || *p == L'e'))
    {
        int used = 0;
        double e = ParseDouble(p + 1, &used, nesting + 1);
        if (used > 0)
        {
            p += 1 + used;
            double total = e + exponent10;
            if (total == std::floor(total) && total > -400.0 && total < 400.0)
            {
                exponent10 = static_cast<int>(total);  // scaled exactly below
            }
            else
            {
                value *= std::pow(10.0, total);
                exponent10 = 0;
            }
        }
    }
    if (exponent10 > 0)
        value *= std::pow(10.0, exponent10);
    else if (exponent10 < 0 && exponent10 >= -22)
        value /= std::pow(10.0, -exponent10);
    else if (exponent10 < 0)
        value *= std::pow(10.0, exponent10);
    // Nothing parsed: the end stays at the start.
    if (end)
        *end = anyDigit ? static_cast<int>(p - text) : 0;
    return negative ? -value : value;
}
}  // namespace

double VLString::ToDouble(int* end) const { return ToDouble(m_pch, end); }

VLString VLString::FromInt(int64_t value) { return Format(L"%d", value); }

VLString VLString::FromUInt(uint64_t value) { return Format(L"%u", value); }

VLString VLString::FromIntGrouped(int64_t value)
{
    VLString digits = FromInt(value);
    wchar_t group = VLStringGlobals::Get().DecimalSeparator() == L'.' ? L',' : L'.';
    int first = value < 0 ? 1 : 0;
    for (int i = digits.GetLength() - 3; i > first; i -= 3)
        digits.Insert(i, group);
    return digits;
}

VLString VLString::FromPointer(uintptr_t value) { return Format(L"%p", static_cast<uint64_t>(value)); }

VLString VLString::FromDouble(double value, int precision)
{
    if (precision < 0)
        precision = 0;
    VLString format = Format(L"%%.%df", precision > 60 ? 60 : precision);
    return Format(format, value);
}

// --- tokens ---------------------------------------------------------------------

VLString& VLString::AppendToken(const wchar_t* text, int length)
{
    if (!text)
        length = 0;
    else if (length < 0)
        length = static_cast<int>(wcslen(text));
    AppendFormat(L"(%d:", length);
    Append(text, length);
    return Append(L')');
}

VLString& VLString::AppendTokenInt(int64_t value)
{
    VLString digits = FromInt(value);
    return AppendToken(digits);
}

bool VLString::ReadToken(int& pos, VLString& text) const
{
    text.Empty();
    int length = GetLength();
    if (pos < 0 || pos >= length || m_pch[pos] != L'(')
        return false;
    int i = pos + 1;
    int64_t n = 0;
    int digits = 0;
    while (i < length && m_pch[i] >= L'0' && m_pch[i] <= L'9')
    {
        n = n * 10 + (m_pch[i] - L'0');
        if (n > length)
            return false;
        ++i;
        ++digits;
    }
    if (!digits || i >= length || m_pch[i] != L':')
        return false;
    ++i;
    if (n > length - i - 1 || m_pch[i + n] != L')')
        return false;
    text.Assign(m_pch + i, static_cast<int>(n));
    pos = i + static_cast<int>(n) + 1;
    return true;
}

bool VLString::ReadTokenInt(int& pos, int64_t& value) const
{
    VLString text;
    int at = pos;
    if (!ReadToken(at, text))
        return false;
    if (text.IsEmpty())
        return false;
    value = text.ToInt64();
    pos = at;
    return true;
}
