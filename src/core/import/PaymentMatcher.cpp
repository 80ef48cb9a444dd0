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

// Which orders have taken a line. Free orders of one amount are found by
// skipping taken positions with path-halving links, so listing or counting
// them never walks the taken ones twice.
class PaymentMatcher::Claims final
{
public:
    explicit Claims(const PaymentMatcher &matcher)
        : m_matcher(matcher), m_taken(matcher.m_orders.size(), false)
    {
        m_next.resize(matcher.m_byAmount.size() + 1);
        for (qsizetype i = 0; i < m_next.size(); ++i)
            m_next[i] = int(i);
    }

    bool isTaken(int order) const { return m_taken.at(order); }

    void take(int order)
    {
        m_taken[order] = true;
        m_next[m_matcher.m_position.at(order)] = m_matcher.m_position.at(order) + 1;
        ++m_takenOfAmount[m_matcher.m_open.at(order)];
    }

    // Up to limit free orders with the amount, in list order, and how many there are.
    QList<int> free(qint64 amount, int limit, int &count)
    {
        count = 0;
        const auto start = m_matcher.m_amountStart.constFind(amount);
        if (start == m_matcher.m_amountStart.cend())
            return {};
        const int end = *start + m_matcher.m_amountCount.value(amount);
        count = end - *start - m_takenOfAmount.value(amount);
        QList<int> orders;
        for (int at = find(*start); at < end && orders.size() < limit; at = find(at + 1))
            orders.append(m_matcher.m_byAmount.at(at));
        return orders;
    }

private:
    int find(int at)
    {
        while (m_next.at(at) != at) {
            m_next[at] = m_next.at(m_next.at(at));
            at = m_next.at(at);
        }
        return at;
    }

    const PaymentMatcher &m_matcher;
    QList<bool> m_taken;
    QList<int> m_next;
    QHash<qint64, int> m_takenOfAmount;
};

PaymentMatcher::PaymentMatcher(QList<ListedOrder> orders)
    : m_orders(std::move(orders))
{
    const qsizetype n = m_orders.size();
    m_open.reserve(n);
    m_byId.reserve(n);
    for (int i = 0; i < n; ++i) {
        m_open.append(openAmount(m_orders.at(i)));
        m_byId.insert(m_orders.at(i).id, i);
        ++m_amountCount[m_open.at(i)];
    }
    // A counting sort by amount keeps each amount's orders in list order.
    int next = 0;
    for (auto it = m_amountCount.cbegin(); it != m_amountCount.cend(); ++it) {
        m_amountStart.insert(it.key(), next);
        next += it.value();
    }
    QHash<qint64, int> fill = m_amountStart;
    m_byAmount.resize(n);
    m_position.resize(n);
    for (int i = 0; i < n; ++i) {
        const int at = fill[m_open.at(i)]++;
        m_byAmount[at] = i;
        m_position[i] = at;
    }
}

qint64 PaymentMatcher::openAmount(const ListedOrder &order)
{
    return qint64(RoundHalfEven(order.billed)) - qint64(RoundHalfEven(order.received));
}

QString PaymentMatcher::statusText(MatchStatus status)
{
    static const std::array<QString, MatchStatusCount> texts{u"一致"_s, u"金額相違"_s, u"候補"_s, u"複数候補"_s,
                                                            u"不一致"_s, u"重複"_s, u"不正"_s, u"一覧外"_s,
                                                            u"取消"_s};
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
    Claims claims(*this);
    auto claim = [&](qsizetype line, int order, MatchStatus status) {
        results[line].order = order;
        if (claims.isTaken(order)) {
            results[line].status = MatchStatus::Duplicate;
            return;
        }
        results[line].status = status;
        claims.take(order);
    };

    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines.at(i).problem.isEmpty()) {
            results[i].status = MatchStatus::Invalid;
        } else if (lines.at(i).cancels) {
            // Claims nothing: it names the order it would have paid, for the operator to look at.
            results[i].status = MatchStatus::Cancelled;
            results[i].order = numberedOrder(lines.at(i));
            if (results[i].order < 0 && m_amountCount.value(lines.at(i).amount) == 1)
                results[i].order = m_byAmount.at(m_amountStart.value(lines.at(i).amount));
        } else {
            numbered[i] = numberedOrder(lines.at(i));
        }
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

    // Without a number the amount decides, among the orders still free.
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (results.at(i).status == MatchStatus::Invalid || results.at(i).status == MatchStatus::Cancelled
            || numbered.at(i) >= 0)
            continue;
        if (!lines.at(i).namedOrder.isEmpty()) {
            results[i].status = MatchStatus::NotListed;
            results[i].namedOrder = lines.at(i).namedOrder;
            continue;
        }
        const qint64 amount = lines.at(i).amount;
        int count = 0;
        const QList<int> free = claims.free(amount, MaxCandidates, count);
        if (count == 1) {
            claim(i, free.constFirst(), MatchStatus::Candidate);
        } else if (count > 1) {
            results[i].status = MatchStatus::MultipleCandidates;
            results[i].candidates = free;
            results[i].candidateCount = count;
        } else if (const auto start = m_amountStart.constFind(amount); start != m_amountStart.cend()) {
            claim(i, m_byAmount.at(*start), MatchStatus::Duplicate);
        } else {
            results[i].status = MatchStatus::NoMatch;
        }
    }
    return results;
}
