#pragma once

#include "core/import/ListedOrder.h"
#include "core/import/MatchResult.h"
#include "core/import/StatementLine.h"

#include <QHash>
#include <QList>

// Matches statement lines to the listed orders: first by an order number in
// the line's texts, then by the open amount. Every order takes at most one
// line. Lookups go through a hash by No. and a hash by open amount, so a
// statement costs time in proportion to its lines, not lines times orders.
class PaymentMatcher final
{
public:
    // A choice among more is none: the operator looks the payer up instead.
    static constexpr int MaxCandidates = 100;

    explicit PaymentMatcher(QList<ListedOrder> orders);

    const QList<ListedOrder> &orders() const { return m_orders; }
    QList<MatchResult> match(const QList<StatementLine> &lines) const;

    // Billed less received, each rounded half to even as the suite rounds amounts.
    static qint64 openAmount(const ListedOrder &order);
    static QString statusText(MatchStatus status);

private:
    class Claims;

    // The listed order a run of digits in the line's texts names, preferring
    // one whose open amount is the line's; -1 for none.
    int numberedOrder(const StatementLine &line) const;

    QList<ListedOrder> m_orders;
    QList<qint64> m_open;
    QHash<qint64, int> m_byId;
    // Orders by open amount: each amount's orders lie together in m_byAmount,
    // in list order, from the position m_amountStart gives.
    QList<int> m_byAmount;
    QList<int> m_position; // of each order in m_byAmount
    QHash<qint64, int> m_amountStart;
    QHash<qint64, int> m_amountCount;
};
