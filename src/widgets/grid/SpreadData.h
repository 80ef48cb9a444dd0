#pragma once

#include <QVariant>

#include <vector>

// The rows a grid shows, in the order shown, 0-based, data-only columns
// after the displayed ones. Each cell is held in its column's form (see
// CellForm); an invalid QVariant is a blank cell. The grid keeps its own
// (SpreadCells) unless a screen lends it a list of its own.
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
    // Negative, 0 or positive as row a sorts before, with or after row b by
    // the column; blanks first.
    virtual int compare(int column, int a, int b) const = 0;
    // Rows first.. take the rows order names, in that order.
    virtual void reorder(int first, const std::vector<int> &order) = 0;
};
