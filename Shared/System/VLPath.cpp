#include "VLPath.h"

#include "VLFolders.h"
#include "VLStdText.h"

#include <windows.h>

#include <cwctype>
#include <vector>

namespace {

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix, size_t at = 0)
{
    size_t length = wcslen(prefix);
    return text.size() >= at + length && _wcsnicmp(text.c_str() + at, prefix, length) == 0;
}

bool ReplaceAll(std::wstring& text, const std::wstring& pattern, const std::wstring& replacement)
{
    bool changed = false;
    size_t at = 0;
    while ((at = text.find(pattern, at)) != std::wstring::npos) {
        text.replace(at, pattern.size(), replacement);
        at += replacement.size();
        changed = true;
    }
    return changed;
}

bool IsAsciiLetter(wchar_t ch)
{
    return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z');
}

int HexValue(wchar_t ch)
{
    if (ch >= L'0' && ch <= L'9')
        return ch - L'0';
    if (ch >= L'a' && ch <= L'f')
        return ch - L'a' + 10;
    if (ch >= L'A' && ch <= L'F')
        return ch - L'A' + 10;
    return -1;
}

// Decodes %XX escapes; escaped bytes are taken as UTF-8.
std::wstring DecodeUrlEscapes(const std::wstring& text)
{
    std::wstring result;
    std::string bytes;
    auto flush = [&]() {
        if (bytes.empty())
            return;
        int size = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        std::wstring decoded(size, L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), decoded.data(), size);
        result += decoded;
        bytes.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
            continue;
        }
        flush();
        result += text[i];
    }
    flush();
    return result;
}

}  // namespace

VLString VLPath::AddTrailingBackslash(const VLString& path)
{
    std::wstring text = VLToStd(path);
    if (text.empty() || text == L"\\\\")
        return path;
    size_t end = text.find_last_not_of(L'\\');
    text.erase(end == std::wstring::npos ? 0 : end + 1);
    text += L'\\';
    return VLFromStd(text);
}

VLString VLPath::RemoveTrailingBackslash(const VLString& path)
{
    std::wstring text = VLToStd(path);
    while (!text.empty() && text.back() == L'\\')
        text.pop_back();
    return VLFromStd(text);
}

VLString VLPath::NormalizeFolder(const VLString& path)
{
    if (path.IsEmpty())
        return path;
    VLString result = path;
    VLString systemPath = ToSystemPath(path);
    std::vector<wchar_t> buffer(kPathBufferSize);
    DWORD length = ::GetLongPathNameW(systemPath, buffer.data(), kPathBufferSize);
    if (length > 0 && length < static_cast<DWORD>(kPathBufferSize)) {
        std::wstring longName(buffer.data(), length);
        // Give back the prefix-free form when the prefix was only added for the call.
        if (!StartsWithNoCase(VLToStd(path), L"\\\\?\\")) {
            if (StartsWithNoCase(longName, L"\\\\?\\UNC\\"))
                longName = L"\\" + longName.substr(7);
            else if (StartsWithNoCase(longName, L"\\\\?\\"))
                longName = longName.substr(4);
        }
        if (longName != VLToStd(systemPath) && longName != VLToStd(path))
            result = VLFromStd(longName);
    }
    return AddTrailingBackslash(result);
}

VLString VLPath::CleanPath(const VLString& path)
{
    std::wstring text = VLToStd(path);
    // 1. Trim white space.
    size_t first = text.find_first_not_of(L" \t\r\n");
    if (first == std::wstring::npos)
        return VLString();
    text = text.substr(first, text.find_last_not_of(L" \t\r\n") - first + 1);

    // 2. Spaces and dots before, spaces after every separator.
    for (bool changed = true; changed;) {
        changed = false;
        changed |= ReplaceAll(text, L" \\", L"\\");
        changed |= ReplaceAll(text, L".\\", L"\\");
        changed |= ReplaceAll(text, L"\\ ", L"\\");
    }

    // 3. Doubled separators, except a leading "\\" of a network path.
    for (size_t at = text.find(L"\\\\", 1); at != std::wstring::npos; at = text.find(L"\\\\", at))
        text.erase(at, 1);

    // 4. Control characters and characters Windows does not allow in names.
    bool hadDriveColon = text.size() >= 2 && text[1] == L':';
    for (wchar_t& ch : text) {
        if (ch < 0x20)
            ch = L' ';
        else if (wcschr(L":/*?\"<>|", ch))
            ch = L'_';
    }

    // 5. The drive's colon and the separator after it.
    if (hadDriveColon) {
        text[1] = L':';
        if (text.size() == 2)
            text += L'\\';
        else if (text[2] != L'\\')
            text.insert(2, 1, L'\\');
    }

    // 6. Cap the length, taking the excess from the last name and keeping its extension.
    const size_t maxLength = 252;
    if (text.size() > maxLength) {
        size_t excess = text.size() - maxLength;
        size_t nameEnd = text.size();
        while (nameEnd > 0 && text[nameEnd - 1] == L'\\')
            --nameEnd;
        size_t nameStart = text.rfind(L'\\', nameEnd == 0 ? 0 : nameEnd - 1);
        nameStart = nameStart == std::wstring::npos ? 0 : nameStart + 1;
        size_t stemEnd = text.rfind(L'.', nameEnd == 0 ? 0 : nameEnd - 1);
        if (stemEnd == std::wstring::npos || stemEnd < nameStart)
            stemEnd = nameEnd;
        if (stemEnd - nameStart > excess)
            text.erase(stemEnd - excess, excess);
        else
            text.erase(maxLength);
    }
    return VLFromStd(text);
}

