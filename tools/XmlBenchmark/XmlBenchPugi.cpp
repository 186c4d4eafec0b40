// Native comparison: pugixml parsing the benchmark documents written by
// XmlBenchmark.exe (UTF-16 LE with a byte-order mark), best of several runs.
// Built and run by scripts/xml-benchmark.sh; not part of the product.

#include <pugixml.hpp>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    for (int a = 1; a < argc; ++a) {
        std::ifstream in(argv[a], std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (bytes.size() < 2) {
            std::fprintf(stderr, "cannot read %s\n", argv[a]);
            return 1;
        }
        const double mb = double(bytes.size() - 2) / (1024.0 * 1024.0);
        const int runs = mb > 20 ? 7 : 30;
        double best = 1e9;
        size_t elements = 0;
        for (int i = 0; i < runs; ++i) {
            pugi::xml_document doc;
            auto start = std::chrono::steady_clock::now();
            pugi::xml_parse_result result =
                doc.load_buffer(bytes.data() + 2, bytes.size() - 2, pugi::parse_default, pugi::encoding_utf16_le);
            double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (!result) {
                std::fprintf(stderr, "%s: %s\n", argv[a], result.description());
                return 1;
            }
            if (elapsed < best)
                best = elapsed;
            if (i == 0) {
                struct Counter : pugi::xml_tree_walker {
                    size_t count = 0;
                    bool for_each(pugi::xml_node& node) override
                    {
                        if (node.type() == pugi::node_element)
                            ++count;
                        return true;
                    }
                } counter;
                doc.traverse(counter);
                elements = counter.count;
            }
        }
        std::printf("pugixml %s: %.1f MB UTF-16, %zu elements, parse %.2f ms = %.0f MB/s\n", argv[a], mb, elements,
                    best * 1000, mb / best);
    }
    return 0;
}
