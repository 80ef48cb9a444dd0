#include "core/import/PaymentMatcher.h"

#include "core/data/Rounding.h"
#include "core/import/MatchKeys.h"

#include <QSet>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

QString withoutSpaces(const QString &name)
{
    QString compact = name;
    compact.remove(u' ').remove(u'\u3000');
    return compact;
}

bool ticks(MatchStatus status)
{
    return status == MatchStatus::Match || status == MatchStatus::FeeShort || status == MatchStatus::Combined;
}

} // namespace

// What one key makes of a line before any order is claimed.
struct PaymentMatcher::Verdict
{
    MatchStatus status{MatchStatus::NoMatch}; // NoMatch: the key names nothing
    MatchKey key{MatchKey::None};
    QList<int> orders; // what it pays, or the candidates
    qint64 fee{0};
};

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
        m_freeOf.remove(m_matcher.m_open.at(order));
    }

    // The first MaxCandidates free orders with the amount, in list order, and
    // how many there are. Lines of one amount share the list until one of its
    // orders is taken: a statement of many like payments holds it once.
    QList<int> free(qint64 amount, int &count)
    {
        count = 0;
        const auto start = m_matcher.m_amountStart.constFind(amount);
        if (start == m_matcher.m_amountStart.cend())
            return {};
        const int end = *start + m_matcher.m_amountCount.value(amount);
        count = end - *start - m_takenOfAmount.value(amount);
        if (const auto known = m_freeOf.constFind(amount); known != m_freeOf.cend())
            return *known;
        QList<int> orders;
        for (int at = find(*start); at < end && orders.size() < MaxCandidates; at = find(at + 1))
            orders.append(m_matcher.m_byAmount.at(at));
        m_freeOf.insert(amount, orders);
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
    QHash<qint64, QList<int>> m_freeOf;
};

