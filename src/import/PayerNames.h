#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <cstdint>

class DbConnection;

// Payer names the operators taught: the normalised name a bank writes for a
// customer's transfers, and the customer (phone number, or 氏名 for an order
// without one). Kept in NYUKIN_MEIGI, shared by all operators.
class PayerNames final
{
public:
    struct Customer
    {
        qint64 phone{0}; // MatchKeys::phoneKey; 0: known by name
        QString name;
    };

    // One hand-given line, learnt when its order is registered.
    struct Lesson
    {
        qint64 orderId{0};
        QString payer; // normalised
        QString phone; // as the order holds it; empty: known by name
        QString name;
    };

    // Half-width and full-width kana alike, small kana as large ones, spaces
    // and long-vowel marks gone, and 株式会社/有限会社 written one way
    // whichever of their bank abbreviations (ｶ) (ｶ ﾕ) (ﾕ) the payer used.
    static QString normalised(const QString &payer);

    // Whether the taught names could be used for this import.
    enum class Learning : std::uint8_t {
        On,
        NoTable,    // the database has no NYUKIN_MEIGI: learning is off until it is created
        Unreadable, // the table is there but could not be read now (another program's lock, a right)
    };

    // Every taught name; when they cannot be read, learning is off for this
    // import, learning() says whether the table is missing and why() gives
    // the database's message.
    static PayerNames Load(DbConnection &connection);

    bool available() const { return m_learning == Learning::On; }
    Learning learning() const { return m_learning; }
    QString why() const { return m_why; }
    const Customer *find(const QString &normalisedPayer) const;
    bool isEmpty() const { return m_names.isEmpty(); }

    void teach(const QString &normalisedPayer, const Customer &customer);
    void setUnavailable(const QString &why, Learning learning = Learning::NoTable);

    // Writes the lessons inside the caller's transaction, the later of two
    // for one name winning.
    static void Write(DbConnection &connection, const QList<Lesson> &lessons, const QString &today);

private:
    QHash<QString, Customer> m_names;
    Learning m_learning{Learning::On};
    QString m_why;
};
