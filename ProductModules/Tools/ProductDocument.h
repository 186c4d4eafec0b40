#pragma once
// The product's identity, read from "Product.ini" beside the tools module:
// UTF-8 (byte-order mark optional) or UTF-16 with a byte-order mark, one
// "Key=Value" per line, ";" or "#" starting a comment line. The README lists
// the keys.

#include "VLString.h"
#include "VLStringMap.h"

class CProductDocument {
public:
    static constexpr const wchar_t* kFileName = L"Product.ini";

    // Reads and checks the document. On failure returns false with a message
    // for the user in `error` and keeps nothing.
    bool Load(const wchar_t* path, VLString& error);
    // Parses document text; same contract as Load (path only names the file in messages).
    bool Parse(const VLString& text, const wchar_t* path, VLString& error);

    bool Has(const wchar_t* key) const;
    VLString Get(const wchar_t* key) const;  // empty when absent

private:
    VLStringMap<VLString> m_values;
};
