#pragma once

#include "core/data/QtSqlConnection.h"

#include <QTemporaryDir>
#include <QVariant>

#include <memory>

// The first column of the first row query returns, or a null QVariant.
QVariant firstValue(DbConnection &connection, const QString &query);

// A real SQLite suite database in a temporary folder, with the four tables the
// component reads, and small helpers to fill and inspect it.
class TestDatabase final
{
public:
    // Unpaid, shipped three days ago: inside the range the list opens with.
    struct Order
    {
        qint64 id = 0;
        QVariant name = QStringLiteral("山田 太郎");
        QVariant tel = QStringLiteral("03-1234-5678");
        QVariant tel1{};
        QVariant orderDate{};
        QVariant billed = 1000;
        QVariant paidDate{};
        QVariant paidAmount = 0;
        QVariant method = QStringLiteral("銀行振込");
        QVariant shipDate = daysAgo(3);
        QVariant shopId = QStringLiteral("S01");
        int mailSent = 0;
    };

    // Statements wait busyTimeoutMs for another connection's lock.
    explicit TestDatabase(int busyTimeoutMs = QtSqlConnection::DefaultLockTimeoutMs);

    std::shared_ptr<QtSqlConnection> connection() const { return m_connection; }
    QString path() const { return m_dir.filePath(QStringLiteral("suite.sqlite")); }

    void exec(const QString &statement) { m_connection->Execute(statement)->Close(); }
    // One row, every column in the table's order.
    void insert(const QString &table, const QVariantList &values);
    void addShop(const QVariant &id, const QVariant &name) { insert(QStringLiteral("SHOP"), {id, name}); }
    void addPayment(const QVariant &method, int ok, int ord) { insert(QStringLiteral("PAYMENT"), {method, ok, ord}); }
    // A null QVariant stores Null; no call leaves CONTROL without a row.
    void setExempt(const QVariant &tabJoined);
    void addOrder(const Order &order);
    // The statements of the product's SQLite schema that name [table]: the table and its index.
    void addSchemaTable(const QString &table);
    QVariant scalar(const QString &query) const { return firstValue(*m_connection, query); }

    // "YYYY/MM/DD" of today minus days.
    static QString daysAgo(int days);

private:
    QTemporaryDir m_dir;
    std::shared_ptr<QtSqlConnection> m_connection;
};
