// Measures VLString, VLStringArray and VLStringMap against std::wstring,
// std::vector and std::unordered_map on the same data in one run and prints
// the times and ratios. Run the release build under Wine (README,
// "Benchmarks").

#include "VLString.h"
#include "VLStringArray.h"
#include "VLStringMap.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <unordered_map>
#include <vector>

namespace
{
double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Best of several runs, in milliseconds.
template <class F>
double Measure(F&& body, int runs = 7)
{
    double best = 1e30;
    for (int r = 0; r < runs; ++r)
    {
        double start = Now();
        body();
        double elapsed = (Now() - start) * 1000.0;
        if (elapsed < best)
            best = elapsed;
    }
    return best;
}

// Keeps results alive so the work is not optimised away.
volatile size_t g_sink;

uint32_t g_seed = 12345;
uint32_t Random()
{
    g_seed = g_seed * 1103515245u + 12345u;
    return g_seed >> 8;
}

std::wstring RandomText(int length)
{
    std::wstring s;
    s.reserve(length);
    for (int i = 0; i < length; ++i)
        s += static_cast<wchar_t>(L'a' + Random() % 26);
    return s;
}

// The same fold and recurrence for both maps, so the containers are compared.
struct FoldedHash
{
    size_t operator()(const std::wstring& s) const { return VLStringMapHash(s.c_str()); }
};
struct FoldedEqual
{
    bool operator()(const std::wstring& a, const std::wstring& b) const
    {
        return a.size() == b.size() && VLStringEqualNoCase(a.c_str(), b.c_str());
    }
};

struct Result
{
    const char* name;
    double vl;
    double std;
    const char* target;
};

void Print(const Result& r)
{
    // Ratio: how many times faster VL is (std / VL).
    double ratio = r.std / r.vl;
    std::printf("%-34s %10.3f %10.3f %9.2fx   %s\n", r.name, r.vl, r.std, ratio, r.target);
}
}  // namespace

