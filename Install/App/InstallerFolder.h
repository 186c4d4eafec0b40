#pragma once
// The folder of the running installer, with its trailing backslash; every
// package path is relative to it.

#include "VLString.h"

VLString GetInstallerFolder();
// Points the installer at another package folder (tests); empty restores
// the program's own folder.
void SetInstallerFolder(const VLString& folder);
