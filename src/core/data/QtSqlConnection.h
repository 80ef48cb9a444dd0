#pragma once

#include "core/data/DbConnection.h"

#include <QSqlDatabase>

#include <memory>

class SqliteHandle;

// DbConnection over Qt SQL: a SQLite file (the embedded default), an ODBC
// connection string (the production path to SQL Server; PostgreSQL through
// psqlODBC too) or a PostgreSQL server through Qt's own driver.
//
// A connection the server dropped (restarted, cut) fails its statement with
// one message saying so; the next statement outside a transaction opens it
// again, once, and goes on.
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
    // Opens a PostgreSQL server through Qt's driver from a libpq connection
    // string such as "host=/run/postgresql dbname=suite user=parlow". Throws DbError.
    static std::shared_ptr<QtSqlConnection> openPostgreSql(const QString &conninfo);

    // The operator's message for a connection the server dropped.
    static QString LostMessage();
    // The same when it dropped while a transaction was being committed.
    static QString LostAtCommitMessage();

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
    void preparePostgreSql();
    void reopenOdbc(const QString &connectionString);
    void applyLockTimeout();
    void runSql(const QString &statement);
    [[noreturn]] void throwTransactionError(const QString &fallback, bool committing = false);
    // Whether the server has dropped the connection, as far as the driver knows.
    bool isLost() const;
    // A failure: when it left the connection lost (lost: as the driver's
    // diagnostics of the failure say), the operator's message says so and
    // the next statement reopens it.
    [[noreturn]] void fail(const QString &description, bool committing = false, bool lost = false);
    void reopenIfLost();

    QString m_connectionName;
    bool m_ownsConnection = false;
    QSqlDatabase m_database;
    SqlDialect m_dialect = SqlDialect::SqlServer;
    bool m_odbc = false;
    bool m_inTransaction = false;
    bool m_postgreSql = false;
    bool m_reopenDue = false;
    int m_lockTimeoutMs = DefaultLockTimeoutMs;
    std::unique_ptr<LockWait> m_lockWait;
    // Set for a SQLite file: its statements are read through SQLite itself.
    std::shared_ptr<SqliteHandle> m_sqlite;
};
