#pragma once

#include "core/data/QtSqlConnection.h"

// An ODBC connection (Qt's QODBC): SQL Server, PostgreSQL through psqlODBC,
// or the SQLite driver the tests use, as the driver's DBMS name says.
// Results are read through ODBC itself (OdbcRecordset), texts as UTF-8
// where the driver hands them out so.
class OdbcConnection final : public QtSqlConnection
{
public:
    OdbcConnection(const QString &connectionName, bool ownsConnection);

    std::unique_ptr<DbRecordset> Execute(const QString &statement) override;
    // One statement text per row, with the values written in as literals,
    // as SQL Server has always received them.
    void ExecuteEach(const QString &statement, const QList<QVariantList> &rows) override
    {
        DbConnection::ExecuteEach(statement, rows);
    }

private:
    void applyLockTimeout(int milliseconds) override;
    void prepare() override;
    bool lostBy(const QSqlError &error) const override;

    bool m_utf8Texts = false; // the driver's narrow texts are UTF-8
};
