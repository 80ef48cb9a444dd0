#pragma once

#include "core/data/DbConnection.h"

#include <QSqlDatabase>

#include <memory>

class QSqlError;

// DbConnection over a Qt SQL connection, one subclass per engine: a SQLite
// file (the embedded default), an ODBC connection string (the production
// path to SQL Server; PostgreSQL through psqlODBC too) or a PostgreSQL server
// through Qt's own driver. Each knows its dialect from the start.
//
// A connection the server dropped (restarted, cut) fails its statement with
// one message saying so; the next statement outside a transaction opens it
// again, once, and goes on.
class PARLOW6DL_EXPORT QtSqlConnection : public DbConnection
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
    // Takes over an already opened Qt SQL connection (QSQLITE, QODBC or
    // QPSQL); closes it on destruction only when ownsConnection is true.
    // Throws DbError for another driver.
    static std::shared_ptr<QtSqlConnection> take(const QString &connectionName, bool ownsConnection);

    // The database's own message for a failure when the driver passed one on, else Qt's.
    static QString Description(const QSqlError &error);
    // The operator's message for a connection the server dropped.
    static QString LostMessage()
    {
        return QStringLiteral("データベースとの接続が切れました。書きかけの変更は書き込まれていません。"
                              "次の操作で接続し直します。");
    }
    // The same when it dropped while a transaction was being committed.
    static QString LostAtCommitMessage()
    {
        return QStringLiteral("登録の確定中にデータベースとの接続が切れたため、登録できたかどうか分かりません。"
                              "もう一度 登録 を押してください。登録済みの注文は二重に書き込まれません。");
    }

    ~QtSqlConnection() override;
    QtSqlConnection(const QtSqlConnection &) = delete;
    QtSqlConnection &operator=(const QtSqlConnection &) = delete;

    SqlDialect Dialect() const final { return m_dialect; }
    void SetLockTimeout(int milliseconds) final;
    // The statement is prepared once through Qt's driver (SQLite compiles
    // it, PostgreSQL plans it) and each row binds its values.
    void ExecuteEach(const QString &statement, const QList<QVariantList> &rows) override;
    // SQLite (its own driver or ODBC's) begins with BEGIN IMMEDIATE, the
    // others through Qt's driver.
    void BeginTrans() final;
    void CommitTrans() final;
    void RollbackTrans() final;

    QSqlDatabase database() const { return m_database; }

protected:
    QtSqlConnection(const QString &connectionName, bool ownsConnection, SqlDialect dialect);

    // Sets the lock timeout on the database; again after a reopen.
    virtual void applyLockTimeout(int milliseconds) = 0;
    // What the connection sets once it is open; again after a reopen.
    virtual void prepare() {}
    // Whether a failure, or the connection as the driver sees it, says the
    // server has gone.
    virtual bool lostBy(const QSqlError &) const { return false; }

    // A failure: when it left the connection lost, the operator's message
    // says so and the next statement reopens it.
    [[noreturn]] void fail(const QString &description, bool lost = false, bool committing = false);
    // A driver without transactions refuses without saying why: fallback says it then.
    [[noreturn]] void fail(const QSqlError &error, bool committing = false, const QString &fallback = {});
    void reopenIfLost();
    // Closes and opens again under another database name (ODBC: connection string).
    void reopen(const QString &databaseName);
    void runSql(const QString &statement) { Execute(statement)->Close(); }

    bool ownsConnection() const { return m_ownsConnection; }
    bool inTransaction() const { return m_inTransaction; }

    QSqlDatabase m_database;

private:
    QString m_connectionName;
    bool m_ownsConnection;
    const SqlDialect m_dialect;
    bool m_inTransaction = false;
    bool m_reopenDue = false;
    int m_lockTimeoutMs = DefaultLockTimeoutMs;
};
