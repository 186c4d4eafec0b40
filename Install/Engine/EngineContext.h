#pragma once
// The state the install engine works on, handed in explicitly so that every
// rule runs with folders and flags chosen by its caller (the copy page in the
// program, a scratch folder in the tests) instead of reading globals.

#include "VLString.h"
#include "VLStringArray.h"

#include <windows.h>

#include <cstdint>
#include <memory>

// Where the deferred-operation lists and flags live: they outlive the copy
// step and the finish page writes them out. The program points these at its
// install options; a null pointer drops what would go there.
struct CDeferredTargets {
    VLStringArray* PendingInstall = nullptr;       // "target|staged" (or "|staged" for packages)
    VLStringArray* PendingRegistration = nullptr;  // "target|_REGISTERFILE"
    bool* RestartRequired = nullptr;
    bool* ShellExtRegistrationAllowed = nullptr;
};

// Storage for the deferred state where no install options exist (tests, tools).
struct CDeferredOperations {
    VLStringArray PendingInstall;
    VLStringArray PendingRegistration;
    bool RestartRequired = false;
    bool ShellExtRegistrationAllowed = true;
    CDeferredTargets Targets() { return {&PendingInstall, &PendingRegistration, &RestartRequired, &ShellExtRegistrationAllowed}; }
};

// Product information the records need; filled from the product tools module.
struct CProductInfo {
    VLString NameForm1;           // display name ("DisplayName")
    VLString NameForm3;           // name with version: records and folders
    VLString VersionDesignation;  // "DisplayVersion"
    VLString WebAddress;
    VLString MainProgramFile;     // file name of the main program
    VLString LauncherName;        // file name of the launcher
    VLString ApplicationIcon;     // full path of the art file "application.ico"
};

// One open section of the product's settings store.
class ISettingsSection {
public:
    virtual ~ISettingsSection() = default;
    virtual int GetInt(const wchar_t* name, int defaultValue) = 0;
    virtual void SetInt(const wchar_t* name, int value) = 0;
    // kind: 0 plain text, 2 a path (the store may keep paths portable). A
    // null or empty name is the default value.
    virtual void SetText(const wchar_t* name, const wchar_t* text, int kind) = 0;
    virtual void RemoveValue(const wchar_t* name) = 0;
};

// What the engine needs of the product tools module: translation, message
// boxes, the settings store and the date text. The program implements it over
// the module; tests answer boxes and keep settings in memory.
class IEngineHost {
public:
    virtual ~IEngineHost() = default;
    virtual VLString Translate(const VLString& text) = 0;
    // Shows a box with the given (already translated) texts and button
    // captions and returns the caption of the button pressed.
    virtual VLString MessageBox(const VLString& caption, const VLString& text,
                                const VLStringArray& buttons) = 0;
    // Null when the section cannot be opened; writes to it are then skipped.
    virtual std::unique_ptr<ISettingsSection> OpenSection(const wchar_t* path, int scope) = 0;
    // A registry key (created when missing) with the section interface; null
    // when it cannot be opened.
    virtual std::unique_ptr<ISettingsSection> OpenRegistryKey(HKEY root, const wchar_t* path) = 0;
    virtual VLString CurrentDateTimeText() = 0;
};

// Component registration and the server stop. The program runs the real
// registrations; tests record what was asked.
class IComponentRunner {
public:
    virtual ~IComponentRunner() = default;
    virtual bool RegisterInProcess(const VLString& path) = 0;          // DllRegisterServer
    virtual bool RegisterWithRegSvr32x64(const VLString& path) = 0;    // native RegSvr32
    // Runs program with one argument and waits; timeoutMs <= 0 waits without limit.
    virtual bool RunAndWait(const VLString& program, const VLString& argument, int timeoutMs) = 0;
};

// The page's progress bar and message pump, as the folder copy drives them.
class IEngineProgress {
public:
    virtual ~IEngineProgress() = default;
    virtual void SetProgressRange(int low, int high) = 0;
    virtual void SetProgressPos(int pos) = 0;
    virtual void PumpMessages() = 0;
};

struct CInstallContext {
    VLString InstallerFolder;    // folder of Setup.exe, one trailing backslash
    VLString DestinationFolder;  // chosen install folder, one trailing backslash
    bool Is64BitWindows = false;
    bool Portable = false;
    bool ExistingInstall = false;
    bool Upgrade = false;
    VLString DistributorID;
    VLString ExistingUninstallKey;  // uninstall record name chosen for this install
    int OsVersionCode = 0;          // Windows version code (1000 and up, 0 unknown)
    CProductInfo Product;

    CDeferredTargets Deferred;
    // Staging copies made this run, so that two files of the same name from
    // different folders never share one staged copy.
    VLStringArray StagedFiles;
    IEngineHost* Host = nullptr;
    IComponentRunner* Runner = nullptr;

    VLString StagingFolder() const { return DestinationFolder + L"Setup\\"; }
};

