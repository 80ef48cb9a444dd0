#pragma once

#include "core/data/DbConnection.h"

#include <QSqlDatabase>

#include <memory>

// DbConnection over Qt SQL: a SQLite file (the embedded default) or an ODBC
// connection string (the production path to SQL Server).
class PARLOW6DL_EXPORT QtSqlConnection final : public DbConnection
{
public:
    // How long a SQLite statement waits for another operator's write lock
    // before it fails with "database is locked". A register run holds the lock
    // for well under a second, so five seconds rides out a colleague's 登録
    // without leaving the operator staring at a frozen screen.
    static constexpr int DefaultBusyTimeoutMs = 5000;

    // Opens (and for SQLite creates) the database file. Throws DbError.
    static std::shared_ptr<QtSqlConnection> openSqlite(const QString &path,
                                                       int busyTimeoutMs = DefaultBusyTimeoutMs);
    // Opens an ODBC connection string such as
    // "Driver={ODBC Driver 18 for SQL Server};Server=...;Database=...". Throws DbError.
    static std::shared_ptr<QtSqlConnection> openOdbc(const QString &connectionString);

    // Takes over an already opened Qt SQL connection; closes it on destruction
    // only when ownsConnection is true.
    explicit QtSqlConnection(const QString &connectionName, bool ownsConnection);
    ~QtSqlConnection() override;

    QtSqlConnection(const QtSqlConnection &) = delete;
    QtSqlConnection &operator=(const QtSqlConnection &) = delete;

    std::unique_ptr<DbRecordset> Execute(const QString &statement) override;
    void BeginTrans() override;
    void CommitTrans() override;
    void RollbackTrans() override;

    QSqlDatabase database() const;

private:
    [[noreturn]] void throwTransactionError(const QString &fallback) const;

    QString m_connectionName;
    bool m_ownsConnection = false;
    QSqlDatabase m_database;
};
