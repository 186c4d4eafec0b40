// Setup.exe: the program entry. Wires the steps that live in other libraries
// into the application's start-up and runs it.
#include "CInstallApp.h"
#include "EmptyWizardWindow.h"
#include "InstallCommandLine.h"

namespace {
// The one application object, made before wWinMain runs.
CInstallApp g_installApp;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandTail, int showCommand)
{
    CInstallApp& app = g_installApp;
    SplitCommandLine(commandTail, app.GetArguments());
    // The wizard frame is not part of this program yet: an empty window
    // stands where it will be shown.
    app.Hooks().runWizard = [] { return RunEmptyWizardWindow(); };
    return app.Run(instance, previous, showCommand);
}
