#include "VLRegistryKey.h"

#include <utility>

VLRegistryKey::VLRegistryKey(VLRegistryKey&& other) noexcept
    : m_key(std::move(other.m_key)), m_viewBits(std::exchange(other.m_viewBits, 0))
{
}

VLRegistryKey& VLRegistryKey::operator=(VLRegistryKey&& other) noexcept
{
    if (this != &other) {
        m_key = std::move(other.m_key);
        m_viewBits = std::exchange(other.m_viewBits, 0);
    }
    return *this;
}

LONG VLRegistryKey::Open(HKEY root, const wchar_t* subKey, REGSAM access)
{
    HKEY key = nullptr;
    LONG result = ::RegOpenKeyExW(root, subKey, 0, access, &key);
    if (result != ERROR_SUCCESS)
        return result;
    m_key.Reset(key);
    m_viewBits = access & kViewMask;
    return ERROR_SUCCESS;
}

LONG VLRegistryKey::Open(const VLRegistryKey& parent, const wchar_t* subKey, REGSAM access)
{
    if (!parent.IsOpen())
        return ERROR_INVALID_DATA;
    if (!(access & kViewMask))
        access |= parent.m_viewBits;
    return Open(parent.GetHandle(), subKey, access);
}

LONG VLRegistryKey::Create(HKEY root, const wchar_t* subKey, bool create, REGSAM access)
{
    Close();
    HKEY key = nullptr;
    LONG result = create ? ::RegCreateKeyExW(root, subKey, 0, nullptr, 0, access, nullptr, &key, nullptr)
                         : ::RegOpenKeyExW(root, subKey, 0, access, &key);
    if (result == ERROR_SUCCESS) {
        m_key.Reset(key);
        m_viewBits = access & kViewMask;
    }
    return result;
}

LONG VLRegistryKey::Create(const VLRegistryKey& parent, const wchar_t* subKey, bool create, REGSAM access)
{
    if (!parent.IsOpen()) {
        Close();
        return ERROR_INVALID_DATA;
    }
    if (!(access & kViewMask))
        access |= parent.m_viewBits;
    return Create(parent.GetHandle(), subKey, create, access);
}

void VLRegistryKey::Close()
{
    m_key.Reset();
    m_viewBits = 0;
}

bool VLRegistryKey::QueryValue(const wchar_t* name, DWORD* type, DWORD* size) const
{
    if (!IsOpen())
        return false;
    DWORD t = 0, s = 0;
    if (::RegQueryValueExW(m_key.Get(), name, nullptr, &t, nullptr, &s) != ERROR_SUCCESS)
        return false;
    if (type)
        *type = t;
    if (size)
        *size = s;
    return true;
}

namespace {

// Reads a value of any type into bytes; retries when it grew in between.
bool ReadRaw(HKEY key, const wchar_t* name, DWORD& type, std::vector<BYTE>& data)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return false;
        data.assign(size + sizeof(wchar_t) * 2, 0);  // room for terminators the stored text may lack
        DWORD got = size;
        LONG result = ::RegQueryValueExW(key, name, nullptr, &type, data.data(), &got);
        if (result == ERROR_SUCCESS) {
            data.resize(got);
            return true;
        }
        if (result != ERROR_MORE_DATA)
            return false;
    }
    return false;
}

VLString TextFromBytes(const std::vector<BYTE>& data)
{
    size_t units = data.size() / sizeof(wchar_t);  // an odd last byte is dropped
    const wchar_t* text = reinterpret_cast<const wchar_t*>(data.data());
    size_t length = 0;
    while (length < units && text[length] != 0)
        ++length;
    return VLString(text, static_cast<int>(length));
}

}  // namespace

