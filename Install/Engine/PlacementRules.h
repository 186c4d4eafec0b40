#pragma once
// The placement decisions as values: which files are copied, skipped, left to
// the core-module copy, and how a placed file is registered. They read no
// file and touch no system state, so the tests check them as tables; the
// placer (CFilePlacer) only carries them out.

#include "VLString.h"

#include <cstdint>

// Placement mode handed to every folder and file copy.
enum EPlacementMode : int {
    kModeCheckVersion = 0,    // system files: binaries only when newer
    kModeAlwaysOverwrite = 1, // system files that always win; program files
    kModeFont = 2,            // fonts; the bit 2 also adds the file to the font table
};

// What PlaceFile does with one file before any copy is tried.
enum class EPlaceDecision {
    Invalid = 0,
    Skip64BitOn32,    // a 64-bit file on 32-bit Windows: nothing happens, PlaceFile fails
    LeaveCoreModule,  // placed by CopyCoreModules: nothing happens, PlaceFile succeeds
    KeepExisting,     // mode 0 and not newer: no copy, registration still follows
    Copy,
};

// How a placed file is registered; the first rule that applies wins.
enum class ERegistration {
    Invalid = 0,
    None,              // not a component file, or the shell extension
    AtRestart,         // deferred: "target|_REGISTERFILE" in the pending-registration list
    RegSvr32x64,       // a 64-bit file: native RegSvr32 now
    AddToList,         // appended to the page's registration list
    InProcess,         // DllRegisterServer now
};

// The seven core modules, in copy order. The first one's name is ours.
constexpr int kCoreModuleCount = 7;
extern const wchar_t* const kCoreModules[kCoreModuleCount];

// Source of 64-bit file versions for the check-version rule.
class IFileVersionSource {
public:
    virtual ~IFileVersionSource() = default;
    // False when Windows' file-version functions cannot be used at all.
    virtual bool Available() = 0;
    // 0 for a missing file or a file without version information.
    virtual uint64_t Version(const VLString& path) = 0;
};

struct CPlaceInput {
    const VLString* Source = nullptr;
    const VLString* Target = nullptr;
    int Mode = kModeAlwaysOverwrite;
    const VLString* X64Folder = nullptr;  // destination + "x64\", made once per run
    bool Is64BitWindows = false;
};

struct CPlacementDecision {
    EPlaceDecision Action = EPlaceDecision::Invalid;
    bool Is64BitFile = false;
};

// A 64-bit file lies below x64Folder (destination + "x64\") or is the 64-bit
// audio driver.
bool VLIs64BitTarget(const VLString& target, const VLString& x64Folder);
bool VLIsCoreModulePath(const VLString& source);
// The check-version rule applies to binaries: ".dll", ".exe", ".ocx" or ".ax"
// after the first character, matched case-sensitively.
bool VLIsVersionCheckedPath(const VLString& source);
// ".dll", ".ocx" or ".ax" anywhere (case-sensitive), not the shell extension.
bool VLIsRegistrablePath(const VLString& source);
bool VLIsShellExtension(const VLString& path);

CPlacementDecision VLDecidePlacement(const CPlaceInput& in, IFileVersionSource& versions);
ERegistration VLDecideRegistration(const VLString& source, bool deferred, bool is64BitFile,
                                   bool haveRegistrationList);

// Small case rules shared by the engine.
bool VLEndsWithNoCase(const wchar_t* text, const wchar_t* suffix);
bool VLStartsWithNoCase(const wchar_t* text, const wchar_t* prefix);
bool VLContainsNoCase(const wchar_t* text, const wchar_t* part);

// What follows a failed copy, given whether the replacement at restart could
// be scheduled.
struct CCopyFailureOutcome {
    bool Deferred = false;            // the file is in place only after a restart
    bool SetRestartRequired = false;
    bool ClearShellExtension = false; // the shell extension waits for a restart
    bool Stage = false;               // stage for the completion program instead
};
CCopyFailureOutcome VLDecideCopyFailure(bool replacedAtRestart, const VLString& source,
                                        const VLString& target);
