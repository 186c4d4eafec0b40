#pragma once
// A file path that carries a property map of extra values. Its text form is
// either the path itself (optionally with ";" and data after a short
// extension) or the XML form with the root "XMLFN".

#include "VLPropertyMap.h"
#include "VLString.h"

class VLFileName {
public:
    VLFileName() = default;
    explicit VLFileName(const VLString& text) { SetFromText(text); }

    // Reads the text: the XMLFN form, or a path whose ";suffix" after a 1 to
    // 5 unit extension becomes the property "PostExtensionData".
    void SetFromText(const VLString& text, bool clearProperties = true);

    const VLString& GetPath() const { return m_path; }
    void SetPath(const VLString& path) { m_path = path; }
    VLPropertyMap& GetProperties() { return m_properties; }
    const VLPropertyMap& GetProperties() const { return m_properties; }

private:
    VLString m_path;
    VLPropertyMap m_properties;
};
