#pragma once
// Copies or moves a folder tree. Every folder is created and every file
// copied (overwriting); a move then deletes only the sources whose copy
// succeeded, so a failed copy never loses the original.

#include "VLString.h"

#include <vector>

class VLMoveCopyDirectory {
public:
    struct Item {
        enum Kind { kFile = 0, kFolder = 1 };
        int kind = kFile;
        VLString source;
        VLString destination;
        bool succeeded = false;
    };

    // True only when every folder and file arrived.
    bool Copy(const VLString& sourceFolder, const VLString& destinationFolder);
    bool Move(const VLString& sourceFolder, const VLString& destinationFolder);

    // The items of the last run, in the order they were handled.
    const std::vector<Item>& GetItems() const { return m_items; }

private:
    bool Run(const VLString& sourceFolder, const VLString& destinationFolder, bool move);
    void Collect(const VLString& source, const VLString& destination);

    std::vector<Item> m_items;
};
