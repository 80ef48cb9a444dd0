#pragma once

#include "widgets/grid/ColumnDef.h"

#include <QList>
#include <QVariant>

#include <vector>

// The rows a grid shows, in the order shown, 0-based, data-only columns
// after the displayed ones. Each cell is held in its column's form (see
// CellForm); an invalid QVariant is a blank cell. The grid keeps its own
// (SpreadCells) unless a screen lends it a list of its own. Only a lent list
// can be sorted: the grid's own cells, and a list that says nothing of
// sorting, keep their order.
class SpreadData
{
public:
    virtual ~SpreadData() = default;

    virtual int rowCount() const = 0;
    // Rows added are blank.
    virtual void resize(int rows) = 0;
    virtual QVariant cell(int column, int row) const = 0;
    // False when the cell cannot hold the value; it then stays as it was.
    virtual bool setCell(int column, int row, const QVariant &value) = 0;
    // Rows first..last in their sorted order, as the rows they are now: a
    // stable sort by the keys (0-based columns, each valid), blanks first.
    // None: the rows stay as they are.
    virtual std::vector<int> sortedRows(int, int, const QList<SortKey> &) const { return {}; }
    // Rows first.. take the rows order names, in that order.
    virtual void reorder(int, const std::vector<int> &) {}
};
