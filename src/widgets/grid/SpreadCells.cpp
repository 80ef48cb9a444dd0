#include "widgets/grid/SpreadCells.h"

#include "widgets/grid/CellForm.h"

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

QVariant SpreadCells::cell(int column, int row) const
{
    return m_columns[std::size_t(column)][std::size_t(row)];
}

bool SpreadCells::setCell(int column, int row, const QVariant &value)
{
    m_columns[std::size_t(column)][std::size_t(row)] = value;
    return true;
}

int SpreadCells::compare(int column, int a, int b) const
{
    const std::vector<QVariant> &cells = m_columns[std::size_t(column)];
    return CellForm::Compare(m_kinds[column], cells[std::size_t(a)], cells[std::size_t(b)]);
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
