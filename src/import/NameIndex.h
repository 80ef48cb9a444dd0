#pragma once

#include "import/ListedOrder.h"
#include "import/NameReadings.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

// The readings of the listed orders' 氏名 and 会社名, built once for a list:
// which listed names a payer's text reads as, whole (family and given name,
// or the company), and whether it reads as a family name alone. A 氏名's
// family and given names are read apart and joined at a query, so that the
// index holds each name's readings, not every pair of them.
class NameIndex final
{
public:
    struct Name
    {
        QString listed;      // the 氏名 or 会社名 as the list writes it
        QString reading;     // the reading the payer's text matched
        QList<int> orders;   // listed orders of the name, in list order
    };
    struct Found
    {
        QList<Name> names;     // whole names the text reads as
        bool familyOnly{false}; // it reads as a family name alone, and as no whole name
        bool cut{false};        // the text fills the field: a longer reading may start with it
    };
    // A payer's name as a key: the customers whose listed 氏名 or 会社名 the
    // whole name reads as. Orders of one name are one customer when they share
    // a phone number (or have none); one name with two phone numbers is two
    // customers, which the amount may tell apart but never pays together.
    struct Named
    {
        QList<QList<int>> customers; // each one's listed orders, in list order
        QString reading;             // what matched: the reading and the listed name
        bool common{false};          // on more than MaxOrders orders: no key
    };

    // A name on more orders than the preview offers to choose from is no key;
    // the matcher offers no more candidates than this either: a choice among
    // more is none, the operator looks the payer up instead.
    static constexpr int MaxOrders = 100;

    NameIndex() = default;
    // The dictionary's readings of the orders' names. Reading them is what
    // takes the time: once stop is set, the index reads no name.
    explicit NameIndex(const QList<ListedOrder> &orders,
                       std::shared_ptr<const NameReadings> reader = NameReadings::shared(),
                       const std::atomic_bool *stop = nullptr);

    // False without a dictionary: no name is read, why() says so.
    bool available() const { return m_available; }
    QString why() const { return m_why; }

    Found find(const QString &payerText) const;
    // phones: each listed order's phone key (TEL1's when it has no 電話番号), 0 for none.
    Named named(const QString &payer, const QList<qint64> &phones) const;

private:
    struct Entry
    {
        QString listed;
        QString form;     // a company's legal form, the banks' abbreviation
        bool company{false};
        int head{-1};     // family name, or the whole company
        int rest{-1};     // given name; the empty part for none
        QList<int> orders;
    };
    struct Part
    {
        QStringList readings;
        bool family{false}; // the first of a 氏名 with more after it
        bool head{false};   // some name begins with it
        bool rest{false};   // some name ends with it
    };

    void add(int order, const QString &listed, bool company, QHash<QString, int> &byText,
             QHash<QString, int> &byKey, QHash<QString, int> &parts, const NameReadings::Reader &reader);
    int partOf(const QString &text, QHash<QString, int> &parts, const NameReadings::Reader &reader);
    void collect(int head, int rest, const QString &reading, const QString &form, Found &found,
                 QList<int> &seen) const;
    static quint64 pairKey(int head, int rest) { return quint64(quint32(head)) << 32 | quint32(rest); }

    bool m_available{false};
    QString m_why;
    QList<Entry> m_entries;
    QList<Part> m_parts;
    QMultiHash<quint64, int> m_pairs;     // head and rest -> entry
    // Reading and part, sorted: a cut text's reading is looked up as a prefix.
    QList<std::pair<QString, int>> m_heads;
    QList<std::pair<QString, int>> m_rests;
    int m_emptyPart{-1};
};
