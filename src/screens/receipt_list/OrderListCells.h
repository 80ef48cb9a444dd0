#pragma once

#include "core/receipt/OrderList.h"
#include "widgets/grid/SpreadData.h"

// The receipt list's orders as the cells of sprNyukin (frmKensaku's
// columns), so that the screen's cell reads and writes, the operator's
// edits and the header sorts act on the list itself.
class OrderListCells final : public SpreadData
{
public:
    explicit OrderListCells(OrderList &orders) : m_orders(orders) {}

    int rowCount() const override { return m_orders.size(); }
    void resize(int rows) override { m_orders.resize(rows); }
    QVariant cell(int column, int row) const override;
    bool setCell(int column, int row, const QVariant &value) override;
    std::vector<int> sortedRows(int first, int last, const QList<SortKey> &keys) const override;
    void reorder(int first, const std::vector<int> &order) override { m_orders.reorder(first, order); }

private:
    OrderList &m_orders;
};
