#pragma once

#include "core/import/MatchResult.h"
#include "core/import/PaymentMatcher.h"
#include "core/import/Statement.h"

#include <QList>
#include <QString>

#include <array>

// One import between reading the file and writing the grid: the statement,
// what matching made of each line, and the operator's ticks and picks.
class PaymentImport final
{
public:
    // What applying a ticked line writes to its grid row.
    struct Receipt
    {
        int row{0};
        int julianDay{0};
        qint64 paidAmount{0}; // already received plus the line's amount
    };

    struct Total
    {
        int lines{0};
        qint64 amount{0};
    };

    PaymentImport(Statement statement, QList<ListedOrder> orders);

    const Statement &statement() const { return m_statement; }
    const PaymentMatcher &matcher() const { return m_matcher; }
    int lineCount() const { return int(m_statement.lines.size()); }
    const StatementLine &line(int index) const { return m_statement.lines.at(index); }
    const MatchResult &result(int index) const { return m_results.at(index); }

    // The listed order the line goes to when ticked; -1 when it has none
    // (yet: a line with several candidates has one once the operator picks).
    int target(int index) const;
    bool isTicked(int index) const { return m_ticked.at(index); }
    // False, leaving the tick off, when the line has no order to go to or
    // is a cancellation (取消), which pays nothing.
    bool setTicked(int index, bool ticked);
    // The operator's pick among a line's candidates; -1 takes it back and
    // clears the tick. False for an order that is no candidate of the line.
    bool choose(int index, int order);

    // Why the ticks cannot be applied (two lines for one order); empty when they can.
    QString conflict() const;
    QList<Receipt> receipts() const;
    QList<int> unticked() const;
    std::array<Total, MatchStatusCount> totals() const;

private:
    Statement m_statement;
    PaymentMatcher m_matcher;
    QList<MatchResult> m_results;
    QList<int> m_chosen;
    QList<bool> m_ticked;
};
