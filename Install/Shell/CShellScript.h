#pragma once
// The built-in registry script of the product's shell registration: its
// ProgIDs, pack, playlist, subscription and MIME handlers, the Explorer
// "Applications" entry, the AutoPlay handlers and the media-keyboard entry.

#include <functional>

#include "VLString.h"
#include "VLStringArray.h"

using CTranslateFn = std::function<VLString(const VLString&)>;

// Builds the script line by line: 5 root lines and 104 entry lines, or 99
// when `withLauncher` is false (the "Applications" lines are left out). The
// AutoPlay "Action" texts go through `translate` (when set) first.
VLStringArray BuildShellScript(bool withLauncher, const CTranslateFn& translate);
