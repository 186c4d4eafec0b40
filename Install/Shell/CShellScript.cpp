#include "CShellScript.h"

namespace {

const wchar_t kOpenWithLauncher[] = L"\"[LAUNCHERPATH]\" /Play \"%L\"";
const wchar_t kFileIcon[] = L"\"[CUSTOMART]fileimage.ico\"";
const wchar_t kExeIcon[] = L"\"[EXEPATH]\",1";

class ScriptWriter {
public:
    explicit ScriptWriter(VLStringArray& lines) : m_lines(lines) {}

    void Root(const wchar_t* root) { m_lines.Add(VLString(root)); }

    // "key|name|data|type|MODIFY"
    void Entry(const VLString& key, const VLString& name, const VLString& data, const wchar_t* type = L"STRING")
    {
        VLString line = key;
        line += L'|';
        line += name;
        line += L'|';
        line += data;
        line += L'|';
        line += type;
        line += L"|MODIFY";
        m_lines.Add(line);
    }

    void Default(const VLString& key, const VLString& data) { Entry(key, L"Default", data); }

private:
    VLStringArray& m_lines;
};

VLString Join(const wchar_t* a, const wchar_t* b)
{
    VLString s(a);
    s += b;
    return s;
}

// The play-handler skeleton shared by the ".File" ProgID and the
// "Applications" entry of the launcher.
void PlayKeys(ScriptWriter& w, const VLString& key)
{
    w.Default(key, L"[PRODUCTNAME] file");
    w.Default(key + L"\\shell", L"Play");
    w.Default(key + L"\\shell\\open\\command", kOpenWithLauncher);
    w.Default(key + L"\\shell\\Play", L"&Play in [PRODUCTNAME]");
    w.Default(key + L"\\shell\\Play\\command", kOpenWithLauncher);
}

struct HandlerProgId {
    const wchar_t* suffix;
    const wchar_t* contentType;  // null: none
    const wchar_t* command;
    const wchar_t* icon;
};

const HandlerProgId kHandlerProgIds[] = {
    {L".Pack", L"application/x-quenbox-qbp", L"\"[INSTALLDIR]PackageInstaller.exe\" /Install \"%L\"",
     L"\"[INSTALLDIR]PackageInstaller.exe\",1"},
    {L".Playlist", L"application/x-quenbox-mpl", kOpenWithLauncher, kFileIcon},
    {L".Subscribe", nullptr, L"\"[LAUNCHERPATH]\" /Subscribe \"%L\"", kFileIcon},
    {L".Mime", nullptr, L"\"[LAUNCHERPATH]\" /Mime \"%L\"", kFileIcon},
};

struct MimeLine {
    const wchar_t* key;
    const wchar_t* name;
    const wchar_t* data;
};

// The first two keys say "MIME", the last three "Mime"; the registry does not
// care, and the lines keep the spelling they have always had.
const MimeLine kMimeLines[] = {
    {L"MIME\\Database\\Content Type\\application/podcast+xml", L"Extension", L".podcast"},
    {L"MIME\\Database\\Content Type\\application/rss+xml", L"Extension", L".rss"},
    {L".qbp", L"Default", L"[PRODUCTWITHVERSION].Pack"},
    {L".mpl", L"Default", L"[PRODUCTWITHVERSION].Playlist"},
    {L".qbs", L"Default", L"[PRODUCTWITHVERSION].Pack"},
    {L"Mime\\Database\\Content Type\\application/x-quenbox-qbp", L"Extension", L".qbp"},
    {L"Mime\\Database\\Content Type\\application/x-quenbox-mpl", L"Extension", L".mpl"},
    {L"Mime\\Database\\Content Type\\application/x-quenbox-qba", L"Extension", L".qba"},
};

struct AutoplayHandler {
    const wchar_t* name;
    const wchar_t* events[3];  // null-terminated when shorter
    const wchar_t* action;     // translated before use
    const wchar_t* progIdName;
    const wchar_t* progId;
    const wchar_t* verb;
    bool initCmdLine;
};

const AutoplayHandler kAutoplayHandlers[] = {
    {L"VLMTPHandler", {L"MTPMediaPlayerArrival"}, L"Synchronize media files to this device", L"ProgID",
     L"Shell.HWEventHandlerShellExecute", L"Start", true},
    {L"VLBurnCDOnArrival", {L"HandleCDBurningOnArrival"}, L"Burn a CD or DVD", L"InvokeProgID",
     L"[PRODUCTWITHVERSION].BurnCD", L"Burn", false},
    {L"VLCDAudioOnArrival", {L"PlayCDAudioOnArrival"}, L"Play an audio CD", L"InvokeProgID",
     L"[PRODUCTWITHVERSION].PlayAudioCD", L"Play", false},
    {L"VLRipCDOnArrival", {L"PlayCDAudioOnArrival"}, L"Rip an audio CD", L"InvokeProgID",
     L"[PRODUCTWITHVERSION].Rip", L"Start", false},
    {L"VLPlayDVDOnArrival", {L"PlayDVDMovieOnArrival"}, L"Play DVD Video", L"InvokeProgID",
     L"[PRODUCTWITHVERSION].PlayDVDVideo", L"Play", false},
    {L"VLPlayBlurayOnArrival", {L"PlayBluRayOnArrival"}, L"Play Blu-ray", L"InvokeProgID",
     L"[PRODUCTWITHVERSION].PlayBluray", L"Play", false},
    {L"VLPlayMediaOnArrival", {L"PlayMusicFilesOnArrival", L"ShowPicturesOnArrival", L"PlayVideoFilesOnArrival"},
     L"Play Media", L"InvokeProgID", L"[PRODUCTWITHVERSION].PlayMedia", L"Play", false},
};

struct InvokedProgId {
    const wchar_t* suffix;
    const wchar_t* verbKey;
    const wchar_t* command;
};

const InvokedProgId kInvokedProgIds[] = {
    {L".BurnCD", L"shell\\Burn\\command", L"\"[LAUNCHERPATH]\" /Burn \"%L\""},
    {L".Rip", L"shell\\Start\\command", L"\"[LAUNCHERPATH]\" /Rip \"%L\""},
    {L".PlayAudioCD", L"shell\\Play\\command", L"\"[LAUNCHERPATH]\" /AudioCD \"%L\""},
    {L".PlayDVDVideo", L"shell\\Play\\command", L"\"[LAUNCHERPATH]\" /DVDVideo \"%L\""},
    {L".PlayBluray", L"shell\\Play\\command", L"\"[LAUNCHERPATH]\" /Bluray \"%L\""},
    {L".Start", L"shell\\Start\\command", L"\"[LAUNCHERPATH]\" /Start"},
    {L".PlayMedia", L"shell\\Start\\command", L"\"[LAUNCHERPATH]\" /Play \"%L\""},
};

}  // namespace