VLString VLRegistryKey::ReadString(const wchar_t* name, const wchar_t* defaultValue) const
{
    VLString result(defaultValue ? defaultValue : L"");
    if (!IsOpen())
        return result;
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!ReadRaw(m_key.Get(), name, type, data))
        return result;
    if (type == REG_SZ || type == REG_EXPAND_SZ)
        return TextFromBytes(data);
    if (type == REG_DWORD && data.size() >= sizeof(DWORD)) {
        DWORD value = *reinterpret_cast<const DWORD*>(data.data());
        return VLString::FromInt(static_cast<long long>(value));
    }
    return result;
}

int VLRegistryKey::ReadInt(const wchar_t* name) const
{
    if (!IsOpen())
        return 0;
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!ReadRaw(m_key.Get(), name, type, data))
        return 0;
    if (type == REG_DWORD && data.size() >= sizeof(DWORD))
        return static_cast<int>(*reinterpret_cast<const DWORD*>(data.data()));
    if (type == REG_SZ)
        return TextFromBytes(data).ToInt();
    return 0;
}

bool VLRegistryKey::HasStringValue(const wchar_t* name) const
{
    DWORD type = 0;
    return QueryValue(name, &type, nullptr) && type == REG_SZ;
}

LONG VLRegistryKey::ReadStringBuffer(const wchar_t* name, wchar_t* buffer, DWORD size, DWORD* length) const
{
    if (length)
        *length = 0;
    if (!IsOpen() || !buffer || size == 0)
        return ERROR_INVALID_DATA;
    DWORD type = 0;
    DWORD bytes = size * sizeof(wchar_t);
    LONG result = ::RegQueryValueExW(m_key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    if (result != ERROR_SUCCESS) {
        buffer[0] = 0;
        return result;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        buffer[0] = 0;
        return ERROR_INVALID_DATA;
    }
    DWORD units = bytes / sizeof(wchar_t);
    if (units >= size && buffer[size - 1] != 0) {
        // Stored without a terminator and filling the buffer: no room to end it.
        buffer[size - 1] = 0;
        return ERROR_MORE_DATA;
    }
    if (units < size)
        buffer[units] = 0;
    if (length)
        *length = static_cast<DWORD>(wcslen(buffer));
    return ERROR_SUCCESS;
}

bool VLRegistryKey::ReadDword(const wchar_t* name, DWORD& value) const
{
    DWORD type = 0, data = 0, size = sizeof(data);
    if (!IsOpen() || ::RegQueryValueExW(m_key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
                         ERROR_SUCCESS)
        return false;
    if (type != REG_DWORD || size != sizeof(data))
        return false;
    value = data;
    return true;
}

bool VLRegistryKey::ReadBinary(const wchar_t* name, std::vector<BYTE>& data) const
{
    DWORD type = 0;
    std::vector<BYTE> bytes;
    if (!IsOpen() || !ReadRaw(m_key.Get(), name, type, bytes) || type != REG_BINARY)
        return false;
    data = std::move(bytes);
    return true;
}

bool VLRegistryKey::ReadMultiString(const wchar_t* name, VLStringArray& values) const
{
    DWORD type = 0;
    std::vector<BYTE> bytes;
    if (!IsOpen() || !ReadRaw(m_key.Get(), name, type, bytes) || type != REG_MULTI_SZ)
        return false;
    values.RemoveAll();
    size_t units = bytes.size() / sizeof(wchar_t);
    const wchar_t* text = reinterpret_cast<const wchar_t*>(bytes.data());
    size_t start = 0;
    for (size_t i = 0; i < units; ++i) {
        if (text[i] != 0)
            continue;
        if (i == start)
            break;  // the empty entry ends the list
        values.Add(VLString(text + start, static_cast<int>(i - start)));
        start = i + 1;
    }
    if (start < units && text[start] != 0) {  // stored without its terminators
        size_t end = start;
        while (end < units && text[end] != 0)
            ++end;
        values.Add(VLString(text + start, static_cast<int>(end - start)));
    }
    return true;
}

LONG VLRegistryKey::WriteText(const wchar_t* name, const wchar_t* text, DWORD type)
{
    if (!IsOpen())
        return ERROR_NOT_FOUND;
    if (!text)
        return ERROR_INVALID_DATA;
    DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(m_key.Get(), name, 0, type, reinterpret_cast<const BYTE*>(text), bytes);
}

LONG VLRegistryKey::WriteString(const wchar_t* name, const wchar_t* text)
{
    return WriteText(name, text, REG_SZ);
}

LONG VLRegistryKey::WriteExpandString(const wchar_t* name, const wchar_t* text)
{
    return WriteText(name, text, REG_EXPAND_SZ);
}

LONG VLRegistryKey::WriteDword(const wchar_t* name, DWORD value)
{
    if (!IsOpen())
        return ERROR_NOT_FOUND;
    return ::RegSetValueExW(m_key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

LONG VLRegistryKey::WriteBinary(const wchar_t* name, const void* data, DWORD size)
{
    if (!IsOpen())
        return ERROR_NOT_FOUND;
    if (!data && size)
        return ERROR_INVALID_DATA;
    return ::RegSetValueExW(m_key.Get(), name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
}

LONG VLRegistryKey::WriteMultiString(const wchar_t* name, const VLStringArray& values)
{
    if (!IsOpen())
        return ERROR_NOT_FOUND;
    std::vector<wchar_t> block;
    for (int i = 0; i < values.GetCount(); ++i) {
        const VLString& value = values[i];
        if (value.IsEmpty())
            continue;  // an empty entry would end the list early
        block.insert(block.end(), value.GetString(), value.GetString() + value.GetLength());
        block.push_back(0);
    }
    block.push_back(0);
    if (block.size() == 1)
        block.push_back(0);
    return ::RegSetValueExW(m_key.Get(), name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(block.data()),
                            static_cast<DWORD>(block.size() * sizeof(wchar_t)));
}

LONG VLRegistryKey::DeleteValue(const wchar_t* name)
{
    if (!IsOpen())
        return ERROR_INVALID_DATA;
    return ::RegDeleteValueW(m_key.Get(), name);
}

LONG VLRegistryKey::DeleteTree(HKEY parent, const wchar_t* subKey, REGSAM view)
{
    {
        VLUniqueKey key;
        LONG result = ::RegOpenKeyExW(parent, subKey, 0, KEY_READ | KEY_WRITE | view, key.Put());
        if (result != ERROR_SUCCESS)
            return result;
        // Always take the first sub-key: each pass deletes it, so the next one
        // moves up to index 0. A sub-key that cannot be deleted ends the walk,
        // which would otherwise retry it forever.
        for (;;) {
            wchar_t name[257];
            DWORD length = 257;
            result = ::RegEnumKeyExW(key.Get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (result == ERROR_NO_MORE_ITEMS)
                break;
            if (result != ERROR_SUCCESS)
                return result;
            result = DeleteTree(key.Get(), name, view);
            if (result != ERROR_SUCCESS)
                return result;
        }
    }
    // RegDeleteKeyExW deletes in the given view; RegDeleteKeyW would always use
    // the caller's native view.
    return ::RegDeleteKeyExW(parent, subKey, view, 0);
}

LONG VLRegistryKey::DeleteKeyTree(const wchar_t* subKey)
{
    if (!IsOpen() || !subKey || !*subKey)
        return ERROR_INVALID_DATA;
    return DeleteTree(m_key.Get(), subKey, m_viewBits);
}

bool VLRegistryKey::EnumValueName(DWORD index, VLString& name) const
{
    if (!IsOpen())
        return false;
    wchar_t buffer[1024];
    DWORD length = 1024;
    if (::RegEnumValueW(m_key.Get(), index, buffer, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    name = VLString(buffer, static_cast<int>(length));
    return true;
}

bool VLRegistryKey::EnumKeyName(DWORD index, VLString& name) const
{
    if (!IsOpen())
        return false;
    wchar_t buffer[257];
    DWORD length = 257;
    if (::RegEnumKeyExW(m_key.Get(), index, buffer, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    name = VLString(buffer, static_cast<int>(length));
    return true;
}
