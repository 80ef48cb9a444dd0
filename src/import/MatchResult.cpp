#include "import/MatchResult.h"

MatchResult MatchResults::at(qsizetype line) const
{
    const Line &stored = m_lines.at(line);
    MatchResult result;
    result.status = stored.status;
    result.key = stored.key;
    result.order = stored.order;
    result.fee = stored.fee;
    if (const auto list = m_lists.constFind(line); list != m_lists.cend()) {
        if (stored.status == MatchStatus::Combined)
            result.orders = list->orders;
        else if (stored.status == MatchStatus::MultipleCandidates)
            result.candidates = list->orders;
        result.candidateCount = list->count;
    }
    return result;
}

void MatchResults::setOrders(qsizetype line, const QList<int> &orders, int count)
{
    if (orders.isEmpty() && count == 0)
        m_lists.remove(line);
    else
        m_lists.insert(line, {orders, count});
}
