#pragma once

// How many storage slots the grid keeps for its rows. A fill adding one row
// at a time touches the arrays only now and then: they double while small,
// then grow a block at a time (by realloc, which does not copy big ones). A
// list emptied and loaded again mostly comes back at about its old size, and
// is then allocated once rather than grown step by step.
class SlotAllocation final
{
public:
    static constexpr int Block = 4096;

    int count() const { return m_count; }
    // The slots to allocate for rows, or the current count when they fit.
    int grownFor(int rows) const;
    // The slots rows need when the storage is fitted to them, or the
    // current count when less than a block would be given back.
    int fittedTo(int rows) const;
    void allocated(int count) { m_count = count; }
    // The storage was freed with rows in it.
    void freed(int rows);

private:
    int m_count{0};
    int m_rowsBeforeFreed{0};
};
