#pragma once

#include "TestDatabase.h"
#include "core/data/QtSqlConnection.h"

#include <QString>
#include <QVariant>

#include <memory>

// The two ways to a PostgreSQL server: Qt's own driver and psqlODBC.
enum class ServerPath { Qpsql, Odbc };
Q_DECLARE_METATYPE(ServerPath)

// A database of its own on the test cluster the test command starts
// ($PARLOW6_PG_SOCKET, $PARLOW6_PG_PORT), with the suite's tables from
// sql/postgresql_schema.sql; dropped again at the end.
class ServerDatabase final
{
public:
    // For initTestCase: a run without a cluster fails, unless PARLOW6_NO_SERVER asks to skip.
    static void requireCluster();
    // "qpsql" or "odbc", for test row names.
    static const char *name(ServerPath path);
    // A data table's "path" column with a row for each path.
    static void addPaths();

    ServerDatabase();
    ~ServerDatabase();
    Q_DISABLE_COPY_MOVE(ServerDatabase)

    QString conninfo() const;
    QString odbcString() const;
    std::shared_ptr<QtSqlConnection> open(ServerPath path) const;
    // A connection of the test's own, for setting up and looking.
    QtSqlConnection &admin() const { return *m_admin; }
    // A new one, after a restart took the old one.
    void reopen() { m_admin = QtSqlConnection::openPostgreSql(conninfo()); }

    void exec(const QString &statement) const { m_admin->Execute(statement)->Close(); }
    QVariant scalar(const QString &query) const { return firstValue(*m_admin, query); }
    // count orders 1..count, unpaid, 銀行振込, shipped three days ago.
    void addOrders(int count, qint64 firstId = 1) const;
    // "id 入金日 入金額 入金確認送信" of every order with anything paid.
    QStringList receipts() const;

private:
    QString m_name;
    std::shared_ptr<QtSqlConnection> m_admin;
};
