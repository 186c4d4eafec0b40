#pragma once
// File versions read through Windows' version functions, which are looked up
// at run time in "Version.dll" (a system without them copies unconditionally).

#include "PlacementRules.h"
#include "VLString.h"

class CWindowsFileVersions : public IFileVersionSource {
public:
    bool Available() override;
    uint64_t Version(const VLString& path) override;
};

// The fixed file version of path as one 64-bit number (major in the top 16
// bits); returns false and leaves version unchanged when the file or its
// version resource cannot be read.
bool VLReadFileVersion(const VLString& path, uint64_t& version);
// "%d.%d.%d" (major, minor, build); empty when it cannot be read.
VLString VLFileVersionText3(const VLString& path);
