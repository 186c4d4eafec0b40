#include "ZipArchive.h"

#include "VLHandle.h"
#include "VLStringArray.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kLocalHeaderSig = 0x04034b50;
constexpr uint32_t kCentralHeaderSig = 0x02014b50;
constexpr uint32_t kEndOfCentralSig = 0x06054b50;

uint16_t U16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

struct Entry {
    VLString relative;  // checked path below the target folder
    bool isFolder = false;
    uint16_t method = 0;
    uint32_t crc = 0;
    uint64_t packedSize = 0;
    uint64_t size = 0;
    uint64_t dataOffset = 0;
};

// Read-only mapping of the whole archive.
class MappedFile {
public:
    bool Open(const wchar_t* path)
    {
        m_file.Reset(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
        if (!m_file)
            return false;
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(m_file.Get(), &size))
            return false;
        m_size = static_cast<uint64_t>(size.QuadPart);
        if (m_size == 0)
            return true;
        m_mapping.Reset(::CreateFileMappingW(m_file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (!m_mapping)
            return false;
        m_view.Reset(::MapViewOfFile(m_mapping.Get(), FILE_MAP_READ, 0, 0, 0));
        return m_view.IsValid();
    }
    const unsigned char* Data() const { return static_cast<const unsigned char*>(m_view.Get()); }
    uint64_t Size() const { return m_size; }

private:
    VLUniqueFile m_file;
    VLUniqueHandleObj m_mapping;
    VLUniqueView m_view;
    uint64_t m_size = 0;
};

bool CreateFolderTree(const VLString& folder)
{
    // folder ends with a backslash; create each missing level in turn. For a
    // network path the server and share levels are never created.
    const bool unc = folder.GetLength() > 2 && folder[0] == L'\\' && folder[1] == L'\\';
    int separators = 0;
    for (int i = 0; i < folder.GetLength(); ++i) {
        if (folder[i] != L'\\')
            continue;
        ++separators;
        if ((unc && separators <= 4) || i < 3)
            continue;
        VLString part = folder.Left(i);
        DWORD attributes = ::GetFileAttributesW(part);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (!::CreateDirectoryW(part, nullptr)) {
            attributes = ::GetFileAttributesW(part);  // made meanwhile by someone else?
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                return false;
        }
    }
    return true;
}

bool WriteAll(HANDLE file, const unsigned char* data, size_t length)
{
    while (length > 0) {
        DWORD chunk = length > (1u << 30) ? (1u << 30) : static_cast<DWORD>(length);
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr) || written != chunk)
            return false;
        data += chunk;
        length -= chunk;
    }
    return true;
}

bool ExtractEntry(const unsigned char* data, const Entry& entry, const wchar_t* target, VLString& error)
{
    VLUniqueFile out(::CreateFileW(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) {
        error = VLString::Format(L"Cannot create \"%s\" (error %d).", target, static_cast<int>(::GetLastError()));
        return false;
    }
    const unsigned char* packed = data + entry.dataOffset;
    uLong crc = crc32(0L, Z_NULL, 0);
    uint64_t produced = 0;
    if (entry.method == 0) {
        if (entry.packedSize != entry.size) {
            error = L"A stored entry's sizes disagree.";
            return false;
        }
        crc = crc32_z(crc, packed, static_cast<size_t>(entry.size));
        produced = entry.size;
        if (!WriteAll(out.Get(), packed, static_cast<size_t>(entry.size))) {
            error = VLString::Format(L"Cannot write \"%s\".", target);
            return false;
        }
    } else {
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
            error = L"Cannot start decompression.";
            return false;
        }
        std::vector<unsigned char> buffer(256 * 1024);
        uint64_t remaining = entry.packedSize;
        const unsigned char* next = packed;
        int rc = Z_OK;
        while (rc != Z_STREAM_END) {
            if (stream.avail_in == 0 && remaining > 0) {
                uInt chunk = remaining > (1u << 30) ? (1u << 30) : static_cast<uInt>(remaining);
                stream.next_in = const_cast<Bytef*>(next);
                stream.avail_in = chunk;
                next += chunk;
                remaining -= chunk;
            }
            stream.next_out = buffer.data();
            stream.avail_out = static_cast<uInt>(buffer.size());
            rc = inflate(&stream, Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END) {
                inflateEnd(&stream);
                error = VLString::Format(L"The archive's data for \"%s\" is damaged.", entry.relative);
                return false;
            }
            size_t have = buffer.size() - stream.avail_out;
            produced += have;
            if (produced > entry.size) {  // never write more than the entry announces
                inflateEnd(&stream);
                error = VLString::Format(L"The archive's data for \"%s\" is damaged.", entry.relative);
                return false;
            }
            crc = crc32_z(crc, buffer.data(), have);
            if (!WriteAll(out.Get(), buffer.data(), have)) {
                inflateEnd(&stream);
                error = VLString::Format(L"Cannot write \"%s\".", target);
                return false;
            }
            if (rc == Z_OK && have == 0 && stream.avail_in == 0 && remaining == 0) {
                inflateEnd(&stream);
                error = VLString::Format(L"The archive's data for \"%s\" is cut short.", entry.relative);
                return false;
            }
        }
        inflateEnd(&stream);
    }
    if (produced != entry.size || crc != entry.crc) {
        error = VLString::Format(L"The archive's data for \"%s\" fails its check.", entry.relative);
        return false;
    }
    return true;
}

}  // namespace

