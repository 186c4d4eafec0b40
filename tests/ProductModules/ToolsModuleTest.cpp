// The product tools module as the installer sees it: the real DLL loaded
// from a package folder, answering product information, values by path and
// feature switches, the settings store, translation, boxes, text and file
// services and named locks.
#include "VLTestAutomation.h"
#include "VLTestFiles.h"
#include "VLToolsInterface.h"

#include "VLString.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace vltest;

namespace {

const std::wstring kPackage = L"C:\\vl-tools-test\\";
const std::wstring kModuleFolder = kPackage + L"Quenbox\\";
const wchar_t* const kSettingsKey = L"Software\\Velmora Labs\\VLToolsTest";

struct Text final : IVLTextSink {
    std::wstring value = L"<unset>";
    void Set(const wchar_t* t, int n) override { value = n < 0 ? std::wstring(t) : std::wstring(t, n); }
};

struct List final : IVLListSink {
    std::vector<std::wstring> items;
    std::vector<DWORD> types;
    void Add(const wchar_t* t, int n, DWORD type) override
    {
        items.emplace_back(t, n);
        types.push_back(type);
    }
};

void WriteFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << VLString(path.c_str()).ToUtf8();
    DWORD written = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

std::wstring BuiltModule()
{
    const char* build = std::getenv("VL_BUILD_DIR");
    std::wstring path = L"Z:";
    for (const char* p = build != nullptr ? build : ""; *p; ++p)
        path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    return path + L"\\ProductModules\\NuvicoreTools.dll";
}

const char* const kProductDocument =
    "\xEF\xBB\xBF; test product\r\n"
    "Name0=Auralis\r\nName1=Auralis 22\r\nName2=Auralis\r\nName3=Auralis 22\r\nName5=Velmora Auralis 22\r\n"
    "Version=22.0.1.1805\r\nWebAddress=https://www.velmora.example/\r\nMainProgram=Auralis.exe\r\n"
    "LauncherName=Auralis Launcher.exe\r\nLauncherPath=Auralis Launcher.exe\r\nStartMenuFolder=Auralis 22\r\n"
    "FileExtension=qbx\r\nMimeTypes=audio/x-qbx; application/x-qbp\r\nProtocols=qbx\r\n"
    "Text15=https://dl.velmora.example/\r\nSettingsKey=Software\\Velmora Labs\\VLToolsTest\r\nLanguage=Deutsch\r\n";

// One package folder and one loaded module for the whole program: the
// module keeps its product for the process's life, as in the installer.
class ToolsModule : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        DeleteTree(kPackage);
        CreateDirectoryW(kPackage.c_str(), nullptr);
        CreateDirectoryW(kModuleFolder.c_str(), nullptr);
        CreateDirectoryW((kModuleFolder + L"Languages").c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(BuiltModule().c_str(), (kModuleFolder + L"NuvicoreTools.dll").c_str(), FALSE))
            << VLString(BuiltModule().c_str()).ToUtf8();
        WriteFile(kModuleFolder + L"Product.ini", kProductDocument);
        WriteFile(kModuleFolder + L"Languages\\Deutsch.txt",
                  "Cancel=Abbrechen\nYes=Ja\nNo=Nein\nLine\\r\\nbreak=Zeilen\\r\\numbruch\nA\\=B=A gleich B\n");
        WriteFile(kPackage + L"Install.xml",
                  "<?xml version=\"1.0\"?>\n<VLIC version=\"1.0\">\n"
                  "<Installer><ShowLanguageSelection>1</ShowLanguageSelection><PromoCount> 7 </PromoCount>"
                  "<Empty></Empty></Installer>\n"
                  "<General><MegaSkin>Blue &amp; Gold</MegaSkin></General>\n"
                  "<Product><Features>18; 173;176</Features></Product>\n</VLIC>\n");
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey);
        s_module = LoadLibraryW((kModuleFolder + L"NuvicoreTools.dll").c_str());
        ASSERT_NE(s_module, nullptr);
        auto entry = reinterpret_cast<VLGetToolsFn>(reinterpret_cast<void*>(GetProcAddress(s_module, kVLToolsEntryName)));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry(kVLToolsInterfaceVersion + 1), nullptr);  // a newer host is refused
        s_tools = entry(kVLToolsInterfaceVersion);
        ASSERT_NE(s_tools, nullptr);
        Text error;
        ASSERT_TRUE(s_tools->LoadProduct(L"", error)) << VLString(error.value.c_str()).ToUtf8();
    }
    static void TearDownTestSuite()
    {
        if (s_tools != nullptr)
            s_tools->Detach(GetModuleHandleW(nullptr));
        if (s_module != nullptr)
            FreeLibrary(s_module);
        DeleteTree(kPackage);
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey);
    }

    static std::wstring Answer(bool (IVLProductInfo::*get)(IVLTextSink&))
    {
        Text t;
        (s_tools->GetProductInfo()->*get)(t);
        return t.value;
    }

    static HMODULE s_module;
    static IVLTools* s_tools;
};
HMODULE ToolsModule::s_module = nullptr;
IVLTools* ToolsModule::s_tools = nullptr;

}  // namespace

