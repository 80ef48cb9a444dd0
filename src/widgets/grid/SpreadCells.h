#pragma once

#include "widgets/grid/ColumnDef.h"
#include "widgets/grid/SpreadData.h"

#include <QList>

#include <vector>

// A grid's own cells, column by column, for the grids no screen lends a
// list of its own to (small lists: the import preview, the dialogs).
class SpreadCells final : public SpreadData
{
public:
    explicit SpreadCells(const QList<ColumnDef> &columns);

    int rowCount() const override { return m_rows; }
    void resize(int rows) override;
    QVariant cell(int column, int row) const override { return m_columns[std::size_t(column)][std::size_t(row)]; }
    bool setCell(int column, int row, const QVariant &value) override
    {
        m_columns[std::size_t(column)][std::size_t(row)] = value;
        return true;
    }
    std::vector<int> sortedRows(int first, int last, const QList<SortKey> &keys) const override;
    void reorder(int first, const std::vector<int> &order) override;

private:
    QList<CellKind> m_kinds;
    std::vector<std::vector<QVariant>> m_columns;
    int m_rows{0};
};
