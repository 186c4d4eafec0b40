// The engine's host over the real product tools module: product information,
// and the records written through its settings store and registry keys.
#include "EngineTestSupport.h"
#include "ProductRecords.h"
#include "ToolsEngineHost.h"
#include "VLFileSystem.h"
#include "VLHandle.h"

#include <windows.h>

#include <cstdlib>

namespace {

const wchar_t kSettingsKey[] = L"Software\\Velmora Labs\\VLEngineTest";
const char kProductDocument[] =
    "Name0=Auralis\r\nName1=Auralis 22\r\nName2=Auralis\r\nName3=Auralis 22 Engine Test\r\nName5=Velmora Auralis 22\r\n"
    "Version=22.0.1.1805\r\nWebAddress=https://www.velmora.example/\r\nMainProgram=Nuvicore.exe\r\n"
    "LauncherName=Nuvicore Launcher.exe\r\nLauncherPath=Nuvicore Launcher.exe\r\n"
    "SettingsKey=Software\\Velmora Labs\\VLEngineTest\r\n";

VLString ToolsModulePath()
{
    const char* build = std::getenv("VL_BUILD_DIR");
    std::string unix = build ? build : "";
    for (char& c : unix)
        if (c == '/')
            c = '\\';
    return VLString(L"Z:") + VLString::FromUtf8(unix.c_str()) + L"\\ProductModules\\NuvicoreTools.dll";
}

DWORD ReadDword(HKEY root, const std::wstring& key, const wchar_t* name)
{
    DWORD value = 0xFFFFFFFF, size = sizeof(value);
    ::RegGetValueW(root, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

std::wstring ReadText(HKEY root, const std::wstring& key, const wchar_t* name, DWORD* type = nullptr)
{
    wchar_t buffer[512] = {};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    ::RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, type, buffer, &size);
    return buffer;
}

}  // namespace

TEST(ToolsHost, RecordsThroughTheToolsModule)
{
    CEngineFixture f;
    VLString quenbox = f.Installer + L"Quenbox\\";
    VLFileSystem::EnsureDirectory(quenbox);
    ASSERT_TRUE(::CopyFileW(ToolsModulePath(), quenbox + L"NuvicoreTools.dll", FALSE));
    WriteTextFile(quenbox + L"Product.ini", kProductDocument);
    ASSERT_TRUE(CopyModule(L"EngineVersion2.dll", quenbox + L"Nuvicore.exe"));
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey);

    VLUniqueModule module(::LoadLibraryW(quenbox + L"NuvicoreTools.dll"));
    ASSERT_TRUE(module.IsValid());
    auto entry = reinterpret_cast<VLGetToolsFn>(reinterpret_cast<void*>(::GetProcAddress(module.Get(), kVLToolsEntryName)));
    ASSERT_NE(entry, nullptr);
    IVLTools* tools = entry(kVLToolsInterfaceVersion);
    ASSERT_NE(tools, nullptr);
    struct : IVLTextSink {
        void Set(const wchar_t*, int) override {}
    } error;
    ASSERT_TRUE(tools->LoadProduct(L"", error));

    VLFillProductInfo(tools->GetProductInfo(), f.Context.Product);
    const CProductInfo& p = f.Context.Product;
    EXPECT_EQ(Str(p.NameForm1), L"Auralis 22");
    EXPECT_EQ(Str(p.NameForm3), L"Auralis 22 Engine Test");
    EXPECT_EQ(Str(p.VersionDesignation), L"22.0.1.1805");
    EXPECT_EQ(Str(p.WebAddress), L"https://www.velmora.example/");
    EXPECT_EQ(Str(p.MainProgramFile), L"Nuvicore.exe");
    EXPECT_EQ(Str(p.LauncherName), L"Nuvicore Launcher.exe");

    CToolsEngineHost host(tools, nullptr);
    EXPECT_EQ(Str(host.Translate(L"Retry")), L"Retry");
    f.Context.Host = &host;
    f.Context.ExistingUninstallKey = L"Auralis 22 Engine Test";
    f.Context.OsVersionCode = 1012;
    f.Context.DistributorID = L"ACME";
    CProductRecords records(f.Context);
    records.WriteInstallationsRecord();
    records.WriteInstallCounters(false);
    records.WriteInstallCount(false);
    records.WriteInstallCount(true);

    std::wstring record = std::wstring(kInstallationsKey) + L"\\Auralis 22 Engine Test";
    DWORD type = 0;
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, record, L"Path", &type), Str(f.Destination));
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, record, L"Version"), L"2.0.0");
    EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, record, L"OS Version"), 1012u);

    std::wstring installer = std::wstring(kSettingsKey) + L"\\Installer";
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, installer, L"Distributor ID"), L"ACME");
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, installer, L"Install Directory"), Str(f.Destination));
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, installer, L"Release Channel - Pending Install", &type), L"");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(ReadDword(HKEY_LOCAL_MACHINE, installer, L"Install - Install Count"), 2u);
    std::wstring properties = std::wstring(kSettingsKey) + L"\\Properties";
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, properties, L"Install - First Install"), 1u);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, properties, L"Install - Number Runs After Last Install"), 0u);
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, properties, L"Install - First Install Date").size(), 19u);

    tools->Detach(::GetModuleHandleW(nullptr));
}