bool CZipArchive::SafeRelativePath(const VLString& entryName, VLString& relative)
{
    relative.Empty();
    VLString name = entryName;
    name.Replace(L'/', L'\\');
    if (name.IsEmpty() || name[0] == L'\\' || name.Find(L':') >= 0)
        return false;
    VLStringArray segments;
    segments.Split(name, L"\\", false);
    VLString result;
    for (int i = 0; i < segments.GetCount(); ++i) {
        const VLString& segment = segments[i];
        if (segment.IsEmpty()) {
            if (i == segments.GetCount() - 1)
                continue;  // trailing separator of a folder entry
            return false;
        }
        bool onlyDotsAndSpaces = true;
        for (int c = 0; c < segment.GetLength(); ++c) {
            const wchar_t ch = segment[c];
            if (ch < 32 || std::wcschr(L"<>\"|?*", ch) != nullptr)
                return false;
            if (ch != L'.' && ch != L' ')
                onlyDotsAndSpaces = false;
        }
        if (onlyDotsAndSpaces) {
            if (segment == L".")
                continue;
            return false;  // "..", and names Windows would trim down to ".."
        }
        if (!result.IsEmpty())
            result += L'\\';
        result += segment;
    }
    if (result.IsEmpty())
        return false;
    relative = result;
    return true;
}

