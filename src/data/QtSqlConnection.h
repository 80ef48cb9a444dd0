#pragma once

#include "data/DbConnection.h"

#include <QSqlDatabase>

#include <memory>

// DbConnection over Qt SQL: a SQLite file (the embedded default) or an ODBC
// connection string (the production path to SQL Server).
class PARLOW6DL_EXPORT QtSqlConnection final : public DbConnection
{
public:
    // Opens (and for SQLite creates) the database file. Throws DbError.
    static std::shared_ptr<QtSqlConnection> openSqlite(const QString &path);
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
    QString m_connectionName;
    bool m_ownsConnection = false;
};