int main()
{
    VLStringRebuildCharacterTables();
    std::printf("%-34s %10s %10s %10s   %s\n", "operation (same data)", "VL ms", "std ms", "std/VL", "target");

    // --- copy: 100-unit strings copy-constructed and destroyed -----------
    const int kStrings = 20000;
    std::vector<std::wstring> stdTexts;
    std::vector<VLString> vlTexts;
    for (int i = 0; i < kStrings; ++i)
    {
        stdTexts.push_back(RandomText(100));
        vlTexts.emplace_back(stdTexts.back().c_str());
    }
    const int kCopyRounds = 20;
    double vlCopy = Measure([&] {
        for (int r = 0; r < kCopyRounds; ++r)
        {
            std::vector<VLString> copies(vlTexts);
            g_sink = g_sink + copies.size();
        }
    });
    double stdCopy = Measure([&] {
        for (int r = 0; r < kCopyRounds; ++r)
        {
            std::vector<std::wstring> copies(stdTexts);
            g_sink = g_sink + copies.size();
        }
    });
    Print({"copy 100-unit strings (400k)", vlCopy, stdCopy, ">= 5x"});

    // --- append: build 2000-unit texts from 10-unit pieces ----------------
    std::vector<std::wstring> stdPieces;
    std::vector<VLString> vlPieces;
    for (int i = 0; i < 200; ++i)
    {
        stdPieces.push_back(RandomText(10));
        vlPieces.emplace_back(stdPieces.back().c_str());
    }
    const int kAppendRounds = 2000;
    double vlAppend = Measure([&] {
        for (int r = 0; r < kAppendRounds; ++r)
        {
            VLString s;
            for (const VLString& p : vlPieces)
                s += p;
            g_sink = g_sink + s.GetLength();
        }
    });
    double stdAppend = Measure([&] {
        for (int r = 0; r < kAppendRounds; ++r)
        {
            std::wstring s;
            for (const std::wstring& p : stdPieces)
                s += p;
            g_sink = g_sink + s.size();
        }
    });
    Print({"append 10-unit pieces (400k)", vlAppend, stdAppend, "printed"});

    // --- Format: a status line with text, integers and a double -----------
    const int kFormats = 100000;
    const VLString vlName(L"Quenbox\\Plugins\\Visualiser.dll");
    const std::wstring stdName(L"Quenbox\\Plugins\\Visualiser.dll");
    double vlFormat = Measure([&] {
        for (int i = 0; i < kFormats; ++i)
        {
            VLString s = VLString::Format(L"Copying %s (%d of %d, %.1f%%)", vlName, i, kFormats, i * 0.001);
            g_sink = g_sink + s.GetLength();
        }
    });
    double stdFormat = Measure([&] {
        wchar_t buffer[512];
        for (int i = 0; i < kFormats; ++i)
        {
            int n = swprintf(buffer, 512, L"Copying %ls (%d of %d, %.1f%%)", stdName.c_str(), i, kFormats, i * 0.001);
            std::wstring s(buffer, n > 0 ? n : 0);
            g_sink = g_sink + s.size();
        }
    });
    Print({"Format status line (100k)", vlFormat, stdFormat, "printed"});

    // --- Split: a 1000-entry ";"-separated list ---------------------------
    std::wstring stdList;
    for (int i = 0; i < 1000; ++i)
    {
        if (i)
            stdList += L';';
        stdList += RandomText(5 + Random() % 20);
    }
    const VLString vlList(stdList.c_str());
    const int kSplitRounds = 200;
    double vlSplit = Measure([&] {
        for (int r = 0; r < kSplitRounds; ++r)
        {
            VLStringArray parts;
            parts.Split(vlList, L";");
            g_sink = g_sink + parts.GetCount();
        }
    });
    double stdSplit = Measure([&] {
        for (int r = 0; r < kSplitRounds; ++r)
        {
            std::vector<std::wstring> parts;
            size_t start = 0;
            for (;;)
            {
                size_t hit = stdList.find(L";", start);
                if (hit == std::wstring::npos)
                {
                    parts.push_back(stdList.substr(start));
                    break;
                }
                parts.push_back(stdList.substr(start, hit - start));
                start = hit + 1;
            }
            g_sink = g_sink + parts.size();
        }
    });
    Print({"Split 1000-entry list (200x)", vlSplit, stdSplit, "printed"});

    // --- map: case-insensitive keys ---------------------------------------
    const int kKeys = 50000;
    std::vector<std::wstring> stdKeys;
    std::vector<std::wstring> stdProbe;  // the same keys in other case
    std::vector<VLString> vlKeys;
    std::vector<VLString> vlProbe;
    for (int i = 0; i < kKeys; ++i)
    {
        wchar_t key[64];
        swprintf(key, 64, L"Software\\Velmora\\%ls\\Value%d", RandomText(6).c_str(), i);
        stdKeys.push_back(key);
        vlKeys.emplace_back(key);
        for (wchar_t* p = key; *p; ++p)
            *p = static_cast<wchar_t>(towupper(*p));
        stdProbe.push_back(key);
        vlProbe.emplace_back(key);
    }
    double vlInsert = Measure([&] {
        VLStringMap<int> m;
        for (int i = 0; i < kKeys; ++i)
            m.SetAt(vlKeys[i], i);
        g_sink = g_sink + m.GetCount();
    });
    double stdInsert = Measure([&] {
        std::unordered_map<std::wstring, int, FoldedHash, FoldedEqual> m;
        for (int i = 0; i < kKeys; ++i)
            m[stdKeys[i]] = i;
        g_sink = g_sink + m.size();
    });
    Print({"map insert 50k keys", vlInsert, stdInsert, "printed"});

    VLStringMap<int> vlMap;
    std::unordered_map<std::wstring, int, FoldedHash, FoldedEqual> stdMap;
    for (int i = 0; i < kKeys; ++i)
    {
        vlMap.SetAt(vlKeys[i], i);
        stdMap[stdKeys[i]] = i;
    }
    const int kLookupRounds = 10;
    double vlLookup = Measure([&] {
        size_t found = 0;
        for (int r = 0; r < kLookupRounds; ++r)
            for (const VLString& k : vlProbe)
            {
                int v;
                if (vlMap.Lookup(k, v))
                    found += v;
            }
        g_sink = g_sink + found;
    });
    double stdLookup = Measure([&] {
        size_t found = 0;
        for (int r = 0; r < kLookupRounds; ++r)
            for (const std::wstring& k : stdProbe)
            {
                auto it = stdMap.find(k);
                if (it != stdMap.end())
                    found += it->second;
            }
        g_sink = g_sink + found;
    });
    Print({"map lookup 500k (other case)", vlLookup, stdLookup, ">= 0.67x (VL within 1.5x)"});

    std::printf("\nVL copy is %.1fx faster than std::wstring (target 5x); map lookup takes %.2fx the time of "
                "std::unordered_map (target at most 1.5x).\n",
                stdCopy / vlCopy, vlLookup / stdLookup);
    return 0;
}
