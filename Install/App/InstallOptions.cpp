#include "InstallOptions.h"

namespace {
InstallOptionsData g_installOptions;
}

InstallOptionsData& InstallOptions()
{
    return g_installOptions;
}

void ResetInstallOptions()
{
    g_installOptions = InstallOptionsData();
}
