#pragma once

#include "core/data/DbConnection.h"

#include <QSqlDatabase>

#include <memory>

class SqliteHandle;

// DbConnection over Qt SQL: a SQLite file (the embedded default) or an ODBC
// connection string (the production path to SQL Server).
class PARLOW6DL_EXPORT QtSqlConnection final : public DbConnection
{
public:
    // How long a statement waits for another operator's lock before it fails
    // with "database is locked": long enough to ride out a colleague's 登録,
    // short enough that nobody stares at a frozen screen.
    static constexpr int DefaultLockTimeoutMs = 5000;

    // Throws DbError for a name that would not be a database file of its
    // own: SQLite gives "" and ":memory:" a private database nobody else
    // sees, and reads "file:" names as options.
    static void checkSqlitePath(const QString &path);
    // Opens (and for SQLite creates) the database file. Throws DbError.
    static std::shared_ptr<QtSqlConnection> openSqlite(const QString &path,
                                                       int lockTimeoutMs = DefaultLockTimeoutMs);
    // Opens an ODBC connection string such as
    // "Driver={ODBC Driver 18 for SQL Server};Server=...;Database=...". Throws DbError.
    static std::shared_ptr<QtSqlConnection> openOdbc(const QString &connectionString);

    // Takes over an already opened Qt SQL connection; closes it on destruction
    // only when ownsConnection is true.
    explicit QtSqlConnection(const QString &connectionName, bool ownsConnection);
    ~QtSqlConnection() override;

    QtSqlConnection(const QtSqlConnection &) = delete;
    QtSqlConnection &operator=(const QtSqlConnection &) = delete;

    SqlDialect Dialect() const override;
    void SetLockTimeout(int milliseconds) override;
    std::unique_ptr<DbRecordset> Execute(const QString &statement) override;
    void ExecuteEach(const QString &statement, const QList<QVariantList> &rows) override;
    void BeginTrans() override;
    void CommitTrans() override;
    void RollbackTrans() override;

    QSqlDatabase database() const;

private:
    struct LockWait;

    void prepareSqlite();
    void prepareOdbc();
    void reopenOdbc(const QString &connectionString);
    void runSql(const QString &statement);
    [[noreturn]] void throwTransactionError(const QString &fallback) const;

    QString m_connectionName;
    bool m_ownsConnection = false;
    QSqlDatabase m_database;
    SqlDialect m_dialect = SqlDialect::SqlServer;
    bool m_odbc = false;
    bool m_inTransaction = false;
    std::unique_ptr<LockWait> m_lockWait;
    // Set for a SQLite file: its statements are read through SQLite itself.
    std::shared_ptr<SqliteHandle> m_sqlite;
};