VLString VLPath::ToSystemPath(const VLString& path)
{
    std::wstring text = VLToStd(path);
    if (StartsWithNoCase(text, L"file://")) {
        text.erase(0, 7);
        if (StartsWithNoCase(text, L"localhost/"))
            text.erase(0, 9);  // keeps the "/" that starts the path
        // "file:///C:/x" leaves "/C:/x": the slash before a drive is not part of the path.
        if (text.size() >= 3 && text[0] == L'/' && IsAsciiLetter(text[1]) && text[2] == L':')
            text.erase(0, 1);
        for (wchar_t& ch : text)
            if (ch == L'/')
                ch = L'\\';
        text = DecodeUrlEscapes(text);
    } else if (text.find(L"://") == std::wstring::npos) {
        for (wchar_t& ch : text)
            if (ch == L'/')
                ch = L'\\';
    }
    if (StartsWithNoCase(text, L"(Install Drive):")) {
        std::wstring folder = VLToStd(VLFolders::GetInstalledProductFolder());
        std::wstring drive = folder.size() >= 2 && folder[1] == L':' ? folder.substr(0, 2) : L"C:";
        text = drive + text.substr(16);
    }
    return ApplyLongPathRule(VLFromStd(text));
}

VLString VLPath::ApplyLongPathRule(const VLString& path)
{
    if (path.GetLength() < kLongPathLength)
        return path;
    std::wstring text = VLToStd(path);
    if (StartsWithNoCase(text, L"\\\\?\\"))
        return path;
    // The prefix turns off Windows' own tidying, so the path must be full and clean first.
    DWORD size = ::GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
    if (size > 0) {
        std::wstring full(size, L'\0');
        DWORD length = ::GetFullPathNameW(text.c_str(), size, full.data(), nullptr);
        if (length > 0 && length < size) {
            full.resize(length);
            text = full;
        }
    }
    if (text.size() >= 2 && text[0] == L'\\' && text[1] == L'\\')
        return VLFromStd(L"\\\\?\\UNC\\" + text.substr(2));
    return VLFromStd(L"\\\\?\\" + text);
}

bool VLPath::IsValidAbsolutePath(const VLString& path)
{
    std::wstring text = VLToStd(path);
    if (text.size() >= 3 && IsAsciiLetter(text[0]) && text[1] == L':' && text[2] == L'\\')
        return true;
    return text.size() >= 3 && text[0] == L'\\' && text[1] == L'\\' && std::iswalnum(text[2]);
}

bool VLPath::IsLocalFile(const VLString& path)
{
    std::wstring text = VLToStd(path);
    if (text.empty() || text.find(L"://") != std::wstring::npos)
        return false;
    // A token "(<length>:<text>)".
    if (text[0] == L'(') {
        size_t i = 1;
        while (i < text.size() && text[i] >= L'0' && text[i] <= L'9')
            ++i;
        if (i > 1 && i < text.size() && text[i] == L':')
            return false;
    }
    if (text.compare(0, 15, L"<XMLPH version=") == 0)
        return false;
    for (const wchar_t* item : {L".tvlb", L".vltv", L".tvgd"})
        if (text.find(item) != std::wstring::npos)
            return false;
    return true;
}

VLString VLPath::GetFolder(const VLString& path)
{
    std::wstring text = VLToStd(path);
    size_t at = text.rfind(L'\\');
    return at == std::wstring::npos ? VLString() : VLFromStd(text.substr(0, at + 1));
}

VLString VLPath::GetFileName(const VLString& path)
{
    std::wstring text = VLToStd(path);
    size_t at = text.rfind(L'\\');
    return at == std::wstring::npos ? path : VLFromStd(text.substr(at + 1));
}
