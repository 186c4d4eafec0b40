#include "CRegistryScript.h"

#include <utility>
#include <vector>

#include "VLHandle.h"
#include "VLSystemInfo.h"

namespace {

const wchar_t kAutoplayKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\";
const wchar_t kArtToken[] = L"[CUSTOMART]";
const int kArtTokenLength = 11;

// Replaces every occurrence of `token` (case-sensitive), scanning on after
// each inserted value so that a value is never searched again.
void ReplaceToken(VLString& text, const wchar_t* token, const VLString& value)
{
    const VLString pattern(token);
    int at = text.Find(pattern.GetString(), 0);
    if (at < 0)
        return;
    VLString result;
    int from = 0;
    while (at >= 0) {
        result += text.Mid(from, at - from);
        result += value;
        from = at + pattern.GetLength();
        at = text.Find(pattern.GetString(), from);
    }
    result += text.Mid(from, text.GetLength() - from);
    text = result;
}

VLString WithBackslash(VLString folder)
{
    if (!folder.IsEmpty() && folder[folder.GetLength() - 1] != L'\\')
        folder += L'\\';
    return folder;
}

// Whether a value counts as present for a "CREATE" line: a text value is
// present when it reads as non-empty text (a number reads as its digits), a
// number value when it is a REG_DWORD.
bool ValuePresent(HKEY key, const wchar_t* name, bool isString)
{
    if (!isString) {
        DWORD type = 0;
        DWORD number = 0;
        DWORD size = sizeof number;
        LONG rc = ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
        return rc == ERROR_SUCCESS && type == REG_DWORD;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    if (type == REG_DWORD)
        return true;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
        ERROR_SUCCESS)
        return false;
    return buffer[0] != L'\0';
}

}  // namespace

VLString CScriptTokens::SystemFolder()
{
    wchar_t path[MAX_PATH] = {};
    UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return VLString();
    return WithBackslash(VLString(path));
}

VLString CScriptTokens::ProgramFolder()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return VLString();
        if (length < path.size())
            break;
        path.resize(path.size() * 2);  // truncated: try a larger buffer
    }
    VLString file(path.data());
    int slash = file.ReverseFind(L'\\');
    return slash < 0 ? VLString() : file.Left(slash + 1);
}

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
    ReplaceToken(text, L"[AUTOPLAYKEY]", VLString(kAutoplayKey));
    ReplaceToken(text, L"[INSTALLDIR]", m_tokens.installDir);
    ReplaceToken(text, L"[SYSTEMDIR]", m_tokens.systemDir);
    ReplaceToken(text, L"[CURRENTDIR]", m_tokens.currentDir);
    ReplaceToken(text, L"[PRODUCTNAME]", m_tokens.productName);
    ReplaceToken(text, L"[PRODUCTWITHVERSION]", m_tokens.productWithVersion);
    ReplaceToken(text, L"[EXEPATH]", m_tokens.exePath);
    ReplaceToken(text, L"[LAUNCHERPATH]", m_tokens.launcherPath);
    ReplaceToken(text, L"[LAUNCHERNAME]", m_tokens.launcherName);

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
        ReplaceToken(text, tokenAndName.GetString(), path);
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
    VLUniqueKey key;
    if (::RegCreateKeyExW(root, fields[0].GetString(), 0, nullptr, 0, access, nullptr, key.Put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    const wchar_t* name = fields[1] == L"Default" ? nullptr : fields[1].GetString();
    const VLString& data = fields[2];
    const bool isString = fields[3] == L"STRING";
    const VLString& action = fields[4];

    if (action == L"DELETE") {
        ::RegDeleteValueW(key.Get(), name);
        return;
    }
    if (action == L"CREATE" && ValuePresent(key.Get(), name, isString))
        return;
    if (isString) {
        DWORD bytes = static_cast<DWORD>((data.GetLength() + 1) * sizeof(wchar_t));
        ::RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.GetString()), bytes);
    }
    else {
        DWORD number = ParseDword(data);
        ::RegSetValueExW(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    }
}
