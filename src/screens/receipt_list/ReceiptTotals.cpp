#include "screens/receipt_list/ReceiptTotals.h"

#include "core/data/CellText.h"
#include "core/receipt/OrderList.h"

#include <QAbstractItemModel>

using namespace Qt::StringLiterals;

ReceiptTotals::ReceiptTotals(const OrderList &orders, QAbstractItemModel *grid, QWidget *parent)
    : QLabel(parent)
    , m_orders(orders)
{
    setObjectName(u"lblTotals"_s);
    m_later.setSingleShot(true);
    m_later.setInterval(0);
    connect(&m_later, &QTimer::timeout, this, &ReceiptTotals::Recount);
    connect(grid, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                // A row's colour changes no total.
                if (roles != QList<int>{Qt::BackgroundRole})
                    schedule();
            });
    connect(grid, &QAbstractItemModel::modelReset, this, &ReceiptTotals::schedule);
    connect(grid, &QAbstractItemModel::rowsInserted, this, &ReceiptTotals::schedule);
    connect(grid, &QAbstractItemModel::rowsRemoved, this, &ReceiptTotals::schedule);
    Recount();
}

void ReceiptTotals::schedule()
{
    if (!m_later.isActive())
        m_later.start();
}

void ReceiptTotals::Recount()
{
    m_later.stop();
    int flagged = 0;
    int marked = 0;
    qint64 paid = 0;
    qint64 billed = 0;
    for (int row = 0; row < m_orders.size(); ++row) {
        const OrderList::Row &order = m_orders.at(row);
        if (order.update) {
            ++flagged;
            paid += order.paidAmount.value_or(0);
        }
        if (order.marked) {
            ++marked;
            billed += order.billed.value_or(0);
        }
    }
    setText(u"登録 %1 件 入金額 %2 円　選択 %3 件 請求額 %4 円"_s.arg(flagged)
                .arg(CellText::groupedNumber(double(paid)))
                .arg(marked)
                .arg(CellText::groupedNumber(double(billed))));
}
