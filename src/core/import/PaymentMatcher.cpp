#include "core/import/PaymentMatcher.h"

#include "core/data/Rounding.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

// Longer runs are account or phone numbers beyond any order number.
constexpr qsizetype MaxOrderDigits = 18;

template<typename Visit>
void forEachDigitRun(QStringView text, Visit visit)
{
    const qsizetype n = text.size();
    qsizetype pos = 0;
    while (pos < n) {
        if (text[pos] < u'0' || text[pos] > u'9') {
            ++pos;
            continue;
        }
        const qsizetype start = pos;
        qint64 value = 0;
        while (pos < n && text[pos] >= u'0' && text[pos] <= u'9') {
            if (pos - start < MaxOrderDigits)
                value = value * 10 + (text[pos].unicode() - u'0');
            ++pos;
        }
        if (pos - start <= MaxOrderDigits && visit(value))
            return;
    }
}

} // namespace

PaymentMatcher::PaymentMatcher(QList<ListedOrder> orders)
    : m_orders(std::move(orders))
{
    m_open.reserve(m_orders.size());
    m_byId.reserve(m_orders.size());
    m_byOpen.reserve(m_orders.size());
    for (int i = 0; i < m_orders.size(); ++i) {
        const qint64 open = openAmount(m_orders.at(i));
        m_open.append(open);
        m_byId.insert(m_orders.at(i).id, i);
        m_byOpen[open].append(i);
    }
}

qint64 PaymentMatcher::openAmount(const ListedOrder &order)
{
    return qint64(RoundHalfEven(order.billed)) - qint64(RoundHalfEven(order.received));
}

QString PaymentMatcher::statusText(MatchStatus status)
{
    static const std::array<QString, MatchStatusCount> texts{u"一致"_s, u"金額相違"_s, u"候補"_s, u"複数候補"_s,
                                                            u"不一致"_s, u"重複"_s, u"不正"_s, u"一覧外"_s};
    return texts[size_t(status)];
}

int PaymentMatcher::numberedOrder(const StatementLine &line) const
{
    int first = -1;
    int exact = -1;
    for (const QString &text : line.searched) {
        forEachDigitRun(text, [&](qint64 value) {
            const auto found = m_byId.constFind(value);
            if (found == m_byId.cend())
                return false;
            if (first < 0)
                first = *found;
            if (m_open.at(*found) == line.amount)
                exact = *found;
            return exact >= 0;
        });
        if (exact >= 0)
            return exact;
    }
    return first;
}

QList<MatchResult> PaymentMatcher::match(const QList<StatementLine> &lines) const
{
    QList<MatchResult> results(lines.size());
    QList<int> numbered(lines.size(), -1);
    QList<bool> claimed(m_orders.size(), false);
    auto claim = [&](qsizetype line, int order, MatchStatus status) {
        results[line].order = order;
        results[line].status = claimed.at(order) ? MatchStatus::Duplicate : status;
        claimed[order] = true;
    };

    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines.at(i).problem.isEmpty())
            results[i].status = MatchStatus::Invalid;
        else
            numbered[i] = numberedOrder(lines.at(i));
    }
    // Exact payments claim their orders before lines with other amounts, so
    // a short payment followed by the full one leaves the full one matched.
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (numbered.at(i) >= 0 && m_open.at(numbered.at(i)) == lines.at(i).amount)
            claim(i, numbered.at(i), MatchStatus::Match);
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (numbered.at(i) >= 0 && m_open.at(numbered.at(i)) != lines.at(i).amount)
            claim(i, numbered.at(i), MatchStatus::AmountDiffers);
    }

    auto unclaimed = [&](qint64 amount) {
        QList<int> free;
        for (const int order : m_byOpen.value(amount)) {
            if (!claimed.at(order))
                free.append(order);
        }
        return free;
    };
    // Lines with one free order claim it; those with several wait until
    // every single one has, then pick from what is left.
    QList<qsizetype> waiting;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (results.at(i).status == MatchStatus::Invalid || numbered.at(i) >= 0)
            continue;
        if (!lines.at(i).namedOrder.isEmpty()) {
            results[i].status = MatchStatus::NotListed;
            results[i].namedOrder = lines.at(i).namedOrder;
            continue;
        }
        const QList<int> free = unclaimed(lines.at(i).amount);
        if (free.size() == 1)
            claim(i, free.constFirst(), MatchStatus::Candidate);
        else if (free.size() > 1)
            waiting.append(i);
        else if (m_byOpen.contains(lines.at(i).amount))
            claim(i, m_byOpen.value(lines.at(i).amount).constFirst(), MatchStatus::Duplicate);
        else
            results[i].status = MatchStatus::NoMatch;
    }
    for (const qsizetype i : std::as_const(waiting)) {
        const QList<int> free = unclaimed(lines.at(i).amount);
        if (free.size() == 1) {
            claim(i, free.constFirst(), MatchStatus::Candidate);
        } else if (free.isEmpty()) {
            claim(i, m_byOpen.value(lines.at(i).amount).constFirst(), MatchStatus::Duplicate);
        } else {
            results[i].status = MatchStatus::MultipleCandidates;
            results[i].candidates = free;
        }
    }
    return results;
}
