#pragma once

#include "import/ListedOrder.h"
#include "import/NameIndex.h"

#include <QList>
#include <QString>

#include <memory>

// A payer's name as a key: the customers whose listed 氏名 or 会社名 the
// whole name reads as. Orders of one name are one customer when they share
// a phone number (or have none); one name with two phone numbers is two
// customers, which the amount may tell apart but never pays together. A name
// on more orders than the operator could choose from is no key.
class NameKey final
{
public:
    struct Named
    {
        QList<QList<int>> customers; // each one's listed orders, in list order
        QString reading;             // what matched: the reading and the listed name
        bool common{false};          // on more than MaxOrders orders: no key
    };

    // As many orders as the preview offers to choose from.
    static constexpr int MaxOrders = 100;

    NameKey() = default;
    NameKey(const QList<ListedOrder> &orders, std::shared_ptr<const NameIndex> index);

    bool available() const { return m_index && m_index->available(); }
    QString why() const { return m_index ? m_index->why() : QString(); }
    const std::shared_ptr<const NameIndex> &index() const { return m_index; }

    Named named(const QString &payer) const;

private:
    std::shared_ptr<const NameIndex> m_index;
    QList<qint64> m_phone; // each order's phone key, TEL1's when it has no 電話番号; 0 for none
};
