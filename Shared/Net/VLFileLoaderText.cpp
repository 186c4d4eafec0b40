#include "VLFileLoaderText.h"

#include "VLHandle.h"

#include <windows.h>

#include <vector>

namespace {

// Strict UTF-8 check: MultiByteToWideChar refuses invalid sequences when
// asked to, which tells UTF-8 from ANSI text without a byte-order mark.
bool IsValidUtf8(const unsigned char* bytes, size_t size)
{
    if (size == 0)
        return true;
    if (size > 0x7FFFFFFF)
        return false;
    return ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes),
                                 static_cast<int>(size), nullptr, 0) > 0;
}

VLString Convert(UINT codePage, const unsigned char* bytes, size_t size)
{
    if (size == 0 || size > 0x7FFFFFFF)
        return VLString();
    const char* text = reinterpret_cast<const char*>(bytes);
    int length = ::MultiByteToWideChar(codePage, 0, text, static_cast<int>(size), nullptr, 0);
    if (length <= 0)
        return VLString();
    std::wstring out(static_cast<size_t>(length), L'\0');
    length = ::MultiByteToWideChar(codePage, 0, text, static_cast<int>(size), out.data(), length);
    return VLString(out.data(), length > 0 ? length : 0);
}

}  // namespace

VLTextEncoding VLDetectTextEncoding(const unsigned char* bytes, size_t size, size_t& bomLength)
{
    bomLength = 0;
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        bomLength = 2;
        return VLTextEncoding::Utf16LE;
    }
    if (size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        bomLength = 2;
        return VLTextEncoding::Utf16BE;
    }
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        bomLength = 3;
        return VLTextEncoding::Utf8;
    }
    // XML saved as UTF-16 without a mark still starts with "<".
    if (size >= 2 && bytes[0] == '<' && bytes[1] == 0)
        return VLTextEncoding::Utf16LE;
    if (size >= 2 && bytes[0] == 0 && bytes[1] == '<')
        return VLTextEncoding::Utf16BE;
    return IsValidUtf8(bytes, size) ? VLTextEncoding::Utf8 : VLTextEncoding::Ansi;
}

VLString VLDecodeTextBytes(const unsigned char* bytes, size_t size)
{
    size_t bom = 0;
    VLTextEncoding encoding = VLDetectTextEncoding(bytes, size, bom);
    bytes += bom;
    size -= bom;
    switch (encoding) {
    case VLTextEncoding::Utf16LE:
    case VLTextEncoding::Utf16BE: {
        size_t units = size / 2;
        if (units > 0x7FFFFFFF)
            return VLString();
        std::wstring out(units, L'\0');
        const bool big = encoding == VLTextEncoding::Utf16BE;
        for (size_t i = 0; i < units; ++i) {
            unsigned lo = bytes[2 * i + (big ? 1 : 0)];
            unsigned hi = bytes[2 * i + (big ? 0 : 1)];
            out[i] = static_cast<wchar_t>(lo | (hi << 8));
        }
        return VLString(out.data(), static_cast<int>(units));
    }
    case VLTextEncoding::Utf8:
        return Convert(CP_UTF8, bytes, size);
    case VLTextEncoding::Ansi:
    default:
        return Convert(CP_ACP, bytes, size);
    }
}

bool VLLoadTextFile(const wchar_t* path, VLString& text)
{
    if (!path || !*path)
        return false;
    VLUniqueFile file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 || size.QuadPart > 0x7FFFFFFF)
        return false;
    std::vector<unsigned char> bytes(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        DWORD want = static_cast<DWORD>(bytes.size() - done);
        if (!::ReadFile(file.Get(), bytes.data() + done, want, &read, nullptr))
            return false;
        if (read == 0)
            break;  // the file shrank while we read it
        done += read;
    }
    text = VLDecodeTextBytes(bytes.data(), done);
    return true;
}