TEST_F(ToolsModule, AnswersProductInformationFromTheProductDocument)
{
    IVLProductInfo* info = s_tools->GetProductInfo();
    ASSERT_NE(info, nullptr);
    struct Case {
        int form;
        const wchar_t* want;  // nullptr: not a name form
    };
    const Case names[] = {{0, L"Auralis"}, {1, L"Auralis 22"}, {2, L"Auralis"}, {3, L"Auralis 22"},
                          {4, nullptr},     {5, L"Velmora Auralis 22"}, {6, nullptr}, {-1, nullptr}};
    for (const Case& c : names) {
        Text t;
        EXPECT_EQ(info->GetName(c.form, t), c.want != nullptr) << c.form;
        if (c.want != nullptr) {
            EXPECT_EQ(t.value, c.want) << c.form;
        }
    }
    EXPECT_EQ(Answer(&IVLProductInfo::GetVersion), L"22.0.1.1805");
    EXPECT_EQ(Answer(&IVLProductInfo::GetLauncherName), L"Auralis Launcher.exe");
    EXPECT_EQ(Answer(&IVLProductInfo::GetMainProgram), L"Auralis.exe");
    EXPECT_EQ(Answer(&IVLProductInfo::GetFileExtension), L"qbx");
    List mime;
    info->GetMimeTypes(mime);
    EXPECT_EQ(mime.items, (std::vector<std::wstring>{L"audio/x-qbx", L"application/x-qbp"}));
    Text text15, text16;
    EXPECT_TRUE(info->GetText(15, text15));
    EXPECT_EQ(text15.value, L"https://dl.velmora.example/");
    EXPECT_FALSE(info->GetText(16, text16));
    EXPECT_FALSE(info->IsRunning());
    EXPECT_TRUE(info->CloseRunning(100));  // nothing to close
}

TEST_F(ToolsModule, AnswersValuesByPathAndFeaturesFromInstallXml)
{
    IVLProductInfo* info = s_tools->GetProductInfo();
    EXPECT_EQ(info->GetValueInt(L"/*/Installer/ShowLanguageSelection", 0), 1);
    EXPECT_EQ(info->GetValueInt(L"/*/Installer/PromoCount", 0), 7);
    EXPECT_EQ(info->GetValueInt(L"/*/Installer/PromoMinimumMilliseconds", 1000), 1000);  // absent: default
    EXPECT_EQ(info->GetValueInt(L"/*/Installer/Empty", 5), 5);
    Text skin, key, empty;
    info->GetValue(L"/*/General/MegaSkin", L"", skin);
    EXPECT_EQ(skin.value, L"Blue & Gold");
    info->GetValue(L"/*/General/MegaSkinKey", L"Standard View Skin", key);
    EXPECT_EQ(key.value, L"Standard View Skin");
    info->GetValue(L"/*/Installer/Empty", L"dflt", empty);
    EXPECT_EQ(empty.value, L"dflt");
    for (int feature : {18, 173, 176})
        EXPECT_TRUE(info->HasFeature(feature)) << feature;
    for (int feature : {17, 22, 0, 1760})
        EXPECT_FALSE(info->HasFeature(feature)) << feature;
}

