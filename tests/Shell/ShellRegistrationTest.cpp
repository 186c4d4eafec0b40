// The built-in shell registration script, applied by destroying a
// CShellRegistration, checked value by value in the registry of the test
// prefix: keys, names, data, types, and both views for the AutoPlay lines.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CShellRegistration.h"
#include "CShellScript.h"
#include "RegistryProbe.h"

namespace {

const HKEY CR = HKEY_CLASSES_ROOT;
const HKEY CU = HKEY_CURRENT_USER;
const HKEY LM = HKEY_LOCAL_MACHINE;
const wchar_t kAutoplay[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers\\";
const wchar_t kNetscape[] = L"Software\\Netscape\\Netscape Navigator\\User Trusted External Applications";

struct Row {
    HKEY root;
    std::wstring key;
    const wchar_t* name;  // null: the unnamed value
    ProbeValue want;
};

std::wstring Q(const std::wstring& s)
{
    return L"\"" + s + L"\"";
}

std::wstring W(const VLString& s)
{
    return std::wstring(s.GetString(), s.GetLength());
}

VLString Translated(const VLString& text)
{
    return VLString(L"[de] ") + text;
}

// Every value the script writes, for a product "Auralis Test" 22 with a
// launcher, in the order of the script.
std::vector<Row> ExpectedRows(const std::wstring& programFolder, const std::wstring& fileIcon,
                             const std::wstring& launcher)
{
    const std::wstring P = L"AuralisTest.22";
    const std::wstring N = L"Auralis Test";
    const std::wstring& L = launcher;
    const std::wstring E = programFolder + L"Auralis.exe";
    const std::wstring playCmd = Q(L) + L" /Play \"%L\"";
    const std::wstring icon = Q(fileIcon);
    auto T = [](const std::wstring& s) { return ProbeValue::Text(s); };
    auto D = [](DWORD n) { return ProbeValue::Number(n); };

    std::vector<Row> rows = {
        {CR, P + L".File", nullptr, T(N + L" file")},
        {CR, P + L".File\\shell", nullptr, T(L"Play")},
        {CR, P + L".File\\shell\\open\\command", nullptr, T(playCmd)},
        {CR, P + L".File\\shell\\Play", nullptr, T(L"&Play in " + N)},
        {CR, P + L".File\\shell\\Play\\command", nullptr, T(playCmd)},
        {CR, P + L".File\\DefaultIcon", nullptr, T(icon)},
        {CR, L"Applications\\AuralisLauncher.exe", nullptr, T(N + L" file")},
        {CR, L"Applications\\AuralisLauncher.exe\\shell", nullptr, T(L"Play")},
        {CR, L"Applications\\AuralisLauncher.exe\\shell\\open\\command", nullptr, T(playCmd)},
        {CR, L"Applications\\AuralisLauncher.exe\\shell\\Play", nullptr, T(L"&Play in " + N)},
        {CR, L"Applications\\AuralisLauncher.exe\\shell\\Play\\command", nullptr, T(playCmd)},

        {CR, P + L".Pack", nullptr, T(P + L".Pack")},
        {CR, P + L".Pack", L"BrowserFlags", D(8)},
        {CR, P + L".Pack", L"EditFlags", D(65536)},
        {CR, P + L".Pack", L"Content Type", T(L"application/x-quenbox-qbp")},
        {CR, P + L".Pack\\shell\\open\\command", nullptr, T(Q(programFolder + L"PackageInstaller.exe") + L" /Install \"%L\"")},
        {CR, P + L".Pack\\DefaultIcon", nullptr, T(Q(programFolder + L"PackageInstaller.exe") + L",1")},
        {CR, P + L".Playlist", nullptr, T(P + L".Playlist")},
        {CR, P + L".Playlist", L"BrowserFlags", D(8)},
        {CR, P + L".Playlist", L"EditFlags", D(65536)},
        {CR, P + L".Playlist", L"Content Type", T(L"application/x-quenbox-mpl")},
        {CR, P + L".Playlist\\shell\\open\\command", nullptr, T(playCmd)},
        {CR, P + L".Playlist\\DefaultIcon", nullptr, T(icon)},
        {CR, P + L".Subscribe", nullptr, T(P + L".Subscribe")},
        {CR, P + L".Subscribe", L"BrowserFlags", D(8)},
        {CR, P + L".Subscribe", L"EditFlags", D(65536)},
        {CR, P + L".Subscribe\\shell\\open\\command", nullptr, T(Q(L) + L" /Subscribe \"%L\"")},
        {CR, P + L".Subscribe\\DefaultIcon", nullptr, T(icon)},
        {CR, P + L".Mime", nullptr, T(P + L".Mime")},
        {CR, P + L".Mime", L"BrowserFlags", D(8)},
        {CR, P + L".Mime", L"EditFlags", D(65536)},
        {CR, P + L".Mime\\shell\\open\\command", nullptr, T(Q(L) + L" /Mime \"%L\"")},
        {CR, P + L".Mime\\DefaultIcon", nullptr, T(icon)},

        {CR, L"MIME\\Database\\Content Type\\application/podcast+xml", L"Extension", T(L".podcast")},
        {CR, L"MIME\\Database\\Content Type\\application/rss+xml", L"Extension", T(L".rss")},
        {CR, L".qbp", nullptr, T(P + L".Pack")},
        {CR, L".mpl", nullptr, T(P + L".Playlist")},
        {CR, L".qbs", nullptr, T(P + L".Pack")},
        {CR, L"Mime\\Database\\Content Type\\application/x-quenbox-qbp", L"Extension", T(L".qbp")},
        {CR, L"Mime\\Database\\Content Type\\application/x-quenbox-mpl", L"Extension", T(L".mpl")},
        {CR, L"Mime\\Database\\Content Type\\application/x-quenbox-qba", L"Extension", T(L".qba")},

        {CU, kNetscape, launcher.c_str(), T(L"Yes")},  // named by the launcher path
    };

    const std::wstring A = kAutoplay;
    rows.push_back({LM, A + L"CancelAutoplay\\CLSID", L"21369263-6C67-4a4d-9202-B34D2A5CBC85", T(L"")});
    struct Handler {
        const wchar_t* name;
        std::vector<const wchar_t*> events;
        const wchar_t* action;
        const wchar_t* progIdName;
        std::wstring progId;
        const wchar_t* verb;
    };
    const Handler handlers[] = {
        {L"VLMTPHandler", {L"MTPMediaPlayerArrival"}, L"Synchronize media files to this device", L"ProgID",
         L"Shell.HWEventHandlerShellExecute", L"Start"},
        {L"VLBurnCDOnArrival", {L"HandleCDBurningOnArrival"}, L"Burn a CD or DVD", L"InvokeProgID", P + L".BurnCD",
         L"Burn"},
        {L"VLCDAudioOnArrival", {L"PlayCDAudioOnArrival"}, L"Play an audio CD", L"InvokeProgID", P + L".PlayAudioCD",
         L"Play"},
        {L"VLRipCDOnArrival", {L"PlayCDAudioOnArrival"}, L"Rip an audio CD", L"InvokeProgID", P + L".Rip", L"Start"},
        {L"VLPlayDVDOnArrival", {L"PlayDVDMovieOnArrival"}, L"Play DVD Video", L"InvokeProgID", P + L".PlayDVDVideo",
         L"Play"},
        {L"VLPlayBlurayOnArrival", {L"PlayBluRayOnArrival"}, L"Play Blu-ray", L"InvokeProgID", P + L".PlayBluray",
         L"Play"},
        {L"VLPlayMediaOnArrival", {L"PlayMusicFilesOnArrival", L"ShowPicturesOnArrival", L"PlayVideoFilesOnArrival"},
         L"Play Media", L"InvokeProgID", P + L".PlayMedia", L"Play"},
    };
    for (const Handler& h : handlers) {
        for (const wchar_t* e : h.events)
            rows.push_back({LM, A + L"EventHandlers\\" + e, h.name, T(L"")});
        const std::wstring key = A + L"Handlers\\" + h.name;
        rows.push_back({LM, key, L"Action", T(std::wstring(L"[de] ") + h.action)});
        rows.push_back({LM, key, L"DefaultIcon", T(icon)});
        rows.push_back({LM, key, h.progIdName, T(h.progId)});
        rows.push_back({LM, key, L"InvokeVerb", T(h.verb)});
        rows.push_back({LM, key, L"Provider", T(N)});
        if (std::wstring(h.name) == L"VLMTPHandler")
            rows.push_back({LM, key, L"InitCmdLine", T(Q(E))});
    }

    const std::wstring exeIcon = Q(E) + L",1";
    const std::vector<Row> invoked = {
        {CR, P + L".BurnCD\\DefaultIcon", nullptr, T(exeIcon)},
        {CR, P + L".BurnCD\\shell\\Burn\\command", nullptr, T(Q(L) + L" /Burn \"%L\"")},
        {CR, P + L".Rip\\DefaultIcon", nullptr, T(exeIcon)},
        {CR, P + L".Rip\\shell\\Start\\command", nullptr, T(Q(L) + L" /Rip \"%L\"")},
        {CR, P + L".PlayAudioCD\\DefaultIcon", nullptr, T(exeIcon)},
        {CR, P + L".PlayAudioCD\\shell\\Play\\command", nullptr, T(Q(L) + L" /AudioCD \"%L\"")},
        {CR, P + L".PlayDVDVideo\\DefaultIcon", nullptr, T(exeIcon)},
        {CR, P + L".PlayDVDVideo\\shell\\Play\\command", nullptr, T(Q(L) + L" /DVDVideo \"%L\"")},
        {CR, P + L".PlayBluray\\DefaultIcon", nullptr, T(exeIcon)},
        {CR, P + L".PlayBluray\\shell\\Play\\command", nullptr, T(Q(L) + L" /Bluray \"%L\"")},
        {CR, P + L".Start\\DefaultIcon", nullptr, T(exeIcon)},
        {CR, P + L".Start\\shell\\Start\\command", nullptr, T(Q(L) + L" /Start")},
        {CR, P + L".PlayMedia\\DefaultIcon", nullptr, T(exeIcon)},
        {CR, P + L".PlayMedia\\shell\\Start\\command", nullptr, T(playCmd)},
        {CU, L"SOFTWARE\\Microsoft\\Keyboard\\Native Media Players\\" + N, L"AppName", T(N)},
        {CU, L"SOFTWARE\\Microsoft\\Keyboard\\Native Media Players\\" + N, L"ExePath", T(E)},
    };
    rows.insert(rows.end(), invoked.begin(), invoked.end());
    return rows;
}

CShellIdentity TestIdentity(const ArtFixture& art, const wchar_t* product, const wchar_t* launcher)
{
    CShellIdentity id;
    id.productName = product;
    id.versionDesignation = L"22";
    id.programFolder = art.Folder(L"Program");  // no trailing backslash: one is added
    id.mainProgramName = L"Auralis.exe";
    if (launcher && *launcher) {
        id.launcherName = launcher;
        id.launcherPath = art.Folder(L"Program\\") + launcher;
    }
    id.productExtension = L"qbx";
    id.art = art.Lookup();
    id.translate = Translated;
    return id;
}

// Removes what a run of the script leaves under keys shared between tests.
void ClearSharedKeys(const wchar_t* productName)
{
    RegDeleteTreeW(CU, kNetscape);
    DeleteInBothViews(LM, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoplayHandlers");
    RegDeleteTreeW(CU, (std::wstring(L"SOFTWARE\\Microsoft\\Keyboard\\Native Media Players\\") + productName).c_str());
}

}  // namespace

TEST(ShellScript, BuiltInScriptHasItsLinesInOrder)
{
    for (bool withLauncher : {true, false}) {
        SCOPED_TRACE(withLauncher ? "with launcher" : "without launcher");
        VLStringArray lines = BuildShellScript(withLauncher, Translated);
        std::vector<std::wstring> roots;
        int entries = 0;
        for (int i = 0; i < lines.GetCount(); ++i) {
            const VLString& line = lines[i];
            if (line.Find(L'|') < 0) {
                roots.push_back(W(line));
                continue;
            }
            ++entries;
            VLStringArray fields = CRegistryScript::SplitFields(line);
            EXPECT_EQ(fields.GetCount(), 5) << line.ToUtf8();
            EXPECT_EQ(fields[4], L"MODIFY") << line.ToUtf8();
            EXPECT_EQ(line.Find(L"Applications\\") >= 0, withLauncher && line.Find(L"[LAUNCHERNAME]") >= 0);
        }
        EXPECT_EQ(roots, (std::vector<std::wstring>{L"HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER",
                                                    L"HKEY_LOCAL_MACHINE", L"HKEY_CLASSES_ROOT",
                                                    L"HKEY_CURRENT_USER"}));
        EXPECT_EQ(entries, withLauncher ? 104 : 99);
    }

    // Lines quoted whole, as the script carries them.
    VLStringArray lines = BuildShellScript(true, Translated);
    auto has = [&lines](const wchar_t* text) { return lines.Find(text, true) >= 0; };
    EXPECT_TRUE(has(L"[PRODUCTWITHVERSION].Pack|BrowserFlags|8|DWORD|MODIFY"));
    EXPECT_TRUE(has(L"[AUTOPLAYKEY]CancelAutoplay\\CLSID|21369263-6C67-4a4d-9202-B34D2A5CBC85||STRING|MODIFY"));
    EXPECT_TRUE(has(L"[AUTOPLAYKEY]Handlers\\VLBurnCDOnArrival|Action|[de] Burn a CD or DVD|STRING|MODIFY"));
    EXPECT_TRUE(has(L"Software\\Netscape\\Netscape Navigator\\User Trusted External Applications|[LAUNCHERPATH]|Yes|"
                    L"STRING|MODIFY"));
    EXPECT_TRUE(has(L"SOFTWARE\\Microsoft\\Keyboard\\Native Media Players\\[PRODUCTNAME]|ExePath|[EXEPATH]|STRING|"
                    L"MODIFY"));
    EXPECT_EQ(W(lines[lines.GetCount() - 1]),
              L"SOFTWARE\\Microsoft\\Keyboard\\Native Media Players\\[PRODUCTNAME]|ExePath|[EXEPATH]|STRING|MODIFY");

    // A translation cannot add fields to a line.
    VLStringArray odd = BuildShellScript(true, [](const VLString&) { return VLString(L"a|b"); });
    for (int i = 0; i < odd.GetCount(); ++i) {
        if (odd[i].Find(L"|Action|") >= 0) {
            EXPECT_EQ(CRegistryScript::SplitFields(odd[i]).GetCount(), 5) << odd[i].ToUtf8();
        }
    }
}

TEST(ShellRegistration, IdentityFields)
{
    ArtFixture art;
    CShellIdentity id = TestIdentity(art, L" Auralis  Test ", L"AuralisLauncher.exe");
    CShellRegistration reg(id);
    EXPECT_FALSE(reg.GetApply());
    EXPECT_FALSE(reg.GetNotify());
    EXPECT_EQ(W(reg.GetProductWithVersion()), L"AuralisTest.22");
    EXPECT_EQ(reg.GetMainProgramPath(), art.Folder(L"Program\\") + L"Auralis.exe");
    EXPECT_EQ(W(reg.GetLauncherName()), L"AuralisLauncher.exe");
    EXPECT_EQ(W(reg.GetProductExtension()), L".qbx");

    id.productExtension = L".qbx";
    EXPECT_EQ(W(CShellRegistration(id).GetProductExtension()), L".qbx");
    id.productExtension = L"";
    EXPECT_EQ(W(CShellRegistration(id).GetProductExtension()), L".");
}

TEST(ShellRegistration, AppliedScriptWritesEveryValue)
{
    ArtFixture art;
    ClearSharedKeys(L"Auralis Test");
    {
        CShellRegistration reg(TestIdentity(art, L"Auralis Test", L"AuralisLauncher.exe"));
        reg.SetApply(true);
        reg.SetNotify(true);
    }

    const std::wstring programFolder = W(art.Folder(L"Program\\"));
    const std::wstring launcher = programFolder + L"AuralisLauncher.exe";
    // The file icon is the default art: the fixture has no custom fileimage.ico.
    std::vector<Row> rows = ExpectedRows(programFolder, programFolder + L"Data\\Default Art\\fileimage.ico", launcher);
    ASSERT_EQ(rows.size(), 104u);

    const REGSAM views[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
    for (const Row& r : rows) {
        const bool autoplay = r.key.rfind(kAutoplay, 0) == 0;
        for (REGSAM view : views) {
            // AutoPlay lines are in both views of 64-bit Windows; the rest in the program's own view.
            if (!autoplay && view != KEY_WOW64_64KEY)
                continue;
            EXPECT_EQ(ReadProbe(r.root, r.key.c_str(), r.name, view), r.want)
                << Describe(r.root, r.key.c_str(), r.name) << (view == KEY_WOW64_32KEY ? " [32-bit view]" : "");
        }
    }

    // The product's own keys hold nothing beyond the listed values.
    for (const Row& own : rows) {
        if (own.key.rfind(L"AuralisTest.22.", 0) != 0 && own.key.find(L"Handlers\\VL") == std::wstring::npos)
            continue;
        int listed = 0;
        for (const Row& r : rows)
            listed += r.root == own.root && r.key == own.key;
        EXPECT_EQ(CountValues(own.root, own.key.c_str()), listed) << Describe(own.root, own.key.c_str(), own.name);
    }
}

TEST(ShellRegistration, EmptyLauncherLeavesOutApplicationsAndNamesNothing)
{
    ArtFixture art;
    ClearSharedKeys(L"Quiet Player");
    const ProbeValue applicationsBefore = ReadProbe(CR, L"Applications", nullptr);
    {
        CShellRegistration reg(TestIdentity(art, L"Quiet Player", nullptr));
        EXPECT_EQ(reg.BuildScript().GetCount(), 104);  // 5 root lines and 99 entries
        reg.SetApply(true);
    }
    // The empty launcher path names the key's unnamed value.
    EXPECT_EQ(ReadProbe(CU, kNetscape, nullptr), ProbeValue::Text(L"Yes"));
    EXPECT_EQ(CountValues(CU, kNetscape), 1);
    // Lines with an empty token are still written.
    EXPECT_EQ(ReadProbe(CR, L"QuietPlayer.22.File\\shell\\open\\command", nullptr),
              ProbeValue::Text(L"\"\" /Play \"%L\""));
    EXPECT_EQ(ReadProbe(CR, L"Applications", nullptr), applicationsBefore);
    EXPECT_FALSE(KeyExists(CR, L"Applications\\Quiet Player"));
}

TEST(ShellRegistration, WithoutTheApplyFlagNothingIsWritten)
{
    ArtFixture art;
    RegDeleteTreeW(CR, L"IdleProduct.22.File");
    {
        CShellRegistration reg(TestIdentity(art, L"Idle Product", L"Idle.exe"));
        reg.SetNotify(true);  // notifying alone writes nothing
    }
    EXPECT_FALSE(KeyExists(CR, L"IdleProduct.22.File"));
    EXPECT_FALSE(KeyExists(CR, L"Applications\\Idle.exe"));
}

TEST(ShellRegistration, CustomArtIsPreferredForTheFileIcon)
{
    ArtFixture art;
    std::wstring custom = W(art.Folder(L"Program\\Data\\Custom Art\\")) + L"fileimage.ico";
    HANDLE h = CreateFileW(custom.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    {
        CShellRegistration reg(TestIdentity(art, L"Art Product", L"Art.exe"));
        reg.SetApply(true);
    }
    EXPECT_EQ(ReadProbe(CR, L"ArtProduct.22.File\\DefaultIcon", nullptr), ProbeValue::Text(Q(custom)));
    RegDeleteTreeW(CR, L"ArtProduct.22.File");
}

TEST(ShellRegistration, RunScriptUsesTheProductsTokens)
{
    ArtFixture art;
    CShellRegistration reg(TestIdentity(art, L"Token Product", L"Token.exe"));
    VLStringArray lines;
    lines.Add(L"HKEY_CURRENT_USER");
    lines.Add(L"Software\\VLScriptTest\\[PRODUCTWITHVERSION]|system|[SYSTEMDIR]|STRING|MODIFY");
    lines.Add(L"Software\\VLScriptTest\\[PRODUCTWITHVERSION]|current|[CURRENTDIR]|STRING|MODIFY");
    lines.Add(L"Software\\VLScriptTest\\[PRODUCTWITHVERSION]|install|[INSTALLDIR]|STRING|MODIFY");
    RegDeleteTreeW(CU, L"Software\\VLScriptTest");
    reg.RunScript(lines);

    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring exeFolder(exe);
    exeFolder.resize(exeFolder.rfind(L'\\') + 1);

    const wchar_t* key = L"Software\\VLScriptTest\\TokenProduct.22";
    EXPECT_EQ(ReadProbe(CU, key, L"system"), ProbeValue::Text(std::wstring(system) + L"\\"));
    EXPECT_EQ(ReadProbe(CU, key, L"current"), ProbeValue::Text(exeFolder));
    EXPECT_EQ(ReadProbe(CU, key, L"install"), ProbeValue::Text(W(art.Folder(L"Program\\"))));
    RegDeleteTreeW(CU, L"Software\\VLScriptTest");
}
