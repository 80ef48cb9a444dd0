#include "widgets/grid/SlotAllocation.h"

#include <algorithm>

int SlotAllocation::grownFor(int rows) const
{
    if (rows <= m_count)
        return m_count;
    const int wanted = m_count == 0 ? std::max(rows, m_rowsBeforeFreed) : rows;
    return wanted <= Block ? std::min(std::max({wanted, m_count * 2, 64}), Block)
                           : (wanted + Block - 1) / Block * Block;
}

int SlotAllocation::fittedTo(int rows) const
{
    const int fitted = std::max((rows + Block - 1) / Block * Block, Block);
    return m_count - fitted < Block ? m_count : fitted;
}

void SlotAllocation::freed(int rows)
{
    m_rowsBeforeFreed = rows;
    m_count = 0;
}
