// Sorting whole rows: only the list of storage rowSlots is reordered.
#include "widgets/grid/RowOrder.h"
#include "widgets/grid/SpreadModel.h"

#include <algorithm>
#include <numeric>

void SpreadModel::sort(int firstRow, int lastRow, const QList<SortKey> &keys)
{
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, m_rows - 1);
    const int count = lastRow - firstRow + 1;
    if (count < 2)
        return;

    QList<SortKey> used;
    for (const SortKey &key : keys) {
        if (key.column >= 0 && key.column < storedColumns())
            used.append(key);
        if (used.size() == 3)
            break;
    }
    if (used.isEmpty())
        return;

    if (m_slotsInOrder) {
        m_slots.resize(m_rows);
        std::iota(m_slots.begin(), m_slots.end(), 0);
        m_slotsInOrder = false;
    }
    m_order.start(m_slots.constData() + firstRow, count);
    // Least significant key first; each pass keeps the order of ties.
    for (auto key = used.crbegin(); key != used.crend(); ++key)
        m_order.sortBy(cells(key->column), key->order == 2);

    if (m_pending.isSuspended()) {
        std::copy(m_order.sorted().cbegin(), m_order.sorted().cend(), m_slots.begin() + firstRow);
        m_pending.structureChanged();
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    moveSortedSlots(firstRow, m_order.sorted());
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void SpreadModel::moveSortedSlots(int firstRow, const std::vector<int> &sorted)
{
    // The current cell, any selection and the header's own records stay on
    // the rows they were on.
    const QModelIndexList before = persistentIndexList();
    if (!before.isEmpty()) {
        std::vector<int> newRow(std::size_t(m_allocation.count()), -1);
        for (std::size_t i = 0; i < sorted.size(); ++i)
            newRow[std::size_t(sorted[i])] = firstRow + int(i);
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex &index : before) {
            int row = index.row();
            if (row >= firstRow && row < firstRow + int(sorted.size()))
                row = newRow[std::size_t(m_slots[row])];
            after.append(this->index(row, index.column()));
        }
        changePersistentIndexList(before, after);
    }
    std::copy(sorted.cbegin(), sorted.cend(), m_slots.begin() + firstRow);
}