bool CZipArchive::Extract(const wchar_t* archive, const wchar_t* folder, bool keepFolders, VLString& error)
{
    MappedFile file;
    if (!file.Open(archive)) {
        error = VLString::Format(L"Cannot open the archive \"%s\" (error %d).", archive,
                                 static_cast<int>(::GetLastError()));
        return false;
    }
    const unsigned char* data = file.Data();
    const uint64_t size = file.Size();
    // The end record sits in the last 22 bytes plus a comment of up to 65535.
    if (size < 22) {
        error = L"The archive is damaged: it has no directory.";
        return false;
    }
    int64_t end = -1;
    const uint64_t lowest = size > 22 + 65535 ? size - 22 - 65535 : 0;
    for (uint64_t pos = size - 22 + 1; pos-- > lowest;) {
        if (U32(data + pos) == kEndOfCentralSig) {
            end = static_cast<int64_t>(pos);
            break;
        }
    }
    if (end < 0) {
        error = L"The archive is damaged: it has no directory.";
        return false;
    }
    const unsigned char* eocd = data + end;
    const uint32_t count = U16(eocd + 10);
    const uint64_t directorySize = U32(eocd + 12);
    const uint64_t directoryOffset = U32(eocd + 16);
    if (directoryOffset + directorySize > static_cast<uint64_t>(end)) {
        error = L"The archive is damaged: its directory lies outside the file.";
        return false;
    }

    VLString base = folder;
    if (base.IsEmpty()) {
        error = L"No target folder.";
        return false;
    }
    if (base[base.GetLength() - 1] != L'\\')
        base += L'\\';

    std::vector<Entry> entries;
    uint64_t pos = directoryOffset;
    for (uint32_t i = 0; i < count; ++i) {
        if (pos + 46 > directoryOffset + directorySize || U32(data + pos) != kCentralHeaderSig) {
            error = L"The archive is damaged: a directory entry is broken.";
            return false;
        }
        const unsigned char* h = data + pos;
        const uint16_t flags = U16(h + 8);
        Entry entry;
        entry.method = U16(h + 10);
        entry.crc = U32(h + 16);
        entry.packedSize = U32(h + 20);
        entry.size = U32(h + 24);
        const uint16_t nameLength = U16(h + 28), extraLength = U16(h + 30), commentLength = U16(h + 32);
        const uint64_t localOffset = U32(h + 42);
        if (pos + 46 + nameLength > directoryOffset + directorySize) {
            error = L"The archive is damaged: a directory entry is broken.";
            return false;
        }
        const char* rawName = reinterpret_cast<const char*>(h + 46);
        // Bit 11: UTF-8 names; otherwise the old DOS code page.
        VLString name;
        if (flags & 0x0800) {
            name = VLString::FromUtf8(rawName, nameLength);
        } else {
            int units = ::MultiByteToWideChar(437, 0, rawName, nameLength, nullptr, 0);
            wchar_t* buffer = name.GetBuffer(units, true, false);
            ::MultiByteToWideChar(437, 0, rawName, nameLength, buffer, units);
            name.ReleaseBuffer(units);
        }
        if (static_cast<int>(std::wcslen(name)) != name.GetLength()) {
            error = L"The archive holds an entry with a damaged name.";
            return false;
        }
        if (!SafeRelativePath(name, entry.relative)) {
            error = VLString::Format(L"The archive holds an entry outside its folder: \"%s\".", name);
            return false;
        }
        entry.isFolder = name.GetLast() == L'/' || name.GetLast() == L'\\';
        if (!entry.isFolder) {
            if (flags & 0x0001) {
                error = VLString::Format(L"The archive's entry \"%s\" is encrypted.", name);
                return false;
            }
            if (entry.method != 0 && entry.method != 8) {
                error = VLString::Format(L"The archive's entry \"%s\" uses an unknown compression.", name);
                return false;
            }
            if (entry.packedSize == 0xFFFFFFFFu || entry.size == 0xFFFFFFFFu || localOffset == 0xFFFFFFFFu) {
                error = VLString::Format(L"The archive's entry \"%s\" is too large.", name);
                return false;
            }
            if (localOffset + 30 > size || U32(data + localOffset) != kLocalHeaderSig) {
                error = VLString::Format(L"The archive's entry \"%s\" is damaged.", name);
                return false;
            }
            const unsigned char* local = data + localOffset;
            entry.dataOffset = localOffset + 30 + U16(local + 26) + U16(local + 28);
            if (entry.dataOffset + entry.packedSize > size) {
                error = VLString::Format(L"The archive's entry \"%s\" is cut short.", name);
                return false;
            }
        }
        entries.push_back(entry);
        pos += 46 + nameLength + extraLength + commentLength;
    }

    if (!CreateFolderTree(base)) {
        error = VLString::Format(L"Cannot create the folder \"%s\".", base);
        return false;
    }
    for (const Entry& entry : entries) {
        VLString relative = entry.relative;
        if (!keepFolders) {
            if (entry.isFolder)
                continue;
            int slash = relative.ReverseFind(L'\\');
            if (slash >= 0)
                relative = relative.Mid(slash + 1);
        }
        VLString target = base + relative;
        if (entry.isFolder) {
            if (!CreateFolderTree(target + L"\\")) {
                error = VLString::Format(L"Cannot create the folder \"%s\".", target);
                return false;
            }
            continue;
        }
        int slash = target.ReverseFind(L'\\');
        if (!CreateFolderTree(target.Left(slash + 1))) {
            error = VLString::Format(L"Cannot create the folder \"%s\".", target.Left(slash + 1));
            return false;
        }
        if (!ExtractEntry(data, entry, target, error))
            return false;
    }
    return true;
}
