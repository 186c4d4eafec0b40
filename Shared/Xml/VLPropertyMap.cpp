#include "VLPropertyMap.h"

#include "VLXmlDocument.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

const wchar_t* OrEmpty(const wchar_t* text)
{
    return text ? text : L"";
}

// Hexadecimal after optional white space and "0x"; stops at the first
// non-digit; 32 bits kept.
uint32_t ParseHex(const wchar_t* s)
{
    while (*s == L' ' || *s == L'\t')
        ++s;
    if (s[0] == L'0' && (s[1] == L'x' || s[1] == L'X'))
        s += 2;
    uint32_t value = 0;
    for (;; ++s) {
        wchar_t c = *s;
        uint32_t digit;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (c >= L'a' && c <= L'f')
            digit = c - L'a' + 10;
        else if (c >= L'A' && c <= L'F')
            digit = c - L'A' + 10;
        else
            break;
        value = (value << 4) | digit;
    }
    return value;
}

}  // namespace

VLPropertyMap::~VLPropertyMap()
{
    delete m_map;
}

VLString VLPropertyMap::RenderDouble(double value)
{
    char buffer[512];
    int length = std::snprintf(buffer, sizeof(buffer), "%.16f", value);
    if (length <= 0 || length >= int(sizeof(buffer)))
        return VLString(L"0");
    // As many decimals as the fraction needs: drop trailing zeros and a
    // bare decimal point.
    if (std::strchr(buffer, '.')) {
        while (length > 0 && buffer[length - 1] == '0')
            --length;
        if (length > 0 && buffer[length - 1] == '.')
            --length;
    }
    buffer[length] = 0;
    if (std::strcmp(buffer, "-0") == 0)
        return VLString(L"0");
    std::wstring wide(buffer, buffer + length);
    return VLString(wide.data(), static_cast<int>(wide.size()));
}

VLString VLPropertyMap::RenderHex(uint32_t value)
{
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"%08X", static_cast<unsigned>(value));
    return VLString(buffer);
}

VLString VLPropertyMap::Get(const wchar_t* key, const wchar_t* defaultValue) const
{
    if (m_map) {
        if (const VLString* value = m_map->Find(OrEmpty(key)))
            return *value;
    }
    return VLString(OrEmpty(defaultValue));
}

int VLPropertyMap::GetInt(const wchar_t* key, int defaultValue) const
{
    return Get(key, VLString::FromInt(defaultValue)).ToInt();
}

double VLPropertyMap::GetDouble(const wchar_t* key, double defaultValue) const
{
    return Get(key, RenderDouble(defaultValue)).ToDouble();
}

uint32_t VLPropertyMap::GetHex(const wchar_t* key, uint32_t defaultValue) const
{
    return ParseHex(Get(key, RenderHex(defaultValue)).GetString());
}

void VLPropertyMap::Set(const wchar_t* key, const wchar_t* value, bool removeIfEmpty)
{
    if (removeIfEmpty && (!value || !*value)) {
        Remove(key);
        return;
    }
    if (!m_map)
        m_map = new VLStringMap<VLString>();
    m_map->SetAt(VLString(OrEmpty(key)), VLString(OrEmpty(value)));
}

void VLPropertyMap::SetInt(const wchar_t* key, int64_t value)
{
    Set(key, VLString::FromInt(value));
}

void VLPropertyMap::SetHex(const wchar_t* key, uint32_t value)
{
    Set(key, RenderHex(value));
}

void VLPropertyMap::SetDouble(const wchar_t* key, double value)
{
    Set(key, RenderDouble(value));
}

void VLPropertyMap::Clear()
{
    delete m_map;
    m_map = nullptr;
}

void VLPropertyMap::Remove(const wchar_t* key)
{
    if (!m_map)
        return;
    m_map->RemoveKey(OrEmpty(key));
    if (m_map->GetCount() == 0)
        Clear();
}

bool VLPropertyMap::CopyFrom(const VLPropertyMap& other)
{
    if (&other == this)
        return true;
    Clear();
    other.ForEach([this](const VLString& key, const VLString& value) { Set(key, value); });
    return true;
}

bool VLPropertyMap::Equals(const VLPropertyMap& other) const
{
    if (&other == this)
        return true;
    if (GetCount() != other.GetCount())
        return false;
    bool same = true;
    ForEach([&](const VLString& key, const VLString& value) {
        if (same && !(other.Get(key) == value))
            same = false;
    });
    return same;
}

bool VLPropertyMap::Has(const wchar_t* key) const
{
    return m_map && m_map->Contains(OrEmpty(key));
}

void VLPropertyMap::ToTokens(VLString& out, bool includeEntries) const
{
    out.AppendTokenInt(includeEntries ? GetCount() : 0);
    if (!includeEntries)
        return;
    ForEach([&out](const VLString& key, const VLString& value) {
        out.AppendToken(key);
        out.AppendToken(value);
    });
}

bool VLPropertyMap::FromTokens(const VLString& text, int& pos)
{
    Clear();
    VLString count;
    if (!text.ReadToken(pos, count))
        return false;
    int entries = count.ToInt();
    for (int i = 0; i < entries; ++i) {
        VLString key, value;
        bool keyRead = text.ReadToken(pos, key);
        bool valueRead = keyRead && text.ReadToken(pos, value);
        Set(key, value);
        // A token that cannot be read leaves pos where it was; every further
        // pair would fail the same way, so the read ends here.
        if (!valueRead)
            return false;
    }
    return true;
}

bool VLPropertyMap::FromTokens(const VLString& text)
{
    int pos = 0;
    return FromTokens(text, pos);
}

VLString VLPropertyMap::ToXML(const wchar_t* root, double version, bool emptyWhenNoEntries) const
{
    if (emptyWhenNoEntries && GetCount() == 0)
        return VLString();
    VLXmlDocument doc;
    WriteItems(doc);
    char number[64];
    std::snprintf(number, sizeof(number), "%.1f", version);
    VLString out(L"<");
    out += OrEmpty(root);
    out += L" version=\"";
    for (const char* c = number; *c; ++c)
        out += static_cast<wchar_t>(*c);
    out += L"\">\r\n";
    out += doc.GetDoc();
    out += L"</";
    out += OrEmpty(root);
    out += L">";
    return out;
}

bool VLPropertyMap::FromXML(const VLString& text, const wchar_t* root, double version)
{
    Clear();
    if (text.IsEmpty())
        return true;
    VLXmlDocument doc(text);
    if (!doc.FindElem(OrEmpty(root)))
        return false;
    if (doc.GetAttrib(L"version").ToDouble() != version)
        return false;
    doc.IntoElem();
    ReadItems(doc);
    doc.OutOfElem();
    return true;
}

void VLPropertyMap::WriteItems(VLXmlDocument& doc) const
{
    ForEach([&doc](const VLString& key, const VLString& value) {
        doc.AddElem(L"Item", value);
        doc.SetAttrib(L"Name", key);
    });
}

void VLPropertyMap::ReadItems(VLXmlDocument& doc)
{
    Clear();
    while (doc.FindElem(L"Item"))
        Set(doc.GetAttrib(L"Name"), doc.GetData());
}

void VLPropertyMap::Dump(VLString& out, const wchar_t* prefix, const wchar_t* suffix) const
{
    ForEach([&](const VLString& key, const VLString& value) {
        out += OrEmpty(prefix);
        out += key;
        out += L": ";
        out += value;
        out += OrEmpty(suffix);
    });
}
