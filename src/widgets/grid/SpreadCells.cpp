#include "widgets/grid/SpreadCells.h"

#include "widgets/grid/CellForm.h"

#include <algorithm>
#include <numeric>

SpreadCells::SpreadCells(const QList<ColumnDef> &columns) : m_columns(std::size_t(columns.size()))
{
    for (const ColumnDef &column : columns)
        m_kinds.append(column.kind);
}

void SpreadCells::resize(int rows)
{
    for (std::vector<QVariant> &column : m_columns) {
        column.resize(std::size_t(rows));
        if (rows == 0)
            column.shrink_to_fit();
    }
    m_rows = rows;
}

std::vector<int> SpreadCells::sortedRows(int first, int last, const QList<SortKey> &keys) const
{
    std::vector<int> order(std::size_t(last - first + 1));
    std::iota(order.begin(), order.end(), first);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (const SortKey &key : keys) {
            const std::vector<QVariant> &cells = m_columns[std::size_t(key.column)];
            if (const int c = CellForm::Compare(m_kinds[key.column], cells[std::size_t(a)], cells[std::size_t(b)]))
                return key.order == 2 ? c > 0 : c < 0;
        }
        return false;
    });
    return order;
}

void SpreadCells::reorder(int first, const std::vector<int> &order)
{
    std::vector<QVariant> moved(order.size());
    for (std::vector<QVariant> &column : m_columns) {
        for (std::size_t i = 0; i < order.size(); ++i)
            moved[i] = std::move(column[std::size_t(order[i])]);
        std::move(moved.begin(), moved.end(), column.begin() + first);
    }
}
