#include "VLFileName.h"

#include "VLXmlDocument.h"

#include <cwchar>

namespace {

const wchar_t kXmlPrefix[] = L"<XMLFN version=";
const int kXmlPrefixLength = 15;

bool StartsWithNoCase(const VLString& text, const wchar_t* prefix, int length)
{
    if (text.GetLength() < length)
        return false;
    const wchar_t* s = text.GetString();
    for (int i = 0; i < length; ++i) {
        wchar_t a = s[i], b = prefix[i];
        if (a >= L'A' && a <= L'Z')
            a = wchar_t(a + 32);
        if (b >= L'A' && b <= L'Z')
            b = wchar_t(b + 32);
        if (a != b)
            return false;
    }
    return true;
}

}  // namespace

void VLFileName::SetFromText(const VLString& text, bool clearProperties)
{
    if (clearProperties)
        m_properties.Clear();

    if (StartsWithNoCase(text, kXmlPrefix, kXmlPrefixLength)) {
        m_path.Empty();
        VLXmlDocument doc(text);
        if (!doc.FindElem(L"XMLFN") || !(doc.GetAttrib(L"version") == L"1.0"))
            return;
        doc.IntoElem();
        while (doc.FindElem(L"Item")) {
            VLString name = doc.GetAttrib(L"Name");
            if (name.CompareNoCase(L"Filename") == 0)
                m_path = doc.GetData();
            else
                m_properties.Set(name, doc.GetData());
        }
        return;
    }

    m_path = text;
    const wchar_t* s = text.GetString();
    const int length = text.GetLength();
    if (length == 0 || text.Find(L"://") >= 0 || s[length - 1] == L'\\')
        return;
    int dot = text.ReverseFind(L'.');
    int semicolon = text.ReverseFind(L';');
    if (dot < 0 || semicolon < dot)
        return;
    int between = semicolon - dot - 1;
    if (between < 1 || between > 5)
        return;
    m_properties.Set(L"PostExtensionData", text.Mid(semicolon + 1));
    m_path = text.Left(semicolon);
}
