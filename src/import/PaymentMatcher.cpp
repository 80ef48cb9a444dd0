#include "import/PaymentMatcher.h"

#include "import/MatchKeys.h"
#include "import/StatementValues.h"

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

QString withoutSpaces(const QString &name)
{
    return QString(name).remove(u' ').remove(u'\u3000');
}

bool ticks(MatchStatus status)
{
    return status == MatchStatus::Match || status == MatchStatus::FeeShort || status == MatchStatus::Combined;
}

// The single orders a verdict finds the amount fits.
bool fits(MatchStatus status)
{
    return status == MatchStatus::Match || status == MatchStatus::FeeShort || status == MatchStatus::MultipleCandidates;
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

PaymentMatcher::PaymentMatcher(QList<ListedOrder> orders, qint64 feeTolerance, PayerNames payerNames,
                               std::shared_ptr<const NameIndex> names, const std::atomic_bool *stop)
    : m_orders(std::move(orders)),
      m_feeTolerance(feeTolerance > 0 && feeTolerance <= MaxFeeTolerance ? feeTolerance : 0),
      m_payerNames(std::move(payerNames)),
      m_names(names ? std::move(names) : std::make_shared<const NameIndex>(m_orders, NameReadings::shared(), stop))
{
    for (int i = 0; i < int(m_orders.size()); ++i) {
        const ListedOrder &order = m_orders.at(i);
        m_open.append(openAmount(order));
        m_byId.insert(order.id, i);
        m_byAmount[m_open.at(i)].append(i);
        const qint64 phone = MatchKeys::phoneKey(order.phone);
        const qint64 tel1 = MatchKeys::phoneKey(order.tel1);
        if (phone != 0)
            m_byPhone.insert(phone, i);
        if (tel1 != 0 && tel1 != phone)
            m_byPhone.insert(tel1, i);
        m_phone.append(phone != 0 ? phone : tel1);
        if (!m_payerNames.isEmpty())
            m_byName.insert(withoutSpaces(order.name), i);
    }
}

qint64 PaymentMatcher::feeToleranceOf(const QString &setting, QString &refusal)
{
    refusal.clear();
    const QString text = setting.trimmed();
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const qint64 yen = text.toLongLong(&ok);
    if (ok && yen >= 0 && yen <= MaxFeeTolerance)
        return yen;
    refusal = u"parlow.ini の FeeTolerance=%1 は使えません（0〜%2 円）。この設定は無視し、手数料差なしで照合しています。"_s
                  .arg(text.left(20))
                  .arg(MaxFeeTolerance);
    return 0;
}

QString PaymentMatcher::statusText(MatchStatus status)
{
    static const std::array<QString, MatchStatusCount> texts{
        u"一致"_s, u"金額相違"_s, u"候補"_s, u"複数候補"_s, u"不一致"_s, u"重複"_s,
        u"不正"_s, u"一覧外"_s, u"取消"_s, u"手数料差"_s, u"合算"_s, u"分割"_s, u"速報"_s,
        u"支払方法違い"_s};
    return texts[size_t(status)];
}

QString PaymentMatcher::keyText(MatchKey key)
{
    const char16_t *texts[] = {u"", u"No.", u"TEL", u"名義"};
    return QString::fromUtf16(texts[int(key)]);
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

PaymentMatcher::Verdict PaymentMatcher::nameVerdict(const StatementLine &line) const
{
    const PayerNames::Customer *customer =
        m_payerNames.isEmpty() ? nullptr : m_payerNames.find(PayerNames::normalised(line.payerName));
    if (!customer)
        return {};
    // The customer is their phone number, or for one taught without it, the
    // orders of the 氏名 that have none; the other listed orders of the 氏名
    // are other customers.
    QList<int> own, namesakes;
    QList<int> sameName = customer->name.isEmpty() ? QList<int>{} : m_byName.values(withoutSpaces(customer->name));
    std::sort(sameName.begin(), sameName.end());
    if (customer->phone != 0)
        own = phoneOrders({customer->phone});
    for (const int order : sameName) {
        if (customer->phone == 0 && m_phone.at(order) == 0)
            own.append(order);
        else if (!own.contains(order))
            namesakes.append(order);
    }
    Verdict verdict = fit(own, line.amount, MatchKey::Name);
    // A name two customers share ticks only when the other has nothing that fits.
    if (const Verdict other = fit(namesakes, line.amount, MatchKey::Name);
        ticks(verdict.status) && fits(other.status)) {
        verdict.status = MatchStatus::MultipleCandidates;
        verdict.orders += other.orders;
        verdict.fee = 0;
    }
    return verdict;
}

int PaymentMatcher::feeBearer(const QList<int> &orders, qint64 fee) const
{
    // Beyond the open amounts, or short by more than a fee, is no combined payment.
    if (fee < 0 || fee > m_feeTolerance)
        return -1;
    int bearer = -1;
    for (int k = 0; k < orders.size(); ++k) {
        const qint64 open = m_open.at(orders.at(k));
        // Every order is paid something: none is owed nothing or owes less than the fee.
        if (open <= 0)
            return -1;
        if (open > fee)
            bearer = k;
    }
    return bearer;
}

PaymentMatcher::Verdict PaymentMatcher::fit(const QList<int> &named, qint64 amount, MatchKey key) const
{
    if (named.isEmpty())
        return {};
    QList<int> exact, short_;
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
    if (fitting.size() == 1)
        return {exact.isEmpty() ? MatchStatus::FeeShort : MatchStatus::Match, key, fitting,
                m_open.at(fitting.constFirst()) - amount};
    if (fitting.size() > 1)
        return {MatchStatus::MultipleCandidates, key, fitting, 0};
    if (const int bearer = feeBearer(named, sum - amount); named.size() > 1 && bearer >= 0) {
        // The fee stays on the last order.
        QList<int> orders = named;
        orders.move(bearer, orders.size() - 1);
        return {MatchStatus::Combined, key, orders, sum - amount};
    }
    return {MatchStatus::AmountDiffers, key, named, 0};
}

// A 注文番号 column's order short of the line, when the line's phone or name
// names its customer: the customer's other open orders that make up the
// difference exactly, one of them or all together, are paid with it.
PaymentMatcher::Verdict PaymentMatcher::withOthers(int order, qint64 amount,
                                                   const QList<QList<int>> &customers) const
{
    const qint64 rest = amount - m_open.at(order);
    for (const QList<int> &customer : customers) {
        if (!customer.contains(order))
            continue;
        QList<int> others = customer;
        others.removeAll(order);
        QList<int> one;
        qint64 sum = 0;
        for (const int other : std::as_const(others)) {
            sum += m_open.at(other);
            if (m_open.at(other) == rest)
                one.append(other);
        }
        QList<int> paid = one.size() == 1 ? one : (one.isEmpty() && sum == rest ? others : QList<int>());
        if (paid.isEmpty())
            continue;
        paid.append(order);
        std::sort(paid.begin(), paid.end());
        return {MatchStatus::Combined, MatchKey::Number, paid, 0};
    }
    return {};
}

// The payer's name: a taught one first, which only its customer's orders
// answer; else the customers whose listed name it reads as. Several
// customers are told apart by the amount or not at all, never paid together.
PaymentMatcher::Verdict PaymentMatcher::byName(const StatementLine &line, const NameIndex::Named &named,
                                               QStringList *notes) const
{
    if (Verdict taught = nameVerdict(line); taught.key != MatchKey::None) {
        if (notes)
            notes->prepend(u"名義 教えられた振込依頼人名"_s);
        return taught;
    }
    if (notes && named.common)
        notes->prepend(u"名義 %1 は %2 件を超える注文の名前です"_s.arg(named.reading).arg(NameIndex::MaxOrders));
    if (named.customers.isEmpty())
        return {};
    if (notes)
        notes->prepend(u"名義 "_s + named.reading);
    if (named.customers.size() == 1)
        return fit(named.customers.constFirst(), line.amount, MatchKey::Name);
    QList<int> all;
    for (const QList<int> &customer : named.customers)
        all += customer;
    std::sort(all.begin(), all.end());
    Verdict verdict = fit(all, line.amount, MatchKey::Name);
    if (verdict.status == MatchStatus::Combined || verdict.status == MatchStatus::AmountDiffers) {
        verdict.status = MatchStatus::MultipleCandidates;
        verdict.orders = all;
        verdict.fee = 0;
    }
    return verdict;
}

PaymentMatcher::Verdict PaymentMatcher::keyed(const StatementLine &line, QStringList *notes) const
{
    MatchKeys::Found found;
    for (const QString &text : line.searched)
        MatchKeys::scan(text, found);
    const QList<int> phoned = phoneOrders(found.phones);
    const NameIndex::Named named = m_names->named(line.payerName, m_phone);

    // A column that holds nothing but an order number decides first; one that
    // holds something else leaves the line without a key, and no text may
    // stand in for it.
    if (!line.namedOrder.isEmpty()) {
        if (!StatementValues::isDigits(line.namedOrder))
            return {};
        bool ok = false;
        const qint64 id = line.namedOrder.toLongLong(&ok);
        const int order = ok ? orderOf(id) : -1;
        if (notes && !named.customers.isEmpty())
            notes->append(u"名義 "_s + named.reading);
        if (order < 0)
            return {MatchStatus::NotListed, MatchKey::None, {}, 0};
        Verdict verdict = fit({order}, line.amount, MatchKey::Number);
        if (verdict.status == MatchStatus::AmountDiffers && line.amount > m_open.at(order)) {
            QList<QList<int>> customers = named.customers;
            customers.prepend(phoned);
            if (Verdict combined = withOthers(order, line.amount, customers); !combined.orders.isEmpty())
                return combined;
        }
        return verdict;
    }

    // Numbers and phones no listed order has are set aside, and the name decides.
    QList<int> numbered;
    for (const qint64 number : found.orderNumbers) {
        if (const int order = orderOf(number); order < 0 && notes)
            notes->append(u"No.%1 は一覧にありません"_s.arg(number));
        else if (order >= 0 && !numbered.contains(order))
            numbered.append(order);
    }
    for (const qint64 phone : found.phones) {
        if (notes && !m_byPhone.contains(phone))
            notes->append(u"TEL %1 は一覧にありません"_s.arg(MatchKeys::phoneDigits(phone)));
    }
    // One verdict per key, in the order a tie is told in.
    std::array<Verdict, 3> verdicts{fit(numbered, line.amount, MatchKey::Number),
                                    fit(phoned, line.amount, MatchKey::Phone), byName(line, named, notes)};

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
    if (!disagreeing.isEmpty())
        return {MatchStatus::MultipleCandidates, ticking->key, disagreeing, 0};
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

MatchKeys::Found PaymentMatcher::cancelKeys(const StatementLine &line)
{
    MatchKeys::Found found;
    if (!line.namedOrder.isEmpty()) {
        // As for a payment: a column no number can be read from names nothing.
        bool ok = false;
        const qint64 id = line.namedOrder.toLongLong(&ok);
        if (ok && StatementValues::isDigits(line.namedOrder))
            found.orderNumbers.append(id);
        return found;
    }
    for (const QString &text : line.searched)
        MatchKeys::scan(text, found);
    return found;
}

int PaymentMatcher::identified(const StatementLine &line, const QList<ListedOrder> &orders)
{
    const MatchKeys::Found keys = cancelKeys(line);
    const auto named = [&keys](const QString &phone) {
        const qint64 key = MatchKeys::phoneKey(phone);
        return key != 0 && keys.phones.contains(key);
    };
    int found = -1;
    for (int i = 0; i < orders.size(); ++i) {
        const ListedOrder &order = orders.at(i);
        if (!keys.orderNumbers.contains(order.id) && !named(order.phone) && !named(order.tel1))
            continue;
        if (found >= 0)
            return -1;
        found = i;
    }
    return found;
}

QString PaymentMatcher::note(const StatementLine &line) const
{
    QStringList notes;
    keyed(line, &notes);
    return notes.join(u'／');
}

QList<MatchResult> PaymentMatcher::match(const QList<StatementLine> &lines, const std::atomic_bool *stop) const
{
    QList<MatchResult> results(lines.size());
    // What the keys make of each line before any order is claimed: the
    // single order in order, every order in orders.
    QList<MatchResult> verdicts(lines.size());
    // Which orders have taken a line, and per amount the first NameIndex::MaxOrders
    // free orders, in list order, and how many there are. Lines of one amount
    // share the list until one of its orders is taken: a statement of many
    // like payments counts it once.
    QList<bool> taken(m_orders.size(), false);
    QHash<qint64, std::pair<QList<int>, int>> freeOf;
    const auto take = [&](int order) {
        taken[order] = true;
        freeOf.remove(m_open.at(order));
    };
    auto claim = [&](qsizetype line, int order, MatchStatus status) {
        results[line].order = order;
        if (taken.at(order)) {
            results[line].status = MatchStatus::Duplicate;
            return false;
        }
        results[line].status = status;
        take(order);
        return true;
    };

    for (qsizetype i = 0; i < lines.size(); ++i) {
        // Reading the payers' names is what takes the time.
        if (stop && *stop) {
            results.resize(i);
            return results;
        }
        const StatementLine &line = lines.at(i);
        MatchResult &result = results[i];
        if (!line.problem.isEmpty()) {
            result.status = MatchStatus::Invalid;
            continue;
        }
        const Verdict verdict = keyed(line);
        if (line.cancels || line.duplicate || line.early) {
            // Claims nothing. A cancellation names the one order a key
            // identifies, for the operator to look at; an amount alone would
            // name whoever owes it. A line saved as 重複 stays one.
            result.status = line.cancels ? MatchStatus::Cancelled
                            : line.early ? MatchStatus::Early
                                         : MatchStatus::Duplicate;
            verdicts[i].status = MatchStatus::Duplicate;
            result.key = line.cancels ? MatchKey::None : verdict.key;
            if (verdict.key != MatchKey::None && verdict.orders.size() == 1)
                result.order = verdict.orders.constFirst();
            continue;
        }
        verdicts[i] = {verdict.status, verdict.key, verdict.orders.size() == 1 ? verdict.orders.constFirst() : -1,
                       verdict.orders, {}, 0, verdict.fee};
        result.key = verdict.key;
        result.fee = verdict.fee;
    }
    // Exact payments claim their orders before the others, so a short payment
    // followed by the full one leaves the full one matched.
    for (const MatchStatus status : {MatchStatus::Match, MatchStatus::FeeShort}) {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (verdicts.at(i).status == status)
                claim(i, verdicts.at(i).order, status);
        }
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (verdicts.at(i).status != MatchStatus::Combined)
            continue;
        const QList<int> &orders = verdicts.at(i).orders;
        const auto claimed = std::find_if(orders.cbegin(), orders.cend(), [&](int order) { return taken.at(order); });
        if (claimed != orders.cend()) {
            claim(i, *claimed, MatchStatus::Combined);
            continue;
        }
        for (const int order : orders)
            take(order);
        results[i].status = MatchStatus::Combined;
        results[i].order = orders.constFirst();
        results[i].orders = orders;
    }

    // Lines short of one order they name may together pay it.
    QHash<int, QList<qsizetype>> parts;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int order = verdicts.at(i).order;
        if (verdicts.at(i).status == MatchStatus::AmountDiffers && order >= 0 && lines.at(i).amount < m_open.at(order))
            parts[order].append(i);
    }
    for (auto it = parts.cbegin(); it != parts.cend(); ++it) {
        if (it->size() < 2 || taken.at(it.key()))
            continue;
        qint64 sum = 0;
        for (const qsizetype i : *it)
            sum += lines.at(i).amount;
        const qint64 fee = m_open.at(it.key()) - sum;
        if (fee < 0 || fee > m_feeTolerance)
            continue;
        for (const qsizetype i : *it) {
            results[i].status = MatchStatus::Split;
            results[i].order = it.key();
            results[i].fee = i == it->constLast() ? fee : 0;
            verdicts[i].status = MatchStatus::Split;
        }
        take(it.key());
    }

    for (qsizetype i = 0; i < lines.size(); ++i) {
        const MatchResult &verdict = verdicts.at(i);
        if (verdict.status == MatchStatus::AmountDiffers) {
            claim(i, verdict.orders.constFirst(), MatchStatus::AmountDiffers);
        } else if (verdict.status == MatchStatus::MultipleCandidates) {
            results[i].status = MatchStatus::MultipleCandidates;
            results[i].candidates = verdict.orders.first(std::min<qsizetype>(verdict.orders.size(), NameIndex::MaxOrders));
            results[i].candidateCount = int(verdict.orders.size());
        } else if (verdict.status == MatchStatus::NotListed) {
            results[i].status = MatchStatus::NotListed;
        }
    }

    // Without a key the amount only proposes, among the orders still free.
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const MatchResult &verdict = verdicts.at(i);
        if (results.at(i).status == MatchStatus::Invalid || verdict.status == MatchStatus::Duplicate
            || verdict.key != MatchKey::None || verdict.status == MatchStatus::NotListed)
            continue;
        const qint64 amount = lines.at(i).amount;
        auto known = freeOf.constFind(amount);
        if (known == freeOf.cend()) {
            std::pair<QList<int>, int> free;
            for (const int order : m_byAmount.value(amount)) {
                if (!taken.at(order) && ++free.second <= NameIndex::MaxOrders)
                    free.first.append(order);
            }
            known = freeOf.insert(amount, free);
        }
        const auto [free, count] = *known;
        if (count == 1) {
            claim(i, free.constFirst(), MatchStatus::Candidate);
        } else if (count > 1) {
            results[i].status = MatchStatus::MultipleCandidates;
            results[i].candidates = free;
            results[i].candidateCount = count;
        } else if (const auto owing = m_byAmount.constFind(amount); owing != m_byAmount.cend()) {
            claim(i, owing->constFirst(), MatchStatus::Duplicate);
        } else {
            results[i].status = MatchStatus::NoMatch;
        }
    }
    return results;
}
