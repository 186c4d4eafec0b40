#pragma once
// Generates the benchmark document: shaped like the installer's own XML
// (catalogue groups of small elements with one or two attributes and short
// text, nesting 2 to 6 deep, some comments and CDATA). Plain C++ so that the
// Windows benchmark and the native comparison program build the same text.

#include <cstdint>
#include <string>

// Appends UTF-16 code units (as char16_t) until the text holds at least
// targetUnits units; the same seed gives the same document.
inline std::u16string MakeBenchmarkDocument(size_t targetUnits, uint32_t seed)
{
    std::u16string out;
    out.reserve(targetUnits + 4096);
    uint32_t state = seed ? seed : 1;
    auto next = [&state](uint32_t range) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % range;
    };
    auto put = [&out](const char* text) {
        while (*text)
            out += static_cast<char16_t>(static_cast<unsigned char>(*text++));
    };
    auto num = [&out](uint32_t value) {
        char digits[16];
        int i = 0;
        do {
            digits[i++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value);
        while (i)
            out += static_cast<char16_t>(digits[--i]);
    };
    static const char* const kExtensions[] = {"mp3", "flac", "ogg", "wav", "m4a", "avi", "mkv", "mp4", "wma", "aac"};
    static const char* const kVerbs[] = {"open", "play", "enqueue", "edit", "burn"};

    put("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<QBFA version=\"1.0\">\r\n");
    uint32_t group = 0;
    while (out.size() < targetUnits) {
        ++group;
        put("  <Group Name=\"group");
        num(group);
        put("\" Id=\"");
        num(group * 7);
        put("\">\r\n");
        if (next(8) == 0) {
            put("    <!-- group ");
            num(group);
            put(" holds the usual types -->\r\n");
        }
        uint32_t types = 3 + next(6);
        for (uint32_t t = 0; t < types; ++t) {
            const char* ext = kExtensions[next(10)];
            put("    <Type Ext=\"");
            put(ext);
            put("\" Icon=\"");
            num(next(40));
            put("\">");
            put("Media file ");
            num(group * 10 + t);
            put("</Type>\r\n");
            if (next(4) == 0) {
                // Deeper: handler, command, argument list, argument.
                put("    <Handler Verb=\"");
                put(kVerbs[next(5)]);
                put("\">\r\n      <Command Path=\"%PROGRAM%\">\r\n        <Args>\r\n          <Arg Pos=\"1\">");
                if (next(3) == 0)
                    put("<![CDATA[\"%1\" /Add <queue>]]>");
                else
                    put("&quot;%1&quot;");
                put("</Arg>\r\n        </Args>\r\n      </Command>\r\n    </Handler>\r\n");
            }
        }
        put("    <Description/>\r\n  </Group>\r\n");
    }
    put("  <Last><Item Name=\"end\">final</Item></Last>\r\n</QBFA>\r\n");
    return out;
}
