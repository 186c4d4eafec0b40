#include "ProductDocument.h"

#include "VLHandle.h"
#include "VLStringArray.h"

#include <vector>

namespace {

// Keys the product cannot do without.
const wchar_t* const kRequiredKeys[] = {
    L"Name0", L"Name1", L"Name2", L"Name3", L"Name5", L"Version", L"MainProgram", L"LauncherName", L"SettingsKey",
};

bool ReadFileBytes(const wchar_t* path, std::vector<char>& bytes)
{
    VLUniqueFile file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > 1024 * 1024)  // a small document
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() && (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size()))
        return false;
    return true;
}

VLString DecodeText(const std::vector<char>& bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    if (n >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        return VLString(reinterpret_cast<const wchar_t*>(b + 2), static_cast<int>((n - 2) / 2));
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return VLString::FromUtf8(bytes.data() + 3, static_cast<int>(n - 3));
    return VLString::FromUtf8(bytes.data(), static_cast<int>(n));
}

}  // namespace

bool CProductDocument::Load(const wchar_t* path, VLString& error)
{
    m_values.RemoveAll();
    std::vector<char> bytes;
    if (!ReadFileBytes(path, bytes)) {
        error = VLString::Format(L"The product document \"%s\" cannot be read (error %d).", path,
                                 static_cast<int>(::GetLastError()));
        return false;
    }
    return Parse(DecodeText(bytes), path, error);
}

bool CProductDocument::Parse(const VLString& text, const wchar_t* path, VLString& error)
{
    m_values.RemoveAll();
    VLString normalized = text;
    normalized.Replace(L'\r', L'\n');
    VLStringArray lines;
    lines.Split(normalized, L"\n", true);
    for (int i = 0; i < lines.GetCount(); ++i) {
        const VLString& line = lines[i];
        if (line.IsEmpty() || line[0] == L';' || line[0] == L'#')
            continue;
        int equals = line.Find(L'=');
        if (equals <= 0) {
            error = VLString::Format(L"The product document \"%s\" is damaged: \"%s\" is not a \"Key=Value\" line.",
                                     path, line);
            m_values.RemoveAll();
            return false;
        }
        VLString key = line.Left(equals);
        VLString value = line.Mid(equals + 1);
        key.Trim();
        value.Trim();
        m_values.SetAt(key, value);
    }
    for (const wchar_t* key : kRequiredKeys) {
        VLString value;
        if (!m_values.Lookup(key, value) || value.IsEmpty()) {
            error = VLString::Format(L"The product document \"%s\" has no value \"%s\".", path, key);
            m_values.RemoveAll();
            return false;
        }
    }
    return true;
}

bool CProductDocument::Has(const wchar_t* key) const
{
    VLString value;
    return m_values.Lookup(key, value);
}

VLString CProductDocument::Get(const wchar_t* key) const
{
    VLString value;
    m_values.Lookup(key, value);
    return value;
}