VLStringArray BuildShellScript(bool withLauncher, const CTranslateFn& translate)
{
    VLStringArray lines;
    ScriptWriter w(lines);

    // Block 1: the product's ProgIDs, handlers and MIME entries.
    w.Root(L"HKEY_CLASSES_ROOT");
    const VLString file(L"[PRODUCTWITHVERSION].File");
    PlayKeys(w, file);
    w.Default(file + L"\\DefaultIcon", kFileIcon);
    if (withLauncher)
        PlayKeys(w, VLString(L"Applications\\[LAUNCHERNAME]"));

    for (const HandlerProgId& h : kHandlerProgIds) {
        const VLString key = Join(L"[PRODUCTWITHVERSION]", h.suffix);
        w.Default(key, key);
        w.Entry(key, L"BrowserFlags", L"8", L"DWORD");
        w.Entry(key, L"EditFlags", L"65536", L"DWORD");
        if (h.contentType)
            w.Entry(key, L"Content Type", h.contentType);
        w.Default(key + L"\\shell\\open\\command", h.command);
        w.Default(key + L"\\DefaultIcon", h.icon);
    }
    for (const MimeLine& m : kMimeLines)
        w.Entry(m.key, m.name, m.data);

    // Block 2: lets the old Netscape browser hand files to the launcher.
    w.Root(L"HKEY_CURRENT_USER");
    w.Entry(L"Software\\Netscape\\Netscape Navigator\\User Trusted External Applications", L"[LAUNCHERPATH]",
            L"Yes");

    // Block 3: AutoPlay. These lines go to both registry views on 64-bit Windows.
    w.Root(L"HKEY_LOCAL_MACHINE");
    w.Entry(L"[AUTOPLAYKEY]CancelAutoplay\\CLSID", L"21369263-6C67-4a4d-9202-B34D2A5CBC85", L"");
    for (const AutoplayHandler& h : kAutoplayHandlers) {
        for (const wchar_t* event : h.events) {
            if (event)
                w.Entry(Join(L"[AUTOPLAYKEY]EventHandlers\\", event), h.name, L"");
        }
        const VLString key = Join(L"[AUTOPLAYKEY]Handlers\\", h.name);
        VLString action = translate ? translate(VLString(h.action)) : VLString(h.action);
        // A "|" in a translation would shift the fields and lose the line.
        action.Replace(L'|', L' ');
        w.Entry(key, L"Action", action);
        w.Entry(key, L"DefaultIcon", kFileIcon);
        w.Entry(key, h.progIdName, h.progId);
        w.Entry(key, L"InvokeVerb", h.verb);
        w.Entry(key, L"Provider", L"[PRODUCTNAME]");
        if (h.initCmdLine)
            w.Entry(key, L"InitCmdLine", L"\"[EXEPATH]\"");
    }

    // Block 4: the ProgIDs the AutoPlay handlers invoke.
    w.Root(L"HKEY_CLASSES_ROOT");
    for (const InvokedProgId& p : kInvokedProgIds) {
        const VLString key = Join(L"[PRODUCTWITHVERSION]", p.suffix);
        w.Default(key + L"\\DefaultIcon", kExeIcon);
        w.Default(key + L"\\" + p.verbKey, p.command);
    }

    // Block 5: the media-keyboard entry.
    w.Root(L"HKEY_CURRENT_USER");
    const VLString keyboard(L"SOFTWARE\\Microsoft\\Keyboard\\Native Media Players\\[PRODUCTNAME]");
    w.Entry(keyboard, L"AppName", L"[PRODUCTNAME]");
    w.Entry(keyboard, L"ExePath", L"[EXEPATH]");
    return lines;
}
