// The placement decisions as tables: no file is read, versions come from the
// table itself.
#include "EngineTestSupport.h"
#include "PlacementRules.h"

#include <map>

namespace {

class CTableVersions : public IFileVersionSource {
public:
    bool Available() override { return m_available; }
    uint64_t Version(const VLString& path) override
    {
        auto it = m_versions.find(Str(path));
        return it == m_versions.end() ? 0 : it->second;
    }
    bool m_available = true;
    std::map<std::wstring, uint64_t> m_versions;
};

const wchar_t kDest[] = L"C:\\Program Files\\Auralis 22\\";

struct PlaceCase {
    const wchar_t* source;
    const wchar_t* target;
    int mode;
    bool windows64;
    uint64_t sourceVersion;  // 0: none
    uint64_t targetVersion;  // 0: none or missing
    bool versionsAvailable;
    EPlaceDecision want;
};

}  // namespace

TEST(PlacementRules, DecisionTable)
{
    const uint64_t v1 = MakeVersion(1, 2, 3, 4), v2 = MakeVersion(2, 0, 0, 0);
    const uint64_t high = MakeVersion(0x8000, 0, 0, 0);  // compared unsigned
    const PlaceCase cases[] = {
        // Check-version rule: binaries only when strictly newer.
        {L"P:\\System\\Check Version\\a.dll", L"S:\\sys\\a.dll", 0, true, v2, v1, true, EPlaceDecision::Copy},
        {L"P:\\System\\Check Version\\a.dll", L"S:\\sys\\a.dll", 0, true, v1, v2, true, EPlaceDecision::KeepExisting},
        {L"P:\\System\\Check Version\\a.dll", L"S:\\sys\\a.dll", 0, true, v1, v1, true, EPlaceDecision::KeepExisting},
        {L"P:\\System\\Check Version\\a.dll", L"S:\\sys\\a.dll", 0, true, v1, 0, true, EPlaceDecision::Copy},
        {L"P:\\System\\Check Version\\a.dll", L"S:\\sys\\a.dll", 0, true, 0, 0, true, EPlaceDecision::KeepExisting},
        {L"P:\\System\\Check Version\\a.dll", L"S:\\sys\\a.dll", 0, true, 0, v1, true, EPlaceDecision::KeepExisting},
        {L"P:\\System\\Check Version\\a.dll", L"S:\\sys\\a.dll", 0, true, high, v1, true, EPlaceDecision::Copy},
        {L"P:\\System\\Check Version\\a.exe", L"S:\\sys\\a.exe", 0, true, v1, v2, true, EPlaceDecision::KeepExisting},
        {L"P:\\System\\Check Version\\a.ocx", L"S:\\sys\\a.ocx", 0, true, v1, v2, true, EPlaceDecision::KeepExisting},
        {L"P:\\System\\Check Version\\a.ax", L"S:\\sys\\a.ax", 0, true, v1, v2, true, EPlaceDecision::KeepExisting},
        // Text files and capitalised extensions are not version-checked.
        {L"P:\\System\\Check Version\\readme.txt", L"S:\\sys\\readme.txt", 0, true, 0, 0, true, EPlaceDecision::Copy},
        {L"P:\\System\\Check Version\\A.DLL", L"S:\\sys\\A.DLL", 0, true, v1, v2, true, EPlaceDecision::Copy},
        // Without the version functions everything is copied.
        {L"P:\\System\\Check Version\\a.dll", L"S:\\sys\\a.dll", 0, true, v1, v2, false, EPlaceDecision::Copy},
        // Other modes always copy.
        {L"P:\\System\\Always Overwrite\\a.dll", L"S:\\sys\\a.dll", 1, true, v1, v2, true, EPlaceDecision::Copy},
        {L"P:\\Fonts\\a.ttf", L"C:\\Windows\\Fonts\\a.ttf", 2, true, 0, 0, true, EPlaceDecision::Copy},
        // 64-bit files: below destination + "x64\" (any case) or the audio driver.
        {L"P:\\Quenbox\\x64\\b.dll", L"C:\\Program Files\\Auralis 22\\x64\\b.dll", 1, false, 0, 0, true,
         EPlaceDecision::Skip64BitOn32},
        {L"P:\\Quenbox\\x64\\b.dll", L"c:\\program files\\auralis 22\\X64\\b.dll", 1, false, 0, 0, true,
         EPlaceDecision::Skip64BitOn32},
        {L"P:\\Quenbox\\x64\\b.dll", L"C:\\Program Files\\Auralis 22\\x64\\b.dll", 1, true, 0, 0, true,
         EPlaceDecision::Copy},
        {L"P:\\System\\Always Overwrite\\VelmoraASIODriver64.dll", L"S:\\sys\\velmoraasiodriver64.DLL", 1, false, 0,
         0, true, EPlaceDecision::Skip64BitOn32},
        {L"P:\\Quenbox\\Other\\x64\\b.dll", L"C:\\Program Files\\Auralis 22\\Other\\x64\\b.dll", 1, false, 0, 0, true,
         EPlaceDecision::Copy},
        // Core modules are left to CopyCoreModules, whatever the case.
        {L"P:\\Quenbox\\vlplayer.dll", L"C:\\Program Files\\Auralis 22\\vlplayer.dll", 1, true, 0, 0, true,
         EPlaceDecision::LeaveCoreModule},
        {L"P:\\Quenbox\\x64\\VLAudio.dll", L"C:\\Program Files\\Auralis 22\\x64\\VLAudio.dll", 1, true, 0, 0, true,
         EPlaceDecision::LeaveCoreModule},
    };
    VLString x64 = VLString(kDest) + L"x64\\";
    for (const PlaceCase& c : cases) {
        CTableVersions versions;
        versions.m_available = c.versionsAvailable;
        versions.m_versions[c.source] = c.sourceVersion;
        versions.m_versions[c.target] = c.targetVersion;
        VLString source = c.source, target = c.target;
        CPlaceInput in;
        in.Source = &source;
        in.Target = &target;
        in.Mode = c.mode;
        in.X64Folder = &x64;
        in.Is64BitWindows = c.windows64;
        EXPECT_EQ(VLDecidePlacement(in, versions).Action, c.want) << Str(source) << " -> " << Str(target);
    }
}

