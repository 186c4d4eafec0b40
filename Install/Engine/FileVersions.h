#pragma once
// The check-version rule's view of Windows' file versions (CVersionInfo).

#include "PlacementRules.h"
#include "VLString.h"

class CWindowsFileVersions : public IFileVersionSource {
public:
    bool Available() override;
    uint64_t Version(const VLString& path) override;
};

// "%d.%d.%d" (major, minor, build); empty when it cannot be read.
VLString VLFileVersionText3(const VLString& path);
