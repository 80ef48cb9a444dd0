#pragma once

#include "core/import/ListedOrder.h"
#include "core/import/MatchResult.h"
#include "core/import/StatementLine.h"

#include <QHash>
#include <QList>

// Matches statement lines to the listed orders: first by an order number in
// the line's texts, then by the open amount. Every order takes at most one
// line. Lookups go through hashes by No. and by open amount, so a statement
// costs time in proportion to its lines, not lines times orders.
class PaymentMatcher final
{
public:
    explicit PaymentMatcher(QList<ListedOrder> orders);

    const QList<ListedOrder> &orders() const { return m_orders; }
    QList<MatchResult> match(const QList<StatementLine> &lines) const;

    // Billed less received, each rounded half to even as the suite rounds amounts.
    static qint64 openAmount(const ListedOrder &order);
    static QString statusText(MatchStatus status);

private:
    // The listed order a run of digits in the line's texts names, preferring
    // one whose open amount is the line's; -1 for none.
    int numberedOrder(const StatementLine &line) const;

    QList<ListedOrder> m_orders;
    QList<qint64> m_open;
    QHash<qint64, int> m_byId;
    QHash<qint64, QList<int>> m_byOpen;
};
