#include "import/PaymentImport.h"

#include <QHash>

using namespace Qt::StringLiterals;

PaymentImport::PaymentImport(Statement statement, QList<ListedOrder> orders, qint64 feeTolerance,
                             PayerNames payerNames, std::shared_ptr<const NameIndex> names,
                             const std::atomic_bool *stop, const PaymentMethods &methods)
    : m_statement(std::move(statement)),
      m_matcher(std::move(orders), feeTolerance, std::move(payerNames), std::move(names), stop)
{
    m_results = m_matcher.match(m_statement.lines, stop);
    m_statement.lines.resize(m_results.size());
    // A convenience-store slip pays no order the customer was to pay by bank
    // transfer: the line shows the order but never goes to it.
    for (MatchResult &result : m_results) {
        const QList<int> orders = result.status == MatchStatus::Combined ? result.orders : QList<int>{result.order};
        const bool paying = result.status != MatchStatus::Cancelled && result.status != MatchStatus::Early
                            && result.status != MatchStatus::Duplicate && result.status != MatchStatus::NotListed;
        if (paying && std::any_of(orders.cbegin(), orders.cend(), [&](int order) {
                return order >= 0 && !methods.pays(m_statement.fileKind, m_matcher.orders().at(order).method);
            }))
            result.status = MatchStatus::WrongMethod;
    }
    m_chosen.fill(-1, m_results.size());
    m_ticked.fill(false, m_results.size());
    // Only what a key identified and the amounts agree with goes in unasked.
    for (qsizetype i = 0; i < m_results.size(); ++i) {
        const MatchStatus status = m_results.at(i).status;
        tick(i, status == MatchStatus::Match || status == MatchStatus::FeeShort
                   || status == MatchStatus::Combined || status == MatchStatus::Split);
    }
}

int PaymentImport::target(int index) const
{
    if (m_chosen.at(index) >= 0)
        return m_chosen.at(index);
    if (m_results.at(index).status == MatchStatus::MultipleCandidates)
        return -1;
    return m_results.at(index).order;
}

QList<int> PaymentImport::targets(int index) const
{
    if (m_chosen.at(index) < 0 && m_results.at(index).status == MatchStatus::Combined)
        return m_results.at(index).orders;
    const int order = target(index);
    return order >= 0 ? QList<int>{order} : QList<int>{};
}

qint64 PaymentImport::fee(int index) const
{
    return m_chosen.at(index) >= 0 ? 0 : m_results.at(index).fee;
}

bool PaymentImport::paysSplit(int index) const
{
    return m_chosen.at(index) < 0 && m_results.at(index).status == MatchStatus::Split;
}

void PaymentImport::tick(qsizetype index, bool ticked)
{
    if (m_ticked.at(index) == ticked)
        return;
    m_ticked[index] = ticked;
    m_tickedTotal.lines += ticked ? 1 : -1;
    m_tickedTotal.amount += ticked ? m_statement.lines.at(index).amount : -m_statement.lines.at(index).amount;
}

bool PaymentImport::setTicked(int index, bool ticked)
{
    // A cancellation names an order only for the operator to look at.
    tick(index, ticked && target(index) >= 0 && m_results.at(index).status != MatchStatus::Cancelled
                    && m_results.at(index).status != MatchStatus::WrongMethod);
    return m_ticked.at(index) == ticked;
}

bool PaymentImport::choose(int index, int order)
{
    if (order >= 0 && !m_results.at(index).candidates.contains(order))
        return false;
    m_chosen[index] = order;
    if (order < 0)
        tick(index, false);
    return true;
}

bool PaymentImport::assign(int index, int order)
{
    // A cancellation pays nothing, whoever it is given to.
    const MatchStatus status = m_results.at(index).status;
    if (order < 0 || order >= m_matcher.orders().size() || status == MatchStatus::Invalid
        || status == MatchStatus::Cancelled)
        return false;
    m_chosen[index] = order;
    tick(index, true);
    return true;
}

