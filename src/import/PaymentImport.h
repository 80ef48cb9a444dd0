#pragma once

#include "import/MatchResult.h"
#include "import/PayerNames.h"
#include "import/PaymentMatcher.h"
#include "import/Statement.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <array>

// One import between reading the file and writing the grid: the statement,
// what matching made of each line, and the operator's ticks and picks.
class PaymentImport final
{
public:
    // What applying the ticked lines writes to a grid row.
    struct Receipt
    {
        int row{0};
        QDate date;
        qint64 paidAmount{0}; // already received plus what the line(s) pay the order
    };

    struct Total
    {
        int lines{0};
        qint64 amount{0};
    };

    // names: the readings of the same orders' names, when an earlier import
    // indexed them. Once stop is set, the import holds only the lines matched
    // by then. methods: which orders the statement's kind of file pays.
    PaymentImport(Statement statement, QList<ListedOrder> orders, qint64 feeTolerance = 0,
                  PayerNames payerNames = {}, std::shared_ptr<const NameIndex> names = {},
                  const std::atomic_bool *stop = nullptr, const PaymentMethods &methods = {});

    const Statement &statement() const { return m_statement; }
    const PaymentMatcher &matcher() const { return m_matcher; }
    int lineCount() const { return int(m_statement.lines.size()); }
    StatementLine line(int index) const { return m_statement.lines.at(index); }
    MatchResult result(int index) const { return m_results.at(index); }

    // The listed order the line goes to when ticked; -1 when it has none
    // (yet: a line with several candidates has one once the operator picks).
    // A combined payment's first order.
    int target(int index) const;
    // Every order the line pays when ticked.
    QList<int> targets(int index) const;
    // What the bank kept of the line's payment, as applied.
    qint64 fee(int index) const;
    bool isTicked(int index) const { return m_ticked.at(index); }
    // False, leaving the tick off, when the line has no order to go to or
    // is a cancellation (取消), which pays nothing.
    bool setTicked(int index, bool ticked);
    // The operator's pick among a line's candidates; -1 takes it back and
    // clears the tick. False for an order that is no candidate of the line.
    bool choose(int index, int order);
    // The operator gives the line to a listed order by its No. and ticks it;
    // false for a line that cannot be applied.
    bool assign(int index, int order);
    // Picked among the candidates or given by the operator.
    bool isByHand(int index) const { return m_chosen.at(index) >= 0; }

    // Why the ticks cannot be applied (two lines for one order); empty when they can.
    QString conflict() const;
    QList<Receipt> receipts() const;
    QList<int> unticked() const;
    std::array<Total, MatchStatusCount> totals() const;
    // The ticked lines and what they pay, kept as ticks change.
    Total tickedTotal() const { return m_tickedTotal; }
    // The payer names the ticked hand-given lines teach once registered.
    QList<PayerNames::Lesson> lessons() const;

    // The keys of the 取消 lines that name no listed order, for a look among all orders.
    MatchKeys::Found unnamedCancelKeys() const;
    // Names such a line's order among orders (those the keys found, paid ones
    // included) when its keys identify exactly one, off the list, that has
    // had at least the line's amount registered.
    void nameRegistered(const QList<ListedOrder> &orders);
    // The registered order off the list that a 取消 line names; nullptr for none.
    const ListedOrder *registered(int index) const;

    // What the preview says of the settings the import ran with (a refused FeeTolerance).
    void setNote(const QString &note) { m_note = note; }
    QString note() const { return m_note; }

private:
    bool paysSplit(int index) const;
    void tick(qsizetype index, bool ticked);

    Statement m_statement;
    PaymentMatcher m_matcher;
    QList<MatchResult> m_results;
    QList<int> m_chosen;
    QList<bool> m_ticked;
    Total m_tickedTotal;
    QString m_note;
    QHash<int, ListedOrder> m_registered; // by line
};
