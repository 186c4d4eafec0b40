#pragma once
// The application classes of the maker's library: VLApp (arguments, exit
// code, window classes), VLExecutableApp (OLE and the product modules) and
// VLGraphicalApp (message loop, crash hook). Exactly one application object
// exists; its constructor publishes it as the current application.

#include "VLString.h"
#include "VLStringArray.h"
#include "VLStringMap.h"

#include <windows.h>

class VLApp {
public:
    VLApp();
    virtual ~VLApp();
    VLApp(const VLApp&) = delete;
    VLApp& operator=(const VLApp&) = delete;

    static VLApp* GetCurrent();

    // Library entry: reason 1 attaches (first attach initialises), 0 detaches.
    virtual bool AttachProcess(HINSTANCE instance, DWORD reason);
    // Initialize, the message loop when it succeeded, Shutdown; the exit code.
    virtual int Run(HINSTANCE instance, HINSTANCE previous, int showCommand);
    virtual int RunInCurrentModule();
    virtual bool Initialize();
    virtual bool Shutdown();
    virtual void RunMessageLoop();
    // Two slots kept for derived programs; nothing in the installer calls them.
    virtual bool OnHook7() { return true; }
    virtual bool OnHook8() { return true; }

    HINSTANCE GetInstance() const { return m_instance; }
    int GetShowCommand() const { return m_showCommand; }
    VLStringArray& GetArguments() { return m_arguments; }
    int GetExitCode() const { return m_exitCode; }
    // Window classes registered here are unregistered at shutdown.
    void AddRegisteredClass(const wchar_t* className);

protected:
    HINSTANCE m_instance = nullptr;
    int m_showCommand = SW_SHOWNORMAL;
    VLStringArray m_arguments;
    int m_exitCode = 0;
    VLStringUniqueList m_registeredClasses;
    int m_attachCount = 0;
};

class VLExecutableApp : public VLApp {
public:
    ~VLExecutableApp() override;
    bool Initialize() override;
    bool Shutdown() override;
    virtual bool LoadProductModules();
    virtual bool InitializeOle();
    virtual void UninitializeOle();
    virtual void InstallCrashHandler() {}

    // The error of the last LoadProductModules: empty, or the text for the
    // critical-error box.
    const VLString& GetModuleLoadError() const { return m_moduleLoadError; }

protected:
    enum OleMode { kOleNone = 0, kOleCom = 1, kOleFull = 2 };
    int m_oleMode = kOleNone;
    VLString m_moduleLoadError;
};

class VLGraphicalApp : public VLExecutableApp {
public:
    void RunMessageLoop() override;
    void InstallCrashHandler() override;
};
