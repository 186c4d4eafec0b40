#pragma once
// CBlockDataContainer: carves fixed-size items out of large blocks so that
// many small nodes cost one heap allocation per block. Freed items go onto
// a free list and are reused; the blocks are released with the container.

#include <cstddef>

class CBlockDataContainer
{
public:
    // itemSize is rounded up to pointer alignment.
    explicit CBlockDataContainer(size_t itemSize, int itemsPerBlock = 256);
    ~CBlockDataContainer();
    CBlockDataContainer(const CBlockDataContainer&) = delete;
    CBlockDataContainer& operator=(const CBlockDataContainer&) = delete;

    // Uninitialised memory for one item.
    void* Alloc();
    void Free(void* item);
    // Releases every block (all items become invalid).
    void FreeAll();

    size_t GetItemSize() const { return m_itemSize; }
    int GetBlockCount() const { return m_blockCount; }

private:
    struct Block
    {
        Block* next;
    };
    struct FreeItem
    {
        FreeItem* next;
    };

    size_t m_itemSize;
    int m_itemsPerBlock;
    Block* m_pBlocks = nullptr;
    FreeItem* m_pFree = nullptr;
    char* m_pNext = nullptr;   // next unused item in the newest block
    char* m_pEnd = nullptr;
    int m_blockCount = 0;
};
