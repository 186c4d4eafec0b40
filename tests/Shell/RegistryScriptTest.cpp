// The registry script engine on the real registry of the test prefix: edge
// cases of the line format, token replacement, the art lookup and the
// second registry view of AutoPlay lines.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CArtFileLookup.h"
#include "CRegistryScript.h"
#include "RegistryProbe.h"

namespace {

const wchar_t kTestKey[] = L"Software\\VLScriptTest";

struct Expect {
    HKEY root;
    const wchar_t* key;
    const wchar_t* name;  // null: the key's unnamed value
    ProbeValue want;
};

struct Pre {
    const wchar_t* name;  // null: no value set up
    DWORD type;
    const wchar_t* text;
    DWORD number;
};

struct Case {
    const char* what;
    Pre pre;  // set up under HKCU\Software\VLScriptTest before the run
    std::vector<const wchar_t*> lines;
    std::vector<Expect> expects;
};

void ClearTestKeys()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kTestKey);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTestKey);
    HKEY wow = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &wow) == ERROR_SUCCESS) {
        RegDeleteTreeW(wow, L"VLScriptTest");
        RegCloseKey(wow);
    }
}

void SetUpValue(const Pre& pre)
{
    if (!pre.name)
        return;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t* name = *pre.name ? pre.name : nullptr;
    if (pre.type == REG_DWORD)
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&pre.number), sizeof pre.number);
    else
        RegSetValueExW(key, name, 0, pre.type, reinterpret_cast<const BYTE*>(pre.text),
                       static_cast<DWORD>((wcslen(pre.text) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

CScriptTokens NoTokens()
{
    return CScriptTokens{};
}

}  // namespace

TEST(RegistryScript, LineFormatEdgeCases)
{
    const wchar_t* K = kTestKey;
    const HKEY CU = HKEY_CURRENT_USER;
    const HKEY CR = HKEY_CLASSES_ROOT;
    const Pre none{nullptr, 0, nullptr, 0};
    const std::wstring longName(300, L'x');  // longer than a key name may be
    const std::wstring badKeyLine = std::wstring(K) + L"\\" + longName + L"|v|x|STRING|MODIFY";

    const Case cases[] = {
        {"a root line switches the root", none,
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v|x|STRING|MODIFY"},
         {{CU, K, L"v", ProbeValue::Text(L"x")}, {CR, K, L"v", ProbeValue::Missing()}}},
        {"a lower-case root line is an entry line with one field: skipped, root stays", none,
         {L"hkey_current_user", L"Software\\VLScriptTest|v|x|STRING|MODIFY"},
         {{CR, K, L"v", ProbeValue::Text(L"x")}, {CU, K, L"v", ProbeValue::Missing()}}},
        {"an empty line is skipped and keeps the root", none,
         {L"HKEY_CURRENT_USER", L"", L"Software\\VLScriptTest|v|x|STRING|MODIFY"},
         {{CU, K, L"v", ProbeValue::Text(L"x")}}},
        {"four fields: skipped", none,
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v|x|STRING"},
         {{CU, K, L"v", ProbeValue::Missing()}}},
        {"six fields: skipped", none,
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v|x|STRING|MODIFY|"},
         {{CU, K, L"v", ProbeValue::Missing()}}},
        {"\"Default\" is the unnamed value", none,
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|Default|x|STRING|MODIFY"},
         {{CU, K, nullptr, ProbeValue::Text(L"x")}, {CU, K, L"Default", ProbeValue::Missing()}}},
        {"\"default\" names a value literally", none,
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|default|x|STRING|MODIFY"},
         {{CU, K, L"default", ProbeValue::Text(L"x")}, {CU, K, nullptr, ProbeValue::Missing()}}},
        {"an empty name is the unnamed value", none,
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest||x|STRING|MODIFY"},
         {{CU, K, nullptr, ProbeValue::Text(L"x")}}},
        {"empty data writes an empty text", none,
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v||STRING|MODIFY"},
         {{CU, K, L"v", ProbeValue::Text(L"")}}},
        {"double quotes are written as they stand", none,
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v|\"C:\\a b.exe\" /Play \"%L\"|STRING|MODIFY"},
         {{CU, K, L"v", ProbeValue::Text(L"\"C:\\a b.exe\" /Play \"%L\"")}}},
        {"DWORD 65536", none,
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v|65536|DWORD|MODIFY"},
         {{CU, K, L"v", ProbeValue::Number(65536)}}},
        {"DWORD data \"abc\" writes 0", none,
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v|abc|DWORD|MODIFY"},
         {{CU, K, L"v", ProbeValue::Number(0)}}},
        {"DWORD with white space, sign and trailing text", none,
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v|  -12x|DWORD|MODIFY"},
         {{CU, K, L"v", ProbeValue::Number(0xFFFFFFF4u)}}},
        {"DWORD beyond the range is held", none,
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v|99999999999|DWORD|MODIFY"},
         {{CU, K, L"v", ProbeValue::Number(2147483647u)}}},
        {"any type but STRING writes a number", none,
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v|7|string|MODIFY"},
         {{CU, K, L"v", ProbeValue::Number(7)}}},
        {"CREATE over an empty text overwrites it", {L"v", REG_SZ, L"", 0},
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v|new|STRING|CREATE"},
         {{CU, K, L"v", ProbeValue::Text(L"new")}}},
        {"CREATE over a non-empty text keeps it", {L"v", REG_SZ, L"old", 0},
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v|new|STRING|CREATE"},
         {{CU, K, L"v", ProbeValue::Text(L"old")}}},
        {"CREATE of a missing text writes it", none,
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v|new|STRING|CREATE"},
         {{CU, K, L"v", ProbeValue::Text(L"new")}}},
        {"CREATE of a text over a number keeps the number", {L"v", REG_DWORD, nullptr, 5},
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v|new|STRING|CREATE"},
         {{CU, K, L"v", ProbeValue::Number(5)}}},
        {"CREATE of a number over a number keeps it", {L"v", REG_DWORD, nullptr, 5},
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v|9|DWORD|CREATE"},
         {{CU, K, L"v", ProbeValue::Number(5)}}},
        {"CREATE of a number over a text replaces it", {L"v", REG_SZ, L"7", 0},
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v|9|DWORD|CREATE"},
         {{CU, K, L"v", ProbeValue::Number(9)}}},
        {"DELETE removes the value", {L"v", REG_SZ, L"old", 0},
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|v||STRING|DELETE"},
         {{CU, K, L"v", ProbeValue::Missing()}}},
        {"DELETE of \"Default\" removes the unnamed value", {L"", REG_SZ, L"old", 0},
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest|Default||STRING|DELETE"},
         {{CU, K, nullptr, ProbeValue::Missing()}}},
        {"DELETE in a missing key leaves the key behind, empty", none,
         {L"HKEY_CURRENT_USER", L"Software\\VLScriptTest\\Sub|v||STRING|DELETE"},
         {{CU, L"Software\\VLScriptTest\\Sub", L"v", ProbeValue::Missing()}}},
        {"a key that cannot be created is skipped and the run goes on", none,
         {L"HKEY_CURRENT_USER", badKeyLine.c_str(), L"Software\\VLScriptTest|after|x|STRING|MODIFY"},
         {{CU, K, L"after", ProbeValue::Text(L"x")}}},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearTestKeys();
        SetUpValue(c.pre);
        VLStringArray lines;
        for (const wchar_t* line : c.lines)
            lines.Add(VLString(line));
        CRegistryScript(NoTokens()).Run(lines);
        for (const Expect& e : c.expects)
            EXPECT_EQ(ReadProbe(e.root, e.key, e.name), e.want) << Describe(e.root, e.key, e.name);
    }
    // The key of a DELETE line exists afterwards (opened by create-or-open).
    ClearTestKeys();
    VLStringArray deleteLines;
    deleteLines.Add(L"HKEY_CURRENT_USER");
    deleteLines.Add(L"Software\\VLScriptTest\\Sub|v||STRING|DELETE");
    CRegistryScript(NoTokens()).Run(deleteLines);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\VLScriptTest\\Sub"));
    ClearTestKeys();
}

TEST(RegistryScript, SplitKeepsEmptyFields)
{
    struct Case {
        const wchar_t* line;
        int count;
    };
    const Case cases[] = {
        {L"a|b|c|d|e", 5}, {L"||||", 5}, {L"a|b|c|d|e|", 6}, {L"a|b|c|d", 4}, {L"", 1}, {L"abc", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CRegistryScript::SplitFields(VLString(c.line)).GetCount(), c.count) << VLString(c.line).ToUtf8();
    VLStringArray f = CRegistryScript::SplitFields(VLString(L"k||d||MODIFY"));
    ASSERT_EQ(f.GetCount(), 5);
    EXPECT_EQ(f[1], L"");
    EXPECT_EQ(f[3], L"");
    EXPECT_EQ(f[4], L"MODIFY");
}

TEST(RegistryScript, TokensAreReplacedInOrderAndOnce)
{
    CScriptTokens t;
    t.installDir = L"C:\\Prog\\";
    t.systemDir = L"C:\\Windows\\system32\\";
    t.currentDir = L"D:\\Package\\";
    t.productName = L"Name [PRODUCTNAME]";  // a value is not searched again for its own token
    t.productWithVersion = L"Name.22";
    t.exePath = L"C:\\Prog\\Main.exe";
    t.launcherPath = L"C:\\Prog\\[LAUNCHERNAME]";  // later tokens do apply to earlier values
    t.launcherName = L"Launch.exe";
    CRegistryScript script(t);

    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    };
    const Case cases[] = {
        {L"[AUTOPLAYKEY]x", L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\x"},
        {L"[INSTALLDIR]a|[INSTALLDIR]b", L"C:\\Prog\\a|C:\\Prog\\b"},
        {L"[SYSTEMDIR]|[CURRENTDIR]", L"C:\\Windows\\system32\\|D:\\Package\\"},
        {L"[PRODUCTNAME]", L"Name [PRODUCTNAME]"},
        {L"[PRODUCTWITHVERSION].File", L"Name.22.File"},
        {L"[EXEPATH]", L"C:\\Prog\\Main.exe"},
        {L"[LAUNCHERPATH]", L"C:\\Prog\\Launch.exe"},
        {L"[productname] [Exepath]", L"[productname] [Exepath]"},  // tokens are case-sensitive
        {L"[CUSTOMART]x.ico", L""},                                 // no art lookup: empty
    };
    for (const Case& c : cases)
        EXPECT_EQ(script.Substitute(VLString(c.in)), c.out) << VLString(c.in).ToUtf8();
}

TEST(RegistryScript, ArtTokenResolvesTheFirstNameOnly)
{
    ArtFixture art;
    CScriptTokens t;
    CArtFileLookup lookup = art.Lookup();
    t.findArt = [lookup](const VLString& name) { return lookup.Find(name); };
    CRegistryScript script(t);

    const VLString custom = art.Folder(L"Program\\Data\\Custom Art\\");
    const VLString def = art.Folder(L"Program\\Data\\Default Art\\");
    struct Case {
        VLString in;
        VLString out;
    };
    const Case cases[] = {
        // Custom art wins over default art.
        {L"k|Default|\"[CUSTOMART]both.ico\"|STRING|MODIFY", L"k|Default|\"" + custom + L"both.ico\"|STRING|MODIFY"},
        {L"k|Default|\"[CUSTOMART]fileimage.ico\",1|STRING|MODIFY",
         L"k|Default|\"" + def + L"fileimage.ico\",1|STRING|MODIFY"},
        // Every occurrence of the first token and name; a second name stays.
        {L"\"[CUSTOMART]both.ico\" \"[CUSTOMART]both.ico\" \"[CUSTOMART]fileimage.ico\"",
         L"\"" + custom + L"both.ico\" \"" + custom + L"both.ico\" \"[CUSTOMART]fileimage.ico\""},
        // A missing file resolves to nothing.
        {L"\"[CUSTOMART]none.ico\"", L"\"\""},
        // Without a closing quote the name ends with its field.
        {L"k|Default|[CUSTOMART]fileimage.ico|STRING|MODIFY", L"k|Default|" + def + L"fileimage.ico|STRING|MODIFY"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(script.Substitute(c.in), c.out) << c.in.ToUtf8();
}

TEST(ArtFileLookup, CustomBeforeDefaultAndFoldersInOrder)
{
    ArtFixture art;
    CArtFileLookup lookup = art.Lookup();
    EXPECT_EQ(lookup.Find(L"both.ico"), art.Folder(L"Program\\Data\\Custom Art\\") + L"both.ico");
    EXPECT_EQ(lookup.Find(L"fileimage.ico"), art.Folder(L"Program\\Data\\Default Art\\") + L"fileimage.ico");
    // Only in the package: found there.
    EXPECT_EQ(lookup.Find(L"package.ico"), art.Folder(L"Package\\Quenbox\\Data\\Default Art\\") + L"package.ico");
    EXPECT_EQ(lookup.Find(L"none.ico"), L"");
    EXPECT_EQ(lookup.Find(L""), L"");
    // A folder named like the file is not an art file.
    EXPECT_EQ(lookup.Find(L"folder.ico"), L"");

    // With no program folder, the package's own art is used.
    CArtFileLookup packageOnly = CArtFileLookup::ForProduct(L"", art.Folder(L"Package"));
    EXPECT_EQ(packageOnly.Find(L"fileimage.ico"),
              art.Folder(L"Package\\Quenbox\\Data\\Default Art\\") + L"fileimage.ico");
}

TEST(RegistryScript, AutoplayLinesGoToBothViewsOn64BitWindows)
{
    // The AutoPlay key itself is shared by both views on current Windows (and
    // under Wine), so a view of its own cannot be seen there; the token is
    // placed below a redirected key instead, which marks the line just the same.
    const wchar_t* autoplayKey =
        L"Software\\VLScriptTest\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\x";
    VLStringArray lines;
    lines.Add(L"HKEY_LOCAL_MACHINE");
    lines.Add(L"Software\\VLScriptTest\\[AUTOPLAYKEY]x|v|x|STRING|MODIFY");
    lines.Add(L"Software\\VLScriptTest|w|y|STRING|MODIFY");

    for (bool windows64 : {true, false}) {
        SCOPED_TRACE(windows64 ? "64-bit Windows" : "32-bit Windows");
        ClearTestKeys();
        CRegistryScript script(NoTokens());
        script.SetWindows64(windows64);
        script.Run(lines);

        // The program's own view always gets both lines.
        const REGSAM own = sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
        const REGSAM other = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
        EXPECT_EQ(ReadProbe(HKEY_LOCAL_MACHINE, autoplayKey, L"v", own), ProbeValue::Text(L"x"));
        EXPECT_EQ(ReadProbe(HKEY_LOCAL_MACHINE, kTestKey, L"w", own), ProbeValue::Text(L"y"));
        // The other view only gets the AutoPlay line, and only on 64-bit Windows.
        EXPECT_EQ(ReadProbe(HKEY_LOCAL_MACHINE, autoplayKey, L"v", other),
                  windows64 ? ProbeValue::Text(L"x") : ProbeValue::Missing());
        EXPECT_EQ(ReadProbe(HKEY_LOCAL_MACHINE, kTestKey, L"w", other), ProbeValue::Missing());
    }
    ClearTestKeys();
}
