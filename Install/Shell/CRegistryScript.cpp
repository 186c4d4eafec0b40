#include "CRegistryScript.h"

#include <utility>

#include "VLRegistryKey.h"
#include "VLSystemInfo.h"

namespace {

const wchar_t kAutoplayKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\";
const wchar_t kArtToken[] = L"[CUSTOMART]";
const int kArtTokenLength = 11;

// Whether a value counts as present for a "CREATE" line: a text value is
// present when it reads as non-empty text (a number reads as its digits), a
// number value when it is a REG_DWORD.
bool ValuePresent(const VLRegistryKey& key, const wchar_t* name, bool isString)
{
    if (isString)
        return !key.ReadString(name).IsEmpty();
    DWORD number = 0;
    return key.ReadDword(name, number);
}

}  // namespace

CRegistryScript::CRegistryScript(CScriptTokens tokens) : m_tokens(std::move(tokens)), m_windows64(VLIsWindows64()) {}

REGSAM CRegistryScript::SecondPassAccess()
{
    // A 32-bit program reaches the 64-bit view with KEY_WOW64_64KEY. A 64-bit
    // program already writes the 64-bit view in its first pass, so its second
    // pass goes to the 32-bit view; either way the line ends up in both.
    return kAccess | (sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY);
}

VLStringArray CRegistryScript::SplitFields(const VLString& line)
{
    VLStringArray fields;
    int from = 0;
    for (;;) {
        int bar = line.Find(L'|', from);
        if (bar < 0) {
            fields.Add(line.Mid(from, line.GetLength() - from));
            return fields;
        }
        fields.Add(line.Mid(from, bar - from));
        from = bar + 1;
    }
}

DWORD CRegistryScript::ParseDword(const VLString& text)
{
    return static_cast<DWORD>(text.ToInt());
}

VLString CRegistryScript::Substitute(const VLString& line) const
{
    VLString text = line;
    text.Replace(L"[AUTOPLAYKEY]", kAutoplayKey);
    text.Replace(L"[INSTALLDIR]", m_tokens.installDir.GetString());
    text.Replace(L"[SYSTEMDIR]", m_tokens.systemDir.GetString());
    text.Replace(L"[CURRENTDIR]", m_tokens.currentDir.GetString());
    text.Replace(L"[PRODUCTNAME]", m_tokens.productName.GetString());
    text.Replace(L"[PRODUCTWITHVERSION]", m_tokens.productWithVersion.GetString());
    text.Replace(L"[EXEPATH]", m_tokens.exePath.GetString());
    text.Replace(L"[LAUNCHERPATH]", m_tokens.launcherPath.GetString());
    text.Replace(L"[LAUNCHERNAME]", m_tokens.launcherName.GetString());

    // Only the first art token of a line is resolved. Its file name runs to
    // the closing double quote; without one, to the end of the field, so
    // that a bare token never swallows the type and action fields.
    int at = text.Find(kArtToken, 0);
    if (at >= 0) {
        int start = at + kArtTokenLength;
        int end = text.Find(L'"', at);
        if (end < 0)
            end = text.Find(L'|', start);
        if (end < 0)
            end = text.GetLength();
        VLString name = text.Mid(start, end - start);
        VLString path = m_tokens.findArt && !name.IsEmpty() ? m_tokens.findArt(name) : VLString();
        VLString tokenAndName(kArtToken);
        tokenAndName += name;
        text.Replace(tokenAndName.GetString(), path.GetString());
    }
    return text;
}

void CRegistryScript::Run(const VLStringArray& lines) const
{
    HKEY root = HKEY_CLASSES_ROOT;
    for (int i = 0; i < lines.GetCount(); ++i) {
        const VLString& line = lines[i];
        if (line.IsEmpty())
            continue;
        if (line == L"HKEY_CLASSES_ROOT") {
            root = HKEY_CLASSES_ROOT;
            continue;
        }
        if (line == L"HKEY_CURRENT_USER") {
            root = HKEY_CURRENT_USER;
            continue;
        }
        if (line == L"HKEY_LOCAL_MACHINE") {
            root = HKEY_LOCAL_MACHINE;
            continue;
        }
        bool bothViews = m_windows64 && line.Find(L"[AUTOPLAYKEY]", 0) >= 0;
        VLStringArray fields = SplitFields(Substitute(line));
        if (fields.GetCount() != 5)
            continue;
        RunEntry(root, fields, kAccess);
        if (bothViews)
            RunEntry(root, fields, SecondPassAccess());
    }
}

void CRegistryScript::RunEntry(HKEY root, const VLStringArray& fields, REGSAM access) const
{
    VLRegistryKey key;
    if (key.Create(root, fields[0].GetString(), true, access) != ERROR_SUCCESS)
        return;
    const wchar_t* name = fields[1] == L"Default" ? nullptr : fields[1].GetString();
    const VLString& data = fields[2];
    const bool isString = fields[3] == L"STRING";
    const VLString& action = fields[4];

    if (action == L"DELETE") {
        key.DeleteValue(name);
        return;
    }
    if (action == L"CREATE" && ValuePresent(key, name, isString))
        return;
    if (isString)
        key.WriteString(name, data.GetString());
    else
        key.WriteDword(name, ParseDword(data));
}
