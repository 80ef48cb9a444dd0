#include "import/NameKey.h"

#include "import/MatchKeys.h"

#include <algorithm>

using namespace Qt::StringLiterals;

NameKey::NameKey(const QList<ListedOrder> &orders, std::shared_ptr<const NameIndex> index)
    : m_index(std::move(index))
{
    m_phone.reserve(orders.size());
    for (const ListedOrder &order : orders) {
        const qint64 phone = MatchKeys::phoneKey(order.phone);
        m_phone.append(phone != 0 ? phone : MatchKeys::phoneKey(order.tel1));
    }
}

NameKey::Named NameKey::named(const QString &payer) const
{
    Named named;
    if (!available() || payer.trimmed().isEmpty())
        return named;
    const NameIndex::Found found = m_index->find(payer);
    QStringList readings;
    qsizetype orders = 0;
    for (const NameIndex::Name &name : found.names) {
        readings.append(u"%1（%2）"_s.arg(name.reading, name.listed));
        orders += name.orders.size();
    }
    named.reading = readings.join(u"、"_s);
    // A name on more orders than a choice can offer tells no one apart.
    if (orders > MaxOrders) {
        named.common = true;
        return named;
    }
    QList<qint64> customerKeys; // a phone, or minus the name's place for none; at most MaxOrders
    for (qsizetype n = 0; n < found.names.size(); ++n) {
        for (const int order : found.names.at(n).orders) {
            const qint64 key = m_phone.value(order) != 0 ? m_phone.value(order) : -1 - n;
            qsizetype at = customerKeys.indexOf(key);
            if (at < 0) {
                at = customerKeys.size();
                customerKeys.append(key);
                named.customers.append(QList<int>());
            }
            if (!named.customers.at(at).contains(order))
                named.customers[at].append(order);
        }
    }
    for (QList<int> &customer : named.customers)
        std::sort(customer.begin(), customer.end());
    return named;
}