TEST_F(ToolsModule, SettingsSectionsLiveUnderTheProductsKeyPerScope)
{
    IVLSettings* settings = s_tools->GetSettings();
    struct Scope {
        int scope;
        HKEY root;
    };
    for (const Scope& s : {Scope{kVLScopeUser, HKEY_CURRENT_USER}, Scope{kVLScopeMachine, HKEY_LOCAL_MACHINE}}) {
        IVLSection* section = settings->OpenSection(L"Installer\\Finalize", s.scope);
        ASSERT_NE(section, nullptr);
        EXPECT_TRUE(section->SetInt(L"Install - Install Count", 3));
        EXPECT_TRUE(section->SetText(L"0", L"C:\\a.dll|_REGISTERFILE"));
        EXPECT_TRUE(section->SetTextOfKind(L"Path", L"%ProgramFiles%\\X", 2));
        EXPECT_EQ(section->GetInt(L"Install - Install Count", 0), 3);
        EXPECT_EQ(section->GetInt(L"0", -1), 0);  // text that is no number
        EXPECT_EQ(section->GetInt(L"missing", -1), -1);
        Text t, missing, path;
        section->GetText(L"0", L"", t);
        EXPECT_EQ(t.value, L"C:\\a.dll|_REGISTERFILE");
        section->GetText(L"missing", L"dflt", missing);
        EXPECT_EQ(missing.value, L"dflt");
        section->GetPath(path);
        EXPECT_EQ(path.value, std::wstring(kSettingsKey) + L"\\Installer\\Finalize");

        // The values are real registry values under the scope's root.
        DWORD type = 0, count = 0, size = sizeof count;
        std::wstring key = std::wstring(kSettingsKey) + L"\\Installer\\Finalize";
        EXPECT_EQ(RegGetValueW(s.root, key.c_str(), L"Install - Install Count", RRF_RT_ANY, &type, &count, &size), 0);
        EXPECT_EQ(count, 3u);
        RegGetValueW(s.root, key.c_str(), L"Path", RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr);
        EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));

        List values;
        section->ListValues(values);
        EXPECT_EQ(values.items.size(), 3u);
        EXPECT_TRUE(section->RemoveValue(L"0"));
        EXPECT_TRUE(section->RemoveValue(L"0"));  // absent counts as removed
        EXPECT_TRUE(section->RemoveAllValues());
        List none;
        section->ListValues(none);
        EXPECT_TRUE(none.items.empty());
        section->Release();

        IVLSection* root = settings->OpenSection(L"", s.scope);
        ASSERT_NE(root, nullptr);
        EXPECT_TRUE(root->CreateSection(L"CD Writer\\Deep"));
        List sections;
        root->ListSections(sections);
        EXPECT_NE(std::find(sections.items.begin(), sections.items.end(), L"CD Writer"), sections.items.end());
        EXPECT_TRUE(root->RemoveSection(L"CD Writer"));  // with what is below it
        EXPECT_TRUE(root->RemoveSection(L"CD Writer"));
        root->Release();
    }
    EXPECT_EQ(settings->OpenSection(L"Installer", 2), nullptr);  // no such scope
}

TEST_F(ToolsModule, ImportsDefaultSettingsFromAFolder)
{
    const std::wstring folder = kPackage + L"Library\\Settings\\";
    CreateDirectoryW((kPackage + L"Library").c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    WriteFile(folder + L"Defaults.settings",
              "; defaults\n[Properties]\nGeneral - Volume=dword:80\nLibrary Name = Music \n[DLNA\\Servers]\nA=B\n");
    WriteFile(folder + L"TV Shared Settings.ini", "[Properties]\nNot=Imported\n");
    EXPECT_TRUE(s_tools->GetSettings()->ImportDefaults(folder.c_str()));
    IVLSection* properties = s_tools->GetSettings()->OpenSection(L"Properties", kVLScopeUser);
    ASSERT_NE(properties, nullptr);
    EXPECT_EQ(properties->GetInt(L"General - Volume", 0), 80);
    Text name, notImported;
    properties->GetText(L"Library Name", L"", name);
    EXPECT_EQ(name.value, L"Music");
    properties->GetText(L"Not", L"absent", notImported);
    EXPECT_EQ(notImported.value, L"absent");
    properties->Release();
    EXPECT_FALSE(s_tools->GetSettings()->ImportDefaults((kPackage + L"NoSuchFolder\\").c_str()));
}

TEST_F(ToolsModule, RegistryKeysOfferTheSectionInterface)
{
    IVLSettings* settings = s_tools->GetSettings();
    EXPECT_EQ(settings->OpenRegistryKey(HKEY_LOCAL_MACHINE, L"Software\\VLToolsTestKey\\Missing", false), nullptr);
    IVLSection* key = settings->OpenRegistryKey(HKEY_LOCAL_MACHINE, L"Software\\VLToolsTestKey", true);
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->SetInt(L"N", 5));
    List values;
    key->ListValues(values);
    ASSERT_EQ(values.items.size(), 1u);
    EXPECT_EQ(values.types[0], static_cast<DWORD>(REG_DWORD));
    key->Release();
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\VLToolsTestKey");
}

