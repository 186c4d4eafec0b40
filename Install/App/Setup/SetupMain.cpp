// Setup.exe: the program entry. Wires the steps that live in other libraries
// into the application's start-up and runs it.
#include "CArtFileLookup.h"
#include "CInstallApp.h"
#include "CInstallWizard.h"
#include "CWizardServices.h"
#include "InstallCommandLine.h"
#include "InstallOptions.h"
#include "InstallerFolder.h"
#include "VLLayoutUnits.h"
#include "VLToolsHost.h"

namespace {
// The one application object, made before wWinMain runs.
CInstallApp g_installApp;

// Creates the wizard, runs it modally and destroys it. The wizard's result
// becomes the exit code: finished, cancelled, or a code a page ended it with.
int RunInstallWizard()
{
    VLLayoutUnits::EnableDpiAwareness();
    const VLString installerFolder = GetInstallerFolder();
    CWizardServices services(VLToolsHost::Get().Tools(), installerFolder);
    CArtFileLookup art = CArtFileLookup::ForProduct(VLString(), installerFolder);
    services.SetArtFileLookup([&art](const VLString& name) { return art.Find(name); });

    CInstallWizard wizard(services, InstallOptions());
    if (!wizard.Create())
        return kExitFatalError;
    int result = wizard.Run();
    if (result == 1)
        return InstallOptions().RestartRequired ? kExitRestartRequired : kExitInstalled;
    if (result == 2)
        return kExitUserCancelled;
    return result;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandTail, int showCommand)
{
    CInstallApp& app = g_installApp;
    SplitCommandLine(commandTail, app.GetArguments());
    app.Hooks().runWizard = [] { return RunInstallWizard(); };
    return app.Run(instance, previous, showCommand);
}
