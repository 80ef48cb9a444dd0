#pragma once

#include "import/ListedOrder.h"
#include "import/MatchKeys.h"
#include "import/MatchResult.h"
#include "import/NameIndex.h"
#include "import/PayerNames.h"
#include "import/StatementLine.h"

#include <QHash>
#include <QList>

#include <atomic>
#include <memory>

// Matches statement lines to the listed orders. A line is ticked only when a
// key identifies its order(s) (an order number, a phone number, a payer name
// the operators taught or one read as a listed 氏名 or 会社名) and the amounts
// agree: exactly, short by a bank fee,
// or as the sum of several orders or of several lines. The amount alone only
// proposes. Every order takes at most one line (a split order its lines).
// Lookups go through hashes by No., phone and open amount, so a statement
// costs time in proportion to its lines, not lines times orders.
class PaymentMatcher final
{
public:
    // No bank keeps more of a transfer; a larger tolerance is taken as 0.
    static constexpr qint64 MaxFeeTolerance = 1000;

    // FeeTolerance as parlow.ini writes it: missing or empty is 0 (off);
    // anything but a whole number up to MaxFeeTolerance is refused, with
    // refusal saying so, and taken as 0: a larger figure would let a token
    // transfer pay an order.
    static qint64 feeToleranceOf(const QString &setting, QString &refusal);

    // The names' readings are indexed for the orders unless the caller
    // hands over the index of the same list; stop ends the indexing.
    explicit PaymentMatcher(QList<ListedOrder> orders, qint64 feeTolerance = 0, PayerNames payerNames = {},
                            std::shared_ptr<const NameIndex> names = {}, const std::atomic_bool *stop = nullptr);

    const QList<ListedOrder> &orders() const { return m_orders; }
    const PayerNames &payerNames() const { return m_payerNames; }
    const NameIndex &names() const { return *m_names; }
    // The readings of the orders' names, for the next import of the same list.
    const std::shared_ptr<const NameIndex> &nameIndex() const { return m_names; }
    // Once stop is set, only the lines matched so far have a result.
    QList<MatchResult> match(const QList<StatementLine> &lines, const std::atomic_bool *stop = nullptr) const;
    // What the keys read in the line, for the tooltip on 照合: the name's
    // reading that matched, the numbers no listed order has. Worked out when
    // asked rather than kept for every line of a large statement.
    QString note(const StatementLine &line) const;

    // A 取消 line's keys for a look among all orders, paid ones included:
    // its 注文番号 column alone when it has one, else its texts' numbers and phones.
    static MatchKeys::Found cancelKeys(const StatementLine &line);
    // The one order of orders that the line's keys identify; -1 for none or
    // several. Its amount plays no part: it would name whoever paid as much.
    static int identified(const StatementLine &line, const QList<ListedOrder> &orders);

    static qint64 openAmount(const ListedOrder &order) { return order.billed - order.received; }
    qint64 open(int order) const { return m_open.at(order); }
    // The listed order with the No., -1 for none.
    int orderOf(qint64 id) const { return m_byId.value(id, -1); }
    static QString statusText(MatchStatus status);
    // "No.", "TEL", "名義" for the key that decided; empty for none.
    static QString keyText(MatchKey key);

private:
    struct Verdict;

    // What the line's keys make of it, each key alone and then together;
    // notes, when asked for, say what they read.
    Verdict keyed(const StatementLine &line, QStringList *notes = nullptr) const;
    Verdict fit(const QList<int> &named, qint64 amount, MatchKey key) const;
    Verdict byName(const StatementLine &line, const NameIndex::Named &named, QStringList *notes) const;
    Verdict withOthers(int order, qint64 amount, const QList<QList<int>> &customers) const;
    // The order of a combined payment that keeps the fee, -1 when it cannot be one.
    int feeBearer(const QList<int> &orders, qint64 fee) const;
    QList<int> phoneOrders(const QList<qint64> &phones) const;
    // The key of a payer name the operators taught.
    Verdict nameVerdict(const StatementLine &line) const;

    QList<ListedOrder> m_orders;
    qint64 m_feeTolerance{0};
    PayerNames m_payerNames;
    std::shared_ptr<const NameIndex> m_names;
    QList<qint64> m_phone; // 電話番号 as MatchKeys::phoneKey, TEL1's when it has none; 0 for none
    QList<qint64> m_open;
    QHash<qint64, int> m_byId;
    QMultiHash<qint64, int> m_byPhone;  // 電話番号 and TEL1 as MatchKeys::phoneKey
    QMultiHash<QString, int> m_byName;  // 氏名 without spaces, when names were taught
    QHash<qint64, QList<int>> m_byAmount; // by open amount, in list order
};