PaymentMatcher::PaymentMatcher(QList<ListedOrder> orders, qint64 feeTolerance, PayerNames payerNames)
    : m_orders(std::move(orders)), m_feeTolerance(std::max<qint64>(feeTolerance, 0)),
      m_payerNames(std::move(payerNames))
{
    const qsizetype n = m_orders.size();
    m_open.reserve(n);
    m_byId.reserve(n);
    m_byPhone.reserve(n);
    for (int i = 0; i < n; ++i) {
        const ListedOrder &order = m_orders.at(i);
        m_open.append(openAmount(order));
        m_byId.insert(order.id, i);
        ++m_amountCount[m_open.at(i)];
        const qint64 phone = MatchKeys::phoneKey(order.phone);
        const qint64 tel1 = MatchKeys::phoneKey(order.tel1);
        if (phone != 0)
            m_byPhone.insert(phone, i);
        if (tel1 != 0 && tel1 != phone)
            m_byPhone.insert(tel1, i);
        if (!m_payerNames.isEmpty())
            m_byName.insert(withoutSpaces(order.name), i);
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
    static const std::array<QString, MatchStatusCount> texts{
        u"一致"_s, u"金額相違"_s, u"候補"_s, u"複数候補"_s, u"不一致"_s, u"重複"_s,
        u"不正"_s, u"一覧外"_s, u"取消"_s, u"手数料差"_s, u"合算"_s, u"分割"_s};
    return texts[size_t(status)];
}

QString PaymentMatcher::keyText(MatchKey key)
{
    switch (key) {
    case MatchKey::Number:
        return u"No."_s;
    case MatchKey::Phone:
        return u"TEL"_s;
    case MatchKey::Name:
        return u"名義"_s;
    case MatchKey::None:
        break;
    }
    return QString();
}

QList<int> PaymentMatcher::phoneOrders(const QList<qint64> &phones) const
{
    QList<int> orders;
    for (const qint64 phone : phones) {
        for (auto it = m_byPhone.constFind(phone); it != m_byPhone.cend() && it.key() == phone; ++it) {
            if (!orders.contains(*it))
                orders.append(*it);
        }
    }
    std::sort(orders.begin(), orders.end());
    return orders;
}

QList<int> PaymentMatcher::nameOrders(const QString &payer) const
{
    const PayerNames::Customer *customer = m_payerNames.find(PayerNames::normalised(payer));
    if (!customer)
        return {};
    if (customer->phone != 0)
        return phoneOrders({customer->phone});
    QList<int> orders = m_byName.values(withoutSpaces(customer->name));
    // One 氏名 with several phone numbers is several customers: none of them.
    qint64 phone = 0;
    for (const int order : orders) {
        const qint64 own = MatchKeys::phoneKey(m_orders.at(order).phone);
        if (own != 0 && phone != 0 && own != phone)
            return {};
        if (own != 0)
            phone = own;
    }
    std::sort(orders.begin(), orders.end());
    return orders;
}

PaymentMatcher::Verdict PaymentMatcher::fit(const QList<int> &named, qint64 amount, MatchKey key) const
{
    Verdict verdict;
    if (named.isEmpty())
        return verdict;
    verdict.key = key;
    QList<int> exact;
    QList<int> short_;
    qint64 sum = 0;
    for (const int order : named) {
        const qint64 missing = m_open.at(order) - amount;
        if (missing == 0)
            exact.append(order);
        else if (missing >= 1 && missing <= m_feeTolerance)
            short_.append(order);
        sum += m_open.at(order);
    }
    const QList<int> &fitting = exact.isEmpty() ? short_ : exact;
    if (fitting.size() == 1) {
        verdict.status = exact.isEmpty() ? MatchStatus::FeeShort : MatchStatus::Match;
        verdict.orders = fitting;
        verdict.fee = m_open.at(fitting.constFirst()) - amount;
        return verdict;
    }
    if (fitting.size() > 1) {
        verdict.status = MatchStatus::MultipleCandidates;
        verdict.orders = fitting;
        return verdict;
    }
    if (named.size() > 1 && sum - amount >= 0 && sum - amount <= m_feeTolerance) {
        verdict.status = MatchStatus::Combined;
        verdict.orders = named;
        verdict.fee = sum - amount;
        return verdict;
    }
    verdict.status = MatchStatus::AmountDiffers;
    verdict.orders = named;
    return verdict;
}

PaymentMatcher::Verdict PaymentMatcher::keyed(const StatementLine &line) const
{
    // A column that holds nothing but a number decides alone.
    if (!line.namedOrder.isEmpty()) {
        bool ok = false;
        const qint64 id = line.namedOrder.toLongLong(&ok);
        const int order = ok ? orderOf(id) : -1;
        if (order >= 0)
            return fit({order}, line.amount, MatchKey::Number);
        Verdict verdict;
        verdict.status = MatchStatus::NotListed;
        return verdict;
    }

    MatchKeys::Found found;
    for (const QString &text : line.searched)
        MatchKeys::scan(text, found);
    QList<int> numbered;
    for (const qint64 number : found.orderNumbers) {
        if (const int order = orderOf(number); order >= 0 && !numbered.contains(order))
            numbered.append(order);
    }
    std::array<Verdict, 3> verdicts{fit(numbered, line.amount, MatchKey::Number),
                                    fit(phoneOrders(found.phones), line.amount, MatchKey::Phone),
                                    m_payerNames.isEmpty() ? Verdict{}
                                                           : fit(nameOrders(line.payerName), line.amount,
                                                                 MatchKey::Name)};

    // Keys that tick must agree; two that name different orders leave the choice to the operator.
    const Verdict *ticking = nullptr;
    QList<int> disagreeing;
    for (const Verdict &verdict : verdicts) {
        if (!ticks(verdict.status))
            continue;
        if (!ticking) {
            ticking = &verdict;
        } else if (verdict.orders != ticking->orders) {
            for (const int order : verdict.orders + ticking->orders) {
                if (!disagreeing.contains(order))
                    disagreeing.append(order);
            }
        }
    }
    if (!disagreeing.isEmpty()) {
        Verdict verdict;
        verdict.status = MatchStatus::MultipleCandidates;
        verdict.key = ticking->key;
        verdict.orders = disagreeing;
        return verdict;
    }
    if (ticking)
        return *ticking;
    for (const MatchStatus status : {MatchStatus::MultipleCandidates, MatchStatus::AmountDiffers}) {
        for (const Verdict &verdict : verdicts) {
            if (verdict.status == status)
                return verdict;
        }
    }
    return {};
}

MatchResults PaymentMatcher::match(const StatementLines &lines) const
{
    MatchResults results(lines.size());
    // What the keys make of each line before any order is claimed, kept as
    // compact as the results: the single order in order(), several in orders().
    MatchResults verdicts(lines.size());
    const auto verdictOrders = [&verdicts](qsizetype line) {
        return verdicts.order(line) >= 0 ? QList<int>{verdicts.order(line)} : verdicts.orders(line);
    };
    Claims claims(*this);
    auto claim = [&](qsizetype line, int order, MatchStatus status) {
        results.setOrder(line, order);
        if (claims.isTaken(order)) {
            results.setStatus(line, MatchStatus::Duplicate);
            return false;
        }
        results.setStatus(line, status);
        claims.take(order);
        return true;
    };

    for (qsizetype i = 0; i < lines.size(); ++i) {
        const StatementLine line = lines.at(i);
        if (!line.problem.isEmpty()) {
            results.setStatus(i, MatchStatus::Invalid);
            continue;
        }
        const Verdict verdict = keyed(line);
        if (line.cancels) {
            // Claims nothing: it names the order it would have paid, for the operator to look at.
            results.setStatus(i, MatchStatus::Cancelled);
            if (!verdict.orders.isEmpty())
                results.setOrder(i, verdict.orders.constFirst());
            else if (verdict.key == MatchKey::None && m_amountCount.value(line.amount) == 1)
                results.setOrder(i, m_byAmount.at(m_amountStart.value(line.amount)));
            continue;
        }
        verdicts.setStatus(i, verdict.status);
        verdicts.setKey(i, verdict.key);
        verdicts.setFee(i, verdict.fee);
        if (verdict.orders.size() == 1)
            verdicts.setOrder(i, verdict.orders.constFirst());
        else
            verdicts.setOrders(i, verdict.orders);
        results.setKey(i, verdict.key);
        results.setFee(i, verdict.fee);
    }
    // Exact payments claim their orders before the others, so a short payment
    // followed by the full one leaves the full one matched.
    for (const MatchStatus status : {MatchStatus::Match, MatchStatus::FeeShort}) {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (verdicts.status(i) == status)
                claim(i, verdicts.order(i), status);
        }
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (verdicts.status(i) != MatchStatus::Combined)
            continue;
        const QList<int> orders = verdicts.orders(i);
        const auto taken = std::find_if(orders.cbegin(), orders.cend(),
                                        [&](int order) { return claims.isTaken(order); });
        if (taken != orders.cend()) {
            claim(i, *taken, MatchStatus::Combined);
            continue;
        }
        for (const int order : orders)
            claims.take(order);
        results.setStatus(i, MatchStatus::Combined);
        results.setOrder(i, orders.constFirst());
        results.setOrders(i, orders);
    }

    // Lines short of one order they name may together pay it.
    QHash<int, QList<qsizetype>> parts;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int order = verdicts.order(i);
        if (verdicts.status(i) == MatchStatus::AmountDiffers && order >= 0 && lines.amount(i) < m_open.at(order))
            parts[order].append(i);
    }
    for (auto it = parts.cbegin(); it != parts.cend(); ++it) {
        if (it->size() < 2 || claims.isTaken(it.key()))
            continue;
        qint64 sum = 0;
        for (const qsizetype i : *it)
            sum += lines.amount(i);
        const qint64 fee = m_open.at(it.key()) - sum;
        if (fee < 0 || fee > m_feeTolerance)
            continue;
        for (const qsizetype i : *it) {
            results.setStatus(i, MatchStatus::Split);
            results.setOrder(i, it.key());
            results.setFee(i, i == it->constLast() ? fee : 0);
            verdicts.setStatus(i, MatchStatus::Split);
        }
        claims.take(it.key());
    }

    for (qsizetype i = 0; i < lines.size(); ++i) {
        const MatchStatus status = verdicts.status(i);
        if (status == MatchStatus::AmountDiffers) {
            claim(i, verdictOrders(i).constFirst(), MatchStatus::AmountDiffers);
        } else if (status == MatchStatus::MultipleCandidates) {
            const QList<int> orders = verdicts.orders(i);
            results.setStatus(i, MatchStatus::MultipleCandidates);
            results.setOrders(i, orders.first(std::min<qsizetype>(orders.size(), MaxCandidates)), int(orders.size()));
        } else if (status == MatchStatus::NotListed) {
            results.setStatus(i, MatchStatus::NotListed);
        }
    }

    // Without a key the amount only proposes, among the orders still free.
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (results.status(i) == MatchStatus::Invalid || results.status(i) == MatchStatus::Cancelled
            || verdicts.key(i) != MatchKey::None || verdicts.status(i) == MatchStatus::NotListed)
            continue;
        const qint64 amount = lines.amount(i);
        int count = 0;
        const QList<int> free = claims.free(amount, count);
        if (count == 1) {
            claim(i, free.constFirst(), MatchStatus::Candidate);
        } else if (count > 1) {
            results.setStatus(i, MatchStatus::MultipleCandidates);
            results.setOrders(i, free, count);
        } else if (const auto start = m_amountStart.constFind(amount); start != m_amountStart.cend()) {
            claim(i, m_byAmount.at(*start), MatchStatus::Duplicate);
        } else {
            results.setStatus(i, MatchStatus::NoMatch);
        }
    }
    return results;
}
