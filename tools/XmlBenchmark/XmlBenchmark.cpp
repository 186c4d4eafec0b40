// Parse throughput, index size and path query time of VLXmlDocument on
// generated 5 MB and 50 MB UTF-16 documents. With a folder argument it also
// writes the documents there (UTF-16 LE with a byte-order mark) so the
// native comparison program can parse the very same text.

#include "VLPropertyMap.h"
#include "VLXmlDocument.h"
#include "XmlBenchShape.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(frequency.QuadPart);
}

bool WriteDocument(const std::wstring& path, const std::u16string& text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const char16_t bom = 0xFEFF;
    DWORD written = 0;
    bool ok = WriteFile(file, &bom, 2, &written, nullptr) &&
              WriteFile(file, text.data(), DWORD(text.size() * 2), &written, nullptr);
    CloseHandle(file);
    return ok;
}

void Measure(const char* label, size_t megabytes, const wchar_t* folder)
{
    std::u16string generated = MakeBenchmarkDocument(megabytes * 1024 * 1024 / 2, 22);
    VLString text(reinterpret_cast<const wchar_t*>(generated.data()), int(generated.size()));
    const double mb = double(generated.size()) * 2 / (1024.0 * 1024.0);
    if (folder) {
        std::wstring path = std::wstring(folder) + L"\\bench-" + std::to_wstring(megabytes) + L"mb.xml";
        if (!WriteDocument(path, generated))
            std::fprintf(stderr, "cannot write %ls\n", path.c_str());
    }

    VLXmlDocument doc;
    const int runs = megabytes >= 50 ? 7 : 30;
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        double start = Now();
        doc.SetDoc(text);
        double elapsed = Now() - start;
        if (elapsed < best)
            best = elapsed;
    }
    if (!doc.IsWellFormed())
        std::printf("%s: NOT WELL-FORMED: %ls\n", label, doc.GetError().GetString());

    // "/*/A/B" queries: one near the start, one that must pass every group.
    const wchar_t* const queries[] = {L"/*/Group/Type", L"/*/Last/Item"};
    double queryTimes[2] = {1e9, 1e9};
    for (int q = 0; q < 2; ++q) {
        for (int i = 0; i < 20; ++i) {
            double start = Now();
            doc.ResetPos();
            bool found = doc.FindElem(queries[q]);
            double elapsed = Now() - start;
            if (!found)
                std::printf("%s: query %ls found nothing\n", label, queries[q]);
            if (elapsed < queryTimes[q])
                queryTimes[q] = elapsed;
        }
    }
    size_t elements = doc.GetElementCount();
    double perElement = elements ? double(doc.GetIndexBytes()) / double(elements) : 0;
    std::printf("vlxml %s: %.1f MB UTF-16, %zu elements, parse %.2f ms = %.0f MB/s, index %.1f bytes/element, "
                "query /*/Group/Type %.4f ms, /*/Last/Item %.4f ms\n",
                label, mb, elements, best * 1000, mb / best, perElement, queryTimes[0] * 1000,
                queryTimes[1] * 1000);
}

// The item list is written one element at a time through AddElem and
// SetAttrib; this shows that it stays linear in the number of entries.
void MeasurePropertyMap(int entries)
{
    VLPropertyMap map;
    for (int i = 0; i < entries; ++i)
        map.Set(VLString::Format(L"Setting %d", i), VLString::Format(L"value <%d> & more", i));
    double start = Now();
    VLString xml = map.ToXML(L"XMLPH", 1.0);
    double written = Now() - start;
    VLPropertyMap back;
    start = Now();
    bool ok = back.FromXML(xml, L"XMLPH", 1.0) && back.Equals(map);
    double read = Now() - start;
    std::printf("property map %d entries: ToXML %.1f ms, FromXML %.1f ms (%d units)%s\n", entries, written * 1000,
                read * 1000, xml.GetLength(), ok ? "" : " ROUND TRIP FAILED");
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const wchar_t* folder = argc > 1 ? argv[1] : nullptr;
    Measure("5MB", 5, folder);
    Measure("50MB", 50, folder);
    MeasurePropertyMap(1000);
    MeasurePropertyMap(10000);
    return 0;
}