TEST(PlacementRules, RegistrationTable)
{
    struct Case {
        const wchar_t* source;
        bool deferred, is64, haveList;
        ERegistration want;
    } cases[] = {
        {L"P:\\Quenbox\\a.dll", false, false, true, ERegistration::AddToList},
        {L"P:\\Quenbox\\a.dll", false, false, false, ERegistration::InProcess},
        {L"P:\\Quenbox\\a.ocx", false, false, false, ERegistration::InProcess},
        {L"P:\\Quenbox\\a.ax", false, false, true, ERegistration::AddToList},
        // Deferred wins over 64-bit; 64-bit wins over the list.
        {L"P:\\Quenbox\\x64\\a.dll", true, true, true, ERegistration::AtRestart},
        {L"P:\\Quenbox\\x64\\a.dll", false, true, true, ERegistration::RegSvr32x64},
        // The substring test finds ".dll" in a folder name, not in ".exe" or "A.DLL".
        {L"P:\\Quenbox\\plugins.dll\\a.txt", false, false, true, ERegistration::AddToList},
        {L"P:\\Quenbox\\a.exe", false, false, true, ERegistration::None},
        {L"P:\\Quenbox\\A.DLL", false, false, true, ERegistration::None},
        // The shell extension is registered elsewhere, even when deferred.
        {L"P:\\Quenbox\\VLShellExt.dll", true, false, true, ERegistration::None},
        {L"P:\\Quenbox\\vlshellext.DLL", false, false, false, ERegistration::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VLDecideRegistration(c.source, c.deferred, c.is64, c.haveList), c.want) << Str(c.source);
}

TEST(PlacementRules, CopyFailureTable)
{
    struct Case {
        bool replaced;
        const wchar_t* source;
        const wchar_t* target;
        bool deferred, restart, clearShell, stage;
    } cases[] = {
        {true, L"P:\\Quenbox\\a.dll", L"C:\\Prog\\a.dll", true, true, false, false},
        {true, L"P:\\Quenbox\\VLShellExt.dll", L"C:\\Prog\\VLShellExt.dll", true, false, true, false},
        {true, L"P:\\Fonts\\a.ttf", L"C:\\windows\\fonts\\a.ttf", true, false, false, false},
        {false, L"P:\\Quenbox\\a.dll", L"C:\\Prog\\a.dll", false, false, false, true},
        {false, L"P:\\Quenbox\\VLShellExt.dll", L"C:\\Prog\\VLShellExt.dll", false, false, false, true},
    };
    for (const Case& c : cases) {
        CCopyFailureOutcome out = VLDecideCopyFailure(c.replaced, c.source, c.target);
        EXPECT_EQ(out.Deferred, c.deferred) << Str(c.source);
        EXPECT_EQ(out.SetRestartRequired, c.restart) << Str(c.source);
        EXPECT_EQ(out.ClearShellExtension, c.clearShell) << Str(c.source);
        EXPECT_EQ(out.Stage, c.stage) << Str(c.source);
    }
}

TEST(PlacementRules, SixtyFourBitFiles)
{
    VLString x64 = VLString(kDest) + L"x64\\";
    struct Case {
        const wchar_t* target;
        bool want;
    } cases[] = {
        {L"C:\\Program Files\\Auralis 22\\x64\\b.dll", true},
        {L"C:\\PROGRAM FILES\\AURALIS 22\\X64\\Sub\\b.txt", true},
        {L"C:\\Program Files\\Auralis 22\\Other\\x64\\b.dll", false},
        {L"C:\\Program Files\\Auralis 22\\x64", false},
        {L"C:\\Windows\\System32\\VelmoraASIODriver64.dll", true},
        {L"C:\\Windows\\System32\\MyVelmoraASIODriver64.dll", false},
        {L"C:\\Windows\\System32\\VelmoraASIODriver.dll", false},
    };
    for (const Case& c : cases) {
        VLString source = L"P:\\Quenbox\\b.dll", target = c.target;
        CPlaceInput in;
        in.Source = &source;
        in.Target = &target;
        in.X64Folder = &x64;
        in.Is64BitWindows = true;
        CTableVersions versions;
        EXPECT_EQ(VLDecidePlacement(in, versions).Is64BitFile, c.want) << c.target;
    }
}
