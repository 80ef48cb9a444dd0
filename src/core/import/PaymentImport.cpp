#include "core/import/PaymentImport.h"

#include "core/data/Rounding.h"

#include <QHash>

using namespace Qt::StringLiterals;

PaymentImport::PaymentImport(Statement statement, QList<ListedOrder> orders)
    : m_statement(std::move(statement)), m_matcher(std::move(orders))
{
    m_results = m_matcher.match(m_statement.lines);
    m_chosen.fill(-1, m_results.size());
    m_ticked.fill(false, m_results.size());
    // Only what agrees in both number and amount goes in unasked.
    for (qsizetype i = 0; i < m_results.size(); ++i)
        m_ticked[i] = m_results.at(i).status == MatchStatus::Match;
}

int PaymentImport::target(int index) const
{
    const MatchResult &result = m_results.at(index);
    if (result.status == MatchStatus::MultipleCandidates)
        return m_chosen.at(index);
    return result.order;
}

bool PaymentImport::setTicked(int index, bool ticked)
{
    // A cancellation names an order only for the operator to look at.
    m_ticked[index] = ticked && target(index) >= 0 && m_results.at(index).status != MatchStatus::Cancelled;
    return m_ticked.at(index) == ticked;
}

bool PaymentImport::choose(int index, int order)
{
    if (order >= 0 && !m_results.at(index).candidates.contains(order))
        return false;
    m_chosen[index] = order;
    if (order < 0)
        m_ticked[index] = false;
    return true;
}

QString PaymentImport::conflict() const
{
    QHash<int, int> lineOf;
    for (int i = 0; i < lineCount(); ++i) {
        if (!m_ticked.at(i))
            continue;
        const int order = target(i);
        if (const auto taken = lineOf.constFind(order); taken != lineOf.cend()) {
            return u"%1行目と%2行目が同じ No.%3 に入金されます。どちらかのチェックを外してください。"_s
                .arg(line(*taken).lineNumber)
                .arg(line(i).lineNumber)
                .arg(m_matcher.orders().at(order).id);
        }
        lineOf.insert(order, i);
    }
    return QString();
}

QList<PaymentImport::Receipt> PaymentImport::receipts() const
{
    QList<Receipt> receipts;
    for (int i = 0; i < lineCount(); ++i) {
        if (!m_ticked.at(i))
            continue;
        const ListedOrder &order = m_matcher.orders().at(target(i));
        receipts.append({order.row, line(i).julianDay, qint64(RoundHalfEven(order.received)) + line(i).amount});
    }
    return receipts;
}

QList<int> PaymentImport::unticked() const
{
    QList<int> lines;
    for (int i = 0; i < lineCount(); ++i) {
        if (!m_ticked.at(i))
            lines.append(i);
    }
    return lines;
}

std::array<PaymentImport::Total, MatchStatusCount> PaymentImport::totals() const
{
    std::array<Total, MatchStatusCount> totals{};
    for (int i = 0; i < lineCount(); ++i) {
        Total &total = totals[size_t(m_results.at(i).status)];
        ++total.lines;
        total.amount += line(i).amount;
    }
    return totals;
}
