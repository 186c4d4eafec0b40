// The shell identity as filled from the product tools module's interface.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "CShellIdentity.h"
#include "CShellRegistration.h"
#include "VLToolsInterface.h"

namespace {

std::wstring W(const VLString& s)
{
    return std::wstring(s.GetString(), s.GetLength());
}

// Answers like the product document of a product "Auralis Test".
struct FakeProductInfo final : IVLProductInfo {
    const wchar_t* launcherPath = L"Auralis Launcher.exe";
    const wchar_t* extension = L"qbx";

    static bool Answer(IVLTextSink& out, const wchar_t* text)
    {
        out.Set(text, -1);
        return true;
    }
    bool GetName(int form, IVLTextSink& out) override
    {
        return form == 2 ? Answer(out, L"Auralis Test") : Answer(out, L"Auralis Test 22");
    }
    bool GetVersion(IVLTextSink& out) override { return Answer(out, L"22"); }
    bool GetWebAddress(IVLTextSink& out) override { return false; }
    bool GetMainProgram(IVLTextSink& out) override { return Answer(out, L"Auralis.exe"); }
    bool GetLauncherName(IVLTextSink& out) override { return Answer(out, L"Auralis Launcher.exe"); }
    bool GetLauncherPath(IVLTextSink& out) override { return Answer(out, launcherPath); }
    bool GetStartMenuFolder(IVLTextSink& out) override { return false; }
    bool GetFileExtension(IVLTextSink& out) override { return Answer(out, extension); }
    void GetMimeTypes(IVLListSink&) override {}
    void GetProtocols(IVLListSink&) override {}
    bool GetText(int, IVLTextSink&) override { return false; }
    bool HasFeature(int) override { return false; }
    void GetValue(const wchar_t*, const wchar_t* defaultValue, IVLTextSink& out) override { out.Set(defaultValue, -1); }
    int GetValueInt(const wchar_t*, int defaultValue) override { return defaultValue; }
    bool IsRunning() override { return false; }
    HWND GetMainWindow() override { return nullptr; }
    bool CloseRunning(DWORD) override { return true; }
};

struct FakeLanguage final : IVLLanguage {
    void Translate(const wchar_t* text, IVLTextSink& out) override
    {
        std::wstring t = std::wstring(L"<") + text + L">";
        out.Set(t.c_str(), static_cast<int>(t.size()));
    }
    void GetLanguageName(IVLTextSink& out) override { out.Set(L"Test", -1); }
    bool ShowLanguageSelection(HWND) override { return false; }
};

}  // namespace

TEST(ShellIdentity, FilledFromTheProductModule)
{
    FakeProductInfo info;
    FakeLanguage language;
    CShellIdentity id = CShellIdentity::FromProduct(&info, &language, L"C:\\Program Files\\Auralis", L"D:\\Package\\");
    EXPECT_EQ(W(id.programFolder), L"C:\\Program Files\\Auralis\\");
    // A launcher given relative to the program folder becomes a full path.
    EXPECT_EQ(W(id.launcherPath), L"C:\\Program Files\\Auralis\\Auralis Launcher.exe");
    EXPECT_EQ(W(id.launcherName), L"Auralis Launcher.exe");
    ASSERT_TRUE(id.translate);
    EXPECT_EQ(W(id.translate(L"Play Media")), L"<Play Media>");
    ASSERT_EQ(id.art.GetDataFolders().GetCount(), 2);
    EXPECT_EQ(W(id.art.GetDataFolders()[0]), L"C:\\Program Files\\Auralis\\Data\\");
    EXPECT_EQ(W(id.art.GetDataFolders()[1]), L"D:\\Package\\Quenbox\\Data\\");

    CShellRegistration reg(id);
    EXPECT_EQ(W(reg.GetProductWithVersion()), L"AuralisTest.22");
    EXPECT_EQ(W(reg.GetMainProgramPath()), L"C:\\Program Files\\Auralis\\Auralis.exe");
    EXPECT_EQ(W(reg.GetProductExtension()), L".qbx");

    // Full and empty launcher paths are taken as they are.
    info.launcherPath = L"E:\\Other\\Launch.exe";
    EXPECT_EQ(W(CShellIdentity::FromProduct(&info, nullptr, L"C:\\P\\", L"").launcherPath), L"E:\\Other\\Launch.exe");
    info.launcherPath = L"";
    CShellIdentity noLauncher = CShellIdentity::FromProduct(&info, nullptr, L"C:\\P\\", L"");
    EXPECT_EQ(W(noLauncher.launcherPath), L"");
    EXPECT_FALSE(noLauncher.translate);
    EXPECT_EQ(CShellRegistration(noLauncher).BuildScript().GetCount(), 104);  // no "Applications" lines
}
