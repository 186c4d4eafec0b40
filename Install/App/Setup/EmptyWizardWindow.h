#pragma once
// Stands in for the install wizard until the wizard frame is built: an empty
// top-level window, titled like the wizard, that runs modally until the user
// closes it. Closing it installs nothing, so the run counts as cancelled.

int RunEmptyWizardWindow();
