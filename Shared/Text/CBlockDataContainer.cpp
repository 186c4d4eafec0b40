#include "CBlockDataContainer.h"

#include <new>

namespace
{
constexpr size_t kAlign = alignof(std::max_align_t);

size_t RoundUp(size_t n, size_t a) { return (n + a - 1) / a * a; }
}  // namespace

CBlockDataContainer::CBlockDataContainer(size_t itemSize, int itemsPerBlock)
    : m_itemSize(RoundUp(itemSize < sizeof(FreeItem) ? sizeof(FreeItem) : itemSize, alignof(void*))),
      m_itemsPerBlock(itemsPerBlock > 0 ? itemsPerBlock : 256)
{
}

CBlockDataContainer::~CBlockDataContainer() { FreeAll(); }

void* CBlockDataContainer::Alloc()
{
    if (m_pFree)
    {
        FreeItem* item = m_pFree;
        m_pFree = item->next;
        return item;
    }
    if (m_pNext == m_pEnd)
    {
        size_t header = RoundUp(sizeof(Block), kAlign);
        size_t bytes = header + m_itemSize * static_cast<size_t>(m_itemsPerBlock);
        Block* block = static_cast<Block*>(::operator new(bytes));
        block->next = m_pBlocks;
        m_pBlocks = block;
        ++m_blockCount;
        m_pNext = reinterpret_cast<char*>(block) + header;
        m_pEnd = m_pNext + m_itemSize * static_cast<size_t>(m_itemsPerBlock);
    }
    void* item = m_pNext;
    m_pNext += m_itemSize;
    return item;
}

void CBlockDataContainer::Free(void* item)
{
    if (!item)
        return;
    FreeItem* f = static_cast<FreeItem*>(item);
    f->next = m_pFree;
    m_pFree = f;
}

void CBlockDataContainer::FreeAll()
{
    while (m_pBlocks)
    {
        Block* next = m_pBlocks->next;
        ::operator delete(static_cast<void*>(m_pBlocks));
        m_pBlocks = next;
    }
    m_pFree = nullptr;
    m_pNext = m_pEnd = nullptr;
    m_blockCount = 0;
}
