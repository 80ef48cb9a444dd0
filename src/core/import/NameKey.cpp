#include "core/import/NameKey.h"

#include "core/import/MatchKeys.h"

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
    named.familyOnly = found.familyOnly;
    QList<qint64> keys; // one per customer: a phone, or minus the name's place for none
    QStringList readings;
    for (qsizetype n = 0; n < found.names.size(); ++n) {
        const NameIndex::Name &name = found.names.at(n);
        readings.append(u"%1（%2）"_s.arg(name.reading, name.listed));
        for (const int order : name.orders) {
            const qint64 key = m_phone.value(order) != 0 ? m_phone.value(order) : -1 - n;
            qsizetype at = keys.indexOf(key);
            if (at < 0) {
                at = keys.size();
                keys.append(key);
                named.customers.append(QList<int>());
            }
            if (!named.customers.at(at).contains(order))
                named.customers[at].append(order);
        }
    }
    for (QList<int> &orders : named.customers)
        std::sort(orders.begin(), orders.end());
    named.reading = readings.join(u"、"_s);
    return named;
}