TEST_F(ToolsModule, TranslatesThroughTheLanguageTable)
{
    IVLLanguage* language = s_tools->GetLanguage();
    Text name;
    language->GetLanguageName(name);
    EXPECT_EQ(name.value, L"Deutsch");  // the document's language
    struct Case {
        const wchar_t* source;
        const wchar_t* want;
    };
    const Case cases[] = {
        {L"Cancel", L"Abbrechen"},
        {L"Line\r\nbreak", L"Zeilen\r\numbruch"},
        {L"A=B", L"A gleich B"},
        {L"cancel", L"cancel"},  // no entry: unchanged
        {L"", L""},
    };
    for (const Case& c : cases) {
        Text t;
        language->Translate(c.source, t);
        EXPECT_EQ(t.value, c.want) << VLString(c.source).ToUtf8();
    }
}

TEST_F(ToolsModule, BoxesAreRealDialogsAnsweredFromOutside)
{
    struct Case {
        std::vector<const wchar_t*> buttons;
        const wchar_t* press;  // nullptr: Escape
        int want;
    };
    const Case cases[] = {
        {{L"Retry", L"Cancel"}, L"Retry", 0},
        {{L"Retry", L"Cancel"}, L"Cancel", 1},
        {{L"Restart", L"Cancel"}, nullptr, 1},  // Escape is the cancelling choice
        {{L"OK"}, L"OK", 0},
        {{L"A", L"B", L"C", L"D"}, L"C", 2},
    };
    for (const Case& c : cases) {
        DialogContent seen;
        std::thread answer([&] {
            HWND box = WaitForWindowOf(GetCurrentProcessId(), L"#32770", 20000);
            if (box == nullptr)
                return;
            seen = ReadDialog(box);
            if (c.press != nullptr)
                PressButton(seen, c.press);
            else
                CancelDialog(box);
        });
        int pressed = s_tools->GetMessages()->ShowBox(nullptr, L"Copy Error", L"Could not copy\r\nC:\\a.dll",
                                                      c.buttons.data(), static_cast<int>(c.buttons.size()));
        answer.join();
        EXPECT_EQ(pressed, c.want);
        EXPECT_EQ(seen.caption, L"Copy Error");
        EXPECT_EQ(seen.text, L"Could not copy\r\nC:\\a.dll");
        ASSERT_EQ(seen.buttons.size(), c.buttons.size());
        for (size_t i = 0; i < c.buttons.size(); ++i)
            EXPECT_EQ(seen.buttons[i].caption, c.buttons[i]);
    }
    EXPECT_EQ(s_tools->GetMessages()->ShowBox(nullptr, L"x", L"y", nullptr, 0), -1);

    // The Yes/No form, with translated captions.
    for (int want : {IDYES, IDNO}) {
        std::thread answer([want] {
            HWND box = WaitForWindowOf(GetCurrentProcessId(), L"#32770", 20000);
            if (box != nullptr)
                PressButton(ReadDialog(box), want == IDYES ? L"Ja" : L"Nein");
        });
        EXPECT_EQ(s_tools->GetMessages()->ShowYesNo(nullptr, L"Question", L"Go on?"), want);
        answer.join();
    }
}

TEST_F(ToolsModule, TextServicesSearchAndCompare)
{
    IVLToolsTextServices* text = s_tools->GetTextServices();
    EXPECT_EQ(text->FindNoCase(L"C:\\Program Files\\HOVAN\\x.exe", L"hovan", 0), 17);
    EXPECT_EQ(text->FindNoCase(L"abcABC", L"abc", 1), 3);
    EXPECT_EQ(text->FindNoCase(L"abc", L"x", 0), -1);
    EXPECT_EQ(text->FindNoCase(L"abc", L"a", 9), -1);
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        int want;
    };
    const Case mode4[] = {
        {L"file2.mp3", L"file10.mp3", -1}, {L"File10", L"file9", 1}, {L"abc", L"ABD", -1}, {L"ABD", L"abc", 1},
        {L"a", L"b", -1},                  {L"a2b", L"a10a", -1},
    };
    for (const Case& c : mode4)
        EXPECT_EQ(text->Compare(c.a, c.b, 4), c.want) << VLString(c.a).ToUtf8() << " " << VLString(c.b).ToUtf8();
}

