#include "core/data/QtSqlConnection.h"

#include "core/data/OdbcConnection.h"
#include "core/data/PostgreSqlConnection.h"
#include "core/data/SqliteConnection.h"

#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

using namespace Qt::StringLiterals;

namespace {

// Qt SQL keys connections by name; every object gets its own so that two
// opened files never share (or close) each other's handle.
QString uniqueConnectionName(QStringView kind)
{
    static std::atomic<quint64> counter{0};
    return u"parlow6-"_s + kind + u'-' + QString::number(++counter);
}

// Opens a fresh connection, or removes it again and throws.
std::shared_ptr<QtSqlConnection> openNamed(const QString &driver, QStringView kind, const QString &databaseName,
                                           const QString &options)
{
    const QString name = uniqueConnectionName(kind);
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        if (!db.isValid()) {
            failure = QtSqlConnection::Description(db.lastError());
            if (failure.isEmpty())
                failure = u"データベースドライバ %1 を読み込めません。"_s.arg(driver);
        } else {
            db.setDatabaseName(databaseName);
            db.setConnectOptions(options);
            if (db.open())
                return QtSqlConnection::take(name, true);
            failure = QtSqlConnection::Description(db.lastError());
        }
    }
    QSqlDatabase::removeDatabase(name);
    throw DbError(failure);
}

} // namespace

void QtSqlConnection::checkSqlitePath(const QString &path)
{
    if (path.isEmpty() || path == u":memory:"_s || path.startsWith(u"file:"_s, Qt::CaseInsensitive))
        throw DbError(u"\"%1\" はデータベースファイルの名前として使えません。"_s.arg(path));
}

std::shared_ptr<QtSqlConnection> QtSqlConnection::openSqlite(const QString &path, int lockTimeoutMs)
{
    checkSqlitePath(path);
    auto connection = openNamed(u"QSQLITE"_s, u"sqlite", path, QString());
    connection->SetLockTimeout(lockTimeoutMs);
    // SQLite leaves foreign keys off per connection; the suite's own
    // constraints, where a database declares any, should hold here too.
    connection->runSql(u"PRAGMA foreign_keys = ON"_s);
    return connection;
}

std::shared_ptr<QtSqlConnection> QtSqlConnection::openOdbc(const QString &connectionString)
{
    return openNamed(u"QODBC"_s, u"odbc", connectionString, QString());
}

std::shared_ptr<QtSqlConnection> QtSqlConnection::openPostgreSql(const QString &conninfo)
{
    // Qt's driver passes its connect options on to libpq as they are, so the
    // whole connection string goes there.
    return openNamed(u"QPSQL"_s, u"pg", QString(), conninfo);
}

std::shared_ptr<QtSqlConnection> QtSqlConnection::take(const QString &connectionName, bool ownsConnection)
{
    const QString driver = QSqlDatabase::database(connectionName, false).driverName();
    std::shared_ptr<QtSqlConnection> connection;
    if (driver == u"QSQLITE"_s)
        connection.reset(new SqliteConnection(connectionName, ownsConnection));
    else if (driver == u"QODBC"_s)
        connection.reset(new OdbcConnection(connectionName, ownsConnection));
    else if (driver == u"QPSQL"_s)
        connection.reset(new PostgreSqlConnection(connectionName, ownsConnection));
    else
        throw DbError(u"データベースドライバ %1 には対応していません。"_s.arg(driver));
    connection->prepare();
    return connection;
}

QString QtSqlConnection::Description(const QSqlError &error)
{
    const QString own = error.databaseText();
    return own.isEmpty() ? error.text() : own;
}

QtSqlConnection::QtSqlConnection(const QString &connectionName, bool ownsConnection, SqlDialect dialect)
    : m_database(QSqlDatabase::database(connectionName, false)),
      m_connectionName(connectionName),
      m_ownsConnection(ownsConnection),
      m_dialect(dialect)
{
}

QtSqlConnection::~QtSqlConnection()
{
    if (!m_ownsConnection)
        return;
    m_database.close();
    // removeDatabase wants no copy of the handle left alive, ours included.
    m_database = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void QtSqlConnection::SetLockTimeout(int milliseconds)
{
    m_lockTimeoutMs = std::max(milliseconds, 0);
    applyLockTimeout(m_lockTimeoutMs);
}

void QtSqlConnection::ExecuteEach(const QString &statement, const QList<QVariantList> &rows)
{
    reopenIfLost();
    if (rows.isEmpty())
        return;
    QSqlQuery query(m_database);
    if (!query.prepare(statement))
        fail(query.lastError());
    for (const QVariantList &values : rows) {
        for (qsizetype i = 0; i < values.size(); ++i) {
            // Qt's drivers bind a null text as Null; the literal form writes ''.
            const QVariant &value = values.at(i);
            const bool nullText = value.typeId() == QMetaType::QString && value.toString().isNull();
            query.bindValue(int(i), nullText ? QVariant(u""_s) : value);
        }
        if (!query.exec())
            fail(query.lastError());
    }
}

void QtSqlConnection::fail(const QString &description, bool lost, bool committing)
{
    if (lost) {
        m_reopenDue = true;
        m_inTransaction = false;
        throw DbError((committing ? LostAtCommitMessage() : LostMessage()) + u"\n\n"_s + description, committing);
    }
    throw DbError(description);
}

void QtSqlConnection::fail(const QSqlError &error, bool committing, const QString &fallback)
{
    const QString own = Description(error);
    fail(own.isEmpty() ? fallback : own, lostBy(error), committing);
}

void QtSqlConnection::reopenIfLost()
{
    // Never inside a transaction: what it wrote is gone with the old
    // connection, and the operator has been told so.
    if (!m_reopenDue || m_inTransaction)
        return;
    m_reopenDue = false;
    m_database.close();
    if (!m_database.open()) {
        m_reopenDue = true;
        throw DbError(LostMessage() + u"\n\n"_s + Description(m_database.lastError()));
    }
    prepare();
    applyLockTimeout(m_lockTimeoutMs);
}

void QtSqlConnection::reopen(const QString &databaseName)
{
    m_database.close();
    m_database.setDatabaseName(databaseName);
    if (!m_database.open())
        throw DbError(Description(m_database.lastError()));
}

void QtSqlConnection::BeginTrans()
{
    reopenIfLost();
    if (m_dialect == SqlDialect::Sqlite)
        runSql(u"BEGIN IMMEDIATE"_s);
    else if (!m_database.transaction())
        fail(m_database.lastError(), false, u"トランザクションを開始できません。"_s);
    m_inTransaction = true;
}

void QtSqlConnection::CommitTrans()
{
    if (m_dialect == SqlDialect::Sqlite)
        runSql(u"COMMIT"_s);
    else if (!m_database.commit())
        fail(m_database.lastError(), true, u"トランザクションを確定できません。"_s);
    m_inTransaction = false;
}

void QtSqlConnection::RollbackTrans()
{
    m_inTransaction = false;
    if (m_dialect == SqlDialect::Sqlite)
        runSql(u"ROLLBACK"_s);
    else if (!m_database.rollback())
        fail(m_database.lastError(), false, u"トランザクションを取り消せません。"_s);
}