QString PaymentImport::conflict() const
{
    QHash<int, int> lineOf;
    for (int i = 0; i < lineCount(); ++i) {
        if (!m_ticked.at(i))
            continue;
        for (const int order : targets(i)) {
            // The lines of a split payment go to their order together.
            const auto taken = lineOf.constFind(order);
            if (taken != lineOf.cend() && !(paysSplit(*taken) && paysSplit(i))) {
                return u"%1行目と%2行目が同じ No.%3 に入金されます。どちらかのチェックを外してください。"_s
                    .arg(m_statement.lines.at(*taken).lineNumber)
                    .arg(m_statement.lines.at(i).lineNumber)
                    .arg(m_matcher.orders().at(order).id);
            }
            lineOf.insert(order, i);
        }
    }
    return QString();
}

QList<PaymentImport::Receipt> PaymentImport::receipts() const
{
    QList<Receipt> receipts;
    QHash<int, qsizetype> splitReceipt; // order -> its receipt, summed over its lines
    for (int i = 0; i < lineCount(); ++i) {
        if (!m_ticked.at(i))
            continue;
        const QList<int> orders = targets(i);
        if (orders.size() > 1) {
            // Each order its open amount; the fee stays on the last one.
            for (qsizetype k = 0; k < orders.size(); ++k) {
                const ListedOrder &order = m_matcher.orders().at(orders.at(k));
                const qint64 paid = m_matcher.open(orders.at(k)) - (k + 1 == orders.size() ? fee(i) : 0);
                receipts.append({order.row, m_statement.lines.at(i).date, order.received + paid});
            }
            continue;
        }
        const ListedOrder &order = m_matcher.orders().at(orders.constFirst());
        if (paysSplit(i)) {
            if (const auto known = splitReceipt.constFind(orders.constFirst()); known != splitReceipt.cend()) {
                Receipt &receipt = receipts[*known];
                receipt.paidAmount += m_statement.lines.at(i).amount;
                receipt.date = m_statement.lines.at(i).date;
                continue;
            }
            splitReceipt.insert(orders.constFirst(), receipts.size());
        }
        receipts.append({order.row, m_statement.lines.at(i).date, order.received + m_statement.lines.at(i).amount});
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
        total.amount += m_statement.lines.at(i).amount;
    }
    return totals;
}

MatchKeys::Found PaymentImport::unnamedCancelKeys() const
{
    MatchKeys::Found keys;
    const auto add = [](QList<qint64> &to, const QList<qint64> &found) {
        for (const qint64 key : found) {
            if (!to.contains(key))
                to.append(key);
        }
    };
    for (int i = 0; i < lineCount(); ++i) {
        if (m_results.at(i).status != MatchStatus::Cancelled || m_results.at(i).order >= 0)
            continue;
        const MatchKeys::Found found = PaymentMatcher::cancelKeys(line(i));
        add(keys.orderNumbers, found.orderNumbers);
        add(keys.phones, found.phones);
    }
    return keys;
}

void PaymentImport::nameRegistered(const QList<ListedOrder> &orders)
{
    for (int i = 0; i < lineCount(); ++i) {
        if (m_results.at(i).status != MatchStatus::Cancelled || m_results.at(i).order >= 0)
            continue;
        const int found = PaymentMatcher::identified(line(i), orders);
        // A listed order had its say through the keys; one that never took
        // the amount cannot have been paid with the deposit taken back.
        if (found >= 0 && m_matcher.orderOf(orders.at(found).id) < 0
            && orders.at(found).received >= m_statement.lines.at(i).amount)
            m_registered.insert(i, orders.at(found));
    }
}

const ListedOrder *PaymentImport::registered(int index) const
{
    const auto found = m_registered.constFind(index);
    return found == m_registered.cend() ? nullptr : &*found;
}

QList<PayerNames::Lesson> PaymentImport::lessons() const
{
    QList<PayerNames::Lesson> lessons;
    if (!m_matcher.payerNames().available())
        return lessons;
    for (int i = 0; i < lineCount(); ++i) {
        if (!m_ticked.at(i) || !isByHand(i))
            continue;
        const QString payer = PayerNames::normalised(line(i).payerName);
        if (payer.isEmpty())
            continue;
        const ListedOrder &order = m_matcher.orders().at(target(i));
        const QString phone = !order.phone.trimmed().isEmpty() ? order.phone.trimmed() : order.tel1.trimmed();
        lessons.append({order.id, payer, phone, order.name});
    }
    return lessons;
}
