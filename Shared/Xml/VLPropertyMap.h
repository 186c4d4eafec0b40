#pragma once
// A flat bag of named values: case-insensitive keys, text values, typed
// accessors that store numbers as text, and three persistent forms (tokens,
// XML with a root element and a version, and a listing for logs). An empty
// map owns no heap memory.

#include "VLString.h"
#include "VLStringMap.h"

#include <cstdint>

class VLXmlDocument;

class VLPropertyMap {
public:
    VLPropertyMap() = default;
    VLPropertyMap(const VLPropertyMap& other) { CopyFrom(other); }
    VLPropertyMap& operator=(const VLPropertyMap& other)
    {
        CopyFrom(other);
        return *this;
    }
    virtual ~VLPropertyMap();

    // The stored value, or the default when the key is absent.
    virtual VLString Get(const wchar_t* key, const wchar_t* defaultValue = nullptr) const;
    // Parses the stored value; a stored value that is not a number gives 0,
    // not the default (the default only stands in for a missing key).
    virtual int GetInt(const wchar_t* key, int defaultValue = 0) const;
    virtual double GetDouble(const wchar_t* key, double defaultValue = 0) const;
    // Eight upper-case hexadecimal digits, read back with an optional "0x".
    virtual uint32_t GetHex(const wchar_t* key, uint32_t defaultValue = 0) const;
    // With removeIfEmpty and an empty value the key is removed instead.
    virtual void Set(const wchar_t* key, const wchar_t* value, bool removeIfEmpty = false);
    virtual void SetInt(const wchar_t* key, int64_t value);
    virtual void SetHex(const wchar_t* key, uint32_t value);
    virtual void SetDouble(const wchar_t* key, double value);
    virtual void Clear();
    virtual void Remove(const wchar_t* key);
    virtual bool CopyFrom(const VLPropertyMap& other);
    // Same entries with exactly the same values (keys without case).
    virtual bool Equals(const VLPropertyMap& other) const;
    // Appends "(n:count)" and then a key and a value token per entry.
    virtual void ToTokens(VLString& out, bool includeEntries = true) const;
    // Replaces the contents from the token form at pos and moves pos past
    // it. A malformed token ends the read: the pair it belongs to is stored
    // with an empty part and false is returned.
    virtual bool FromTokens(const VLString& text, int& pos);
    virtual bool FromTokens(const VLString& text);
    // "<root version="1.0">", CR LF, one Item line per entry, "</root>".
    virtual VLString ToXML(const wchar_t* root, double version, bool emptyWhenNoEntries = false) const;
    // Clears, then reads the XML form. False when the text is not empty but
    // the root is missing or its version differs; the map is then empty.
    virtual bool FromXML(const VLString& text, const wchar_t* root, double version);
    // One "Item" element per entry, with the key in its "Name" attribute.
    virtual void WriteItems(VLXmlDocument& doc) const;
    // Clears, then reads every "Item" element at the document's level.
    virtual void ReadItems(VLXmlDocument& doc);
    // Appends prefix, key, ": ", value and suffix for every entry.
    virtual void Dump(VLString& out, const wchar_t* prefix = L"", const wchar_t* suffix = L"\r\n") const;

    bool Has(const wchar_t* key) const;
    int GetCount() const { return m_map ? m_map->GetCount() : 0; }
    bool IsEmpty() const { return GetCount() == 0; }
    // True while the inner map exists (for checking that empty maps own nothing).
    bool OwnsMemory() const { return m_map != nullptr; }

    // Range-for over the entries (fields key and value).
    template <class F>
    void ForEach(F&& visit) const
    {
        if (m_map) {
            for (const auto& node : *m_map)
                visit(node.key, node.value);
        }
    }

    // Number renderings used for stored values.
    static VLString RenderDouble(double value);
    static VLString RenderHex(uint32_t value);

private:
    VLStringMap<VLString>* m_map = nullptr;
};