TEST_F(ToolsModule, FileServicesAndNamedLocks)
{
    IVLFileServices* files = s_tools->GetFileServices();
    const std::wstring deep = kPackage + L"a\\b\\c\\";
    EXPECT_FALSE(files->FolderExists(deep.c_str()));
    EXPECT_TRUE(files->CreateFolder(deep.c_str()));
    EXPECT_TRUE(files->FolderExists(deep.c_str()));
    EXPECT_TRUE(files->FolderExists((kPackage + L"a\\b").c_str()));
    EXPECT_FALSE(files->FolderExists((kModuleFolder + L"Product.ini").c_str()));  // a file is no folder

    IVLNamedLock* lock = s_tools->CreateNamedLock(L"Post String Lock - VLTest");
    ASSERT_NE(lock, nullptr);
    ASSERT_TRUE(lock->Lock(1000));
    bool otherGotIt = true;
    std::thread other([&] {
        IVLNamedLock* second = s_tools->CreateNamedLock(L"Post String Lock - VLTest");
        otherGotIt = second != nullptr && second->Lock(100);
        if (second != nullptr)
            second->Release();
    });
    other.join();
    EXPECT_FALSE(otherGotIt);
    lock->Unlock();
    std::thread after([&] {
        IVLNamedLock* second = s_tools->CreateNamedLock(L"Post String Lock - VLTest");
        otherGotIt = second != nullptr && second->Lock(100);
        if (second != nullptr)
            second->Release();
    });
    after.join();
    EXPECT_TRUE(otherGotIt);
    lock->Release();

    Text now;
    s_tools->GetLocalDateTime(now);
    ASSERT_EQ(now.value.size(), 19u);
    EXPECT_EQ(now.value[4], L'-');
    EXPECT_EQ(now.value[10], L' ');
    EXPECT_EQ(now.value[13], L':');
}

TEST_F(ToolsModule, FindsAndClosesARunningCopyByItsMainWindow)
{
    IVLProductInfo* info = s_tools->GetProductInfo();
    EXPECT_FALSE(info->IsRunning());
    HWND created = nullptr;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // A stand-in product window on its own thread, which pumps its messages.
    std::thread product([&] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QBFrame";
        RegisterClassW(&wc);
        created = CreateWindowExW(0, L"QBFrame", L"Auralis", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                  wc.hInstance, nullptr);
        SetEvent(ready);
        MSG msg;
        while (IsWindow(created) && GetMessageW(&msg, nullptr, 0, 0) > 0)
            DispatchMessageW(&msg);
        UnregisterClassW(L"QBFrame", wc.hInstance);
    });
    WaitForSingleObject(ready, 10000);
    CloseHandle(ready);
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(info->IsRunning());
    EXPECT_EQ(info->GetMainWindow(), created);
    EXPECT_TRUE(info->CloseRunning(10000));
    EXPECT_FALSE(info->IsRunning());
    product.join();
}

TEST_F(ToolsModule, MessagePumpDispatchesAndLeavesQuitToTheLoop)
{
    static int s_seen = 0;
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_APP + 7)
            s_seen += static_cast<int>(wp);
        return DefWindowProcW(w, m, wp, lp);
    };
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VLPumpProbe";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, L"VLPumpProbe", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_APP + 7, 2, 0);
    PostMessageW(window, WM_APP + 7, 3, 0);
    EXPECT_TRUE(s_tools->PumpMessages());
    EXPECT_EQ(s_seen, 5);

    PostQuitMessage(42);
    EXPECT_FALSE(s_tools->PumpMessages());  // sees the quit and leaves it queued
    EXPECT_EQ(s_tools->RunMessageLoop(), 42);
    DestroyWindow(window);
    UnregisterClassW(L"VLPumpProbe", wc.hInstance);
}
