#pragma once
// The file loader's text reading: a whole file turned into UTF-16 text.

#include "VLString.h"

#include <cstddef>

// Text encodings recognised by VLDecodeTextBytes.
enum class VLTextEncoding {
    Utf16LE,  // byte-order mark FF FE, or "<" followed by a zero byte
    Utf16BE,  // byte-order mark FE FF, or a zero byte followed by "<"
    Utf8,     // byte-order mark EF BB BF, or bytes that are valid UTF-8
    Ansi,     // anything else: the system ANSI code page
};

// Works out the encoding of the bytes; bomLength receives the length of the
// byte-order mark (0 when there is none).
VLTextEncoding VLDetectTextEncoding(const unsigned char* bytes, size_t size, size_t& bomLength);

// Turns file bytes into text: UTF-16 little- or big-endian with a byte-order
// mark, UTF-8 with or without one, otherwise the ANSI code page. An odd
// trailing byte of UTF-16 text is dropped.
VLString VLDecodeTextBytes(const unsigned char* bytes, size_t size);

// Reads the whole file and decodes it. Returns false, leaving text unchanged,
// when the file cannot be opened or read.
[[nodiscard]] bool VLLoadTextFile(const wchar_t* path, VLString& text);
