#pragma once
// Path helpers of the engine: the long-path form handed to Windows, and the
// folder and name parts of a path.

#include "VLString.h"

// path itself below 260 units; otherwise "\\?\" + its full form ("\\?\UNC\"
// for a network path), unless it already carries the prefix.
VLString EngineWin32Path(const VLString& path);
// Everything up to and including the last backslash; empty without one.
VLString EngineFolderOf(const VLString& path);
// The text after the last backslash (the whole path without one).
VLString EngineFileNameOf(const VLString& path);
// Exactly one trailing backslash on a non-empty path.
VLString EngineWithBackslash(const VLString& folder);
bool EngineFileExists(const VLString& path);
// Creates folder and every missing parent; true when it exists afterwards.
bool EngineEnsureFolder(const VLString& folder);
