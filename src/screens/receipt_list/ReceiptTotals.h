#pragma once

#include <QLabel>
#include <QTimer>

class OrderList;
class QAbstractItemModel;

// The receipt list's status line of what 登録 will write: the rows with the
// update mark and the sum of their 入金額, and the marked rows with the sum
// of their 請求額. Counted afresh from the orders once the grid's changes of
// an event-loop turn are in, so that a bulk fill of every row counts once.
class ReceiptTotals final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReceiptTotals)

public:
    ReceiptTotals(const OrderList &orders, QAbstractItemModel *grid, QWidget *parent);

    // Counts now rather than after the turn.
    void Recount();

private:
    void schedule();

    const OrderList &m_orders;
    QTimer m_later;
};
