#pragma once

#include "widgets/grid/SpreadData.h"

#include <functional>

class PaymentImport;

// The import's lines as the cells of sprTorikomi (frmTorikomi's columns),
// read from the import as they are shown: the preview keeps no copy of a
// line. Only the ticks are the operator's to write; they go to onTick,
// which asks the import. It is never sorted: the lines stay in the
// statement's order.
class TorikomiRows final : public SpreadData
{
public:
    TorikomiRows(const PaymentImport &import, const QList<ColumnDef> &columns,
                 std::function<void(int index, bool ticked)> onTick);

    int rowCount() const override;
    // The lines are the statement's: their number is not the grid's to change.
    void resize(int) override {}
    QVariant cell(int column, int row) const override;
    bool setCell(int column, int row, const QVariant &value) override;

private:
    QVariant value(int column, int index) const;

    const PaymentImport &m_import;
    QList<ColumnDef> m_columns;
    std::function<void(int, bool)> m_onTick;
};
