#include "VLTextServices.h"

#include "VLString.h"

#include <atomic>

namespace
{
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Case-insensitive search by folding both texts with the lower-case
// table; comparison by code unit, without case, or with digit runs
// ordered by value.
class DefaultTextServices final : public IVLTextServices
{
public:
    int FindNoCase(const wchar_t* text, const wchar_t* pattern) override
    {
        if (!text || !pattern)
            return -1;
        if (!*pattern)
            return 0;
        const VLStringGlobals& g = VLStringGlobals::Get();
        wchar_t first = g.ToLower(*pattern);
        for (const wchar_t* t = text; *t; ++t)
        {
            if (g.ToLower(*t) != first)
                continue;
            const wchar_t* a = t + 1;
            const wchar_t* b = pattern + 1;
            while (*b && *a && (*a == *b || g.ToLower(*a) == g.ToLower(*b)))
            {
                ++a;
                ++b;
            }
            if (!*b)
                return static_cast<int>(t - text);
            if (!*a)
                return -1;
        }
        return -1;
    }

    int Compare(const wchar_t* a, const wchar_t* b, int mode) override
    {
        if (!a)
            a = L"";
        if (!b)
            b = L"";
        switch (mode)
        {
        case VLCompareOrdinal:
            return VLString(a).Compare(b);
        case VLCompareLogical:
            return CompareLogical(a, b);
        default:
            return VLString::CompareNoCase(a, b);
        }
    }

private:
    static int CompareLogical(const wchar_t* a, const wchar_t* b)
    {
        const VLStringGlobals& g = VLStringGlobals::Get();
        const wchar_t* pa = a;
        const wchar_t* pb = b;
        while (*pa && *pb)
        {
            if (IsDigit(*pa) && IsDigit(*pb))
            {
                // Compare the runs by value: skip leading zeros, then the
                // longer run is larger, then digit by digit.
                while (*pa == L'0' && IsDigit(pa[1]))
                    ++pa;
                while (*pb == L'0' && IsDigit(pb[1]))
                    ++pb;
                const wchar_t* ea = pa;
                const wchar_t* eb = pb;
                while (IsDigit(*ea))
                    ++ea;
                while (IsDigit(*eb))
                    ++eb;
                if (ea - pa != eb - pb)
                    return ea - pa < eb - pb ? -1 : 1;
                for (; pa < ea; ++pa, ++pb)
                    if (*pa != *pb)
                        return *pa < *pb ? -1 : 1;
                pb = eb;
                continue;
            }
            int ca = static_cast<uint16_t>(g.ToLower(*pa));
            int cb = static_cast<uint16_t>(g.ToLower(*pb));
            if (ca != cb)
                return ca < cb ? -1 : 1;
            ++pa;
            ++pb;
        }
        if (*pa || *pb)
            return *pa ? 1 : -1;
        // Equal as far as this ordering sees ("a01" and "a1", "A" and
        // "a"): fall back to code units for a stable total order.
        int c = VLString::CompareNoCase(a, b);
        if (c)
            return c < 0 ? -1 : 1;
        c = VLString(a).Compare(b);
        return c;
    }
};

DefaultTextServices& DefaultServices()
{
    static DefaultTextServices s_services;
    return s_services;
}
std::atomic<IVLTextServices*> g_services{nullptr};
}  // namespace

IVLTextServices* VLDefaultTextServices() { return &DefaultServices(); }

IVLTextServices* VLGetTextServices()
{
    IVLTextServices* s = g_services.load(std::memory_order_acquire);
    return s ? s : &DefaultServices();
}

IVLTextServices* VLSetTextServices(IVLTextServices* services)
{
    IVLTextServices* old = g_services.exchange(services, std::memory_order_acq_rel);
    return old ? old : &DefaultServices();
}
