#include "VLApp.h"

#include "InstallCommandLine.h"
#include "VLProcessRecord.h"
#include "VLToolsHost.h"

#include <objbase.h>
#include <ole2.h>

#include <cstdlib>

namespace {
VLApp* g_currentApp = nullptr;
}

VLApp::VLApp()
{
    g_currentApp = this;
}

VLApp::~VLApp()
{
    if (g_currentApp == this)
        g_currentApp = nullptr;
}

VLApp* VLApp::GetCurrent()
{
    return g_currentApp;
}

void VLApp::AddRegisteredClass(const wchar_t* className)
{
    m_registeredClasses.Add(className);
}

bool VLApp::AttachProcess(HINSTANCE instance, DWORD reason)
{
    if (reason == DLL_PROCESS_ATTACH) {
        if (++m_attachCount > 1)
            return true;
        m_instance = instance;
        const wchar_t* commandLine = ::GetCommandLineW();
        SplitCommandLine(commandLine, m_arguments);
        if (!Initialize()) {
            Shutdown();
            return false;
        }
        return true;
    }
    if (reason == DLL_PROCESS_DETACH && m_attachCount > 0 && --m_attachCount == 0)
        Shutdown();
    return true;
}

int VLApp::Run(HINSTANCE instance, HINSTANCE, int showCommand)
{
    m_instance = instance;
    m_showCommand = showCommand;
    if (Initialize())
        RunMessageLoop();
    Shutdown();
    return m_exitCode;
}

int VLApp::RunInCurrentModule()
{
    HINSTANCE instance = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&g_currentApp), &instance);
    return Run(instance, nullptr, m_showCommand);
}

bool VLApp::Initialize()
{
    return true;
}

bool VLApp::Shutdown()
{
    for (auto it = m_registeredClasses.begin(); it != m_registeredClasses.end(); ++it)
        ::UnregisterClassW(it->key, m_instance);
    m_registeredClasses.RemoveAll();
    return true;
}

void VLApp::RunMessageLoop() {}

VLExecutableApp::~VLExecutableApp()
{
    UninitializeOle();
}

bool VLExecutableApp::Initialize()
{
    static unsigned s_calls = 0;
    std::srand(static_cast<unsigned>(::GetTickCount()) + ++s_calls);
    InstallCrashHandler();
    InitializeOle();
    return LoadProductModules();
}

bool VLExecutableApp::Shutdown()
{
    VLToolsHost::Get().Unload(m_instance);
    UninitializeOle();
    return VLApp::Shutdown();
}

bool VLExecutableApp::LoadProductModules()
{
    m_moduleLoadError.Empty();
    VLToolsHost& host = VLToolsHost::Get();
    if (host.IsProductLoaded())
        return true;
    if (!host.Load(VLProcessRecord::Get().GetModuleFolder())) {
        m_moduleLoadError = L"Failed to load VLTools";
        return false;
    }
    VLString error;
    if (!host.LoadProduct(L"", error)) {
        m_moduleLoadError = error.IsEmpty() ? VLString(L"Unknown error loading product information") : error;
        return false;
    }
    return true;
}

bool VLExecutableApp::InitializeOle()
{
    if (m_oleMode == kOleFull)
        return true;
    if (m_oleMode == kOleCom) {
        ::CoUninitialize();
        m_oleMode = kOleNone;
    }
    if (SUCCEEDED(::OleInitialize(nullptr)))
        m_oleMode = kOleFull;
    return true;
}

void VLExecutableApp::UninitializeOle()
{
    if (m_oleMode == kOleCom)
        ::CoUninitialize();
    else if (m_oleMode == kOleFull)
        ::OleUninitialize();
    m_oleMode = kOleNone;
}

void VLGraphicalApp::RunMessageLoop()
{
    if (IVLTools* tools = VLToolsHost::Get().Tools())
        m_exitCode = tools->RunMessageLoop();
}

void VLGraphicalApp::InstallCrashHandler()
{
    // The installer replaces Initialize and never gets here; programs that
    // do would install their crash-report hook.
}
