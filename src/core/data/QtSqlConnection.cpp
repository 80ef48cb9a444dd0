#include "core/data/QtSqlConnection.h"

#include "core/data/PostgreSqlRecordset.h"
#include "core/data/QtSqlError.h"
#include "core/data/SqlCatalog.h"
#include "core/data/QtSqlRecordset.h"
#include "core/data/SqliteBatch.h"
#include "core/data/SqliteHandle.h"
#include "core/data/SqliteRecordset.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlResult>

#include <libpq-fe.h>
#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

// SQLite's own busy timeout starts afresh each time the database asks, and it
// asks again at every step of a long statement that meets the lock: a big
// registration under another program's read lock then waits for minutes.
// This wait is a budget instead: what one statement, or one transaction,
// has waited in total.
struct QtSqlConnection::LockWait
{
    std::chrono::milliseconds budget{DefaultLockTimeoutMs};
    std::chrono::milliseconds waited{0};

    static int onBusy(void *self, int)
    {
        auto *wait = static_cast<LockWait *>(self);
        if (wait->waited >= wait->budget)
            return 0;
        const auto step = std::min(std::chrono::milliseconds(10), wait->budget - wait->waited);
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(step);
        wait->waited += std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        return 1;
    }
};

namespace {

// Qt SQL keys connections by name; every object gets its own so that two
// opened files never share (or close) each other's handle.
QString uniqueConnectionName(QStringView kind)
{
    static std::atomic<quint64> counter{0};
    return u"parlow6-"_s + kind + u'-' + QString::number(++counter);
}

// Opens a fresh connection, or removes it again and throws.
std::shared_ptr<QtSqlConnection> openNamed(const QString &driver, const QString &name,
                                           const QString &databaseName, const QString &options)
{
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        if (!db.isValid()) {
            failure = QtSqlError::Description(db.lastError());
            if (failure.isEmpty())
                failure = u"データベースドライバ %1 を読み込めません。"_s.arg(driver);
        } else {
            db.setDatabaseName(databaseName);
            db.setConnectOptions(options);
            if (db.open())
                return std::make_shared<QtSqlConnection>(name, true);
            failure = QtSqlError::Description(db.lastError());
        }
    }
    QSqlDatabase::removeDatabase(name);
    throw DbError(failure);
}

template<typename Handle>
Handle nativeHandle(const QSqlDatabase &database, const char *typeName)
{
    const QVariant handle = database.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), typeName) != 0)
        return nullptr;
    return *static_cast<const Handle *>(handle.constData());
}

// Qt's PostgreSQL driver hands out libpq's connection under its struct's
// name; PGconn is only libpq's typedef of it.
PGconn *libpqConnection(const QSqlDatabase &database)
{
    if (const auto connection = nativeHandle<PGconn *>(database, "pg_conn*"))
        return connection;
    return nativeHandle<PGconn *>(database, "PGconn*");
}

// Whether an ODBC handle's diagnostics say the server went away: a connection
// exception (class 08) or the server ending the session (57P01 to 57P03).
// psqlODBC tells a connection the server closed while it was idle only so:
// its dead flag stays clear.
bool diagnosedLost(SQLSMALLINT handleType, SQLHANDLE handle)
{
    if (!handle)
        return false;
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    for (SQLSMALLINT record = 1;
         SQL_SUCCEEDED(SQLGetDiagRec(handleType, handle, record, state, &native, nullptr, 0, &length)); ++record) {
        const QByteArrayView code(reinterpret_cast<const char *>(state), 5);
        if (code.startsWith("08") || code == "57P01" || code == "57P02" || code == "57P03")
            return true;
    }
    return false;
}

// The same for the statement an ODBC query failed on.
bool diagnosedLost(const QSqlQuery &query)
{
    const QVariant handle = query.result()->handle();
    return handle.isValid() && qstrcmp(handle.typeName(), "void*") == 0
           && diagnosedLost(SQL_HANDLE_STMT, *static_cast<const SQLHANDLE *>(handle.constData()));
}

QString odbcDbmsName(const QSqlDatabase &database)
{
    const auto connection = nativeHandle<SQLHANDLE>(database, "void*");
    if (!connection)
        return {};
    SQLCHAR name[128] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(connection, SQL_DBMS_NAME, name, sizeof name, &length)))
        return {};
    return QString::fromUtf8(reinterpret_cast<const char *>(name));
}

// The connection string with one attribute set, whatever it held before.
QString withAttribute(const QString &connectionString, const QString &key, const QString &value)
{
    QString result = connectionString;
    result.remove(QRegularExpression(u"(^|;)\\s*"_s + QRegularExpression::escape(key) + u"\\s*=[^;]*"_s,
                                     QRegularExpression::CaseInsensitiveOption));
    if (!result.isEmpty() && !result.endsWith(u';'))
        result += u';';
    return result + key + u'=' + value;
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
    auto connection = openNamed(u"QSQLITE"_s, uniqueConnectionName(u"sqlite"), path, QString());
    connection->SetLockTimeout(lockTimeoutMs);
    // SQLite leaves foreign keys off per connection; the suite's own
    // constraints, where a database declares any, should hold here too.
    connection->runSql(u"PRAGMA foreign_keys = ON"_s);
    return connection;
}

std::shared_ptr<QtSqlConnection> QtSqlConnection::openOdbc(const QString &connectionString)
{
    return openNamed(u"QODBC"_s, uniqueConnectionName(u"odbc"), connectionString, QString());
}

std::shared_ptr<QtSqlConnection> QtSqlConnection::openPostgreSql(const QString &conninfo)
{
    // Qt's driver passes its connect options on to libpq as they are, so the
    // whole connection string goes there.
    return openNamed(u"QPSQL"_s, uniqueConnectionName(u"pg"), QString(), conninfo);
}

QString QtSqlConnection::LostMessage()
{
    return u"データベースとの接続が切れました。書きかけの変更は書き込まれていません。"
           u"次の操作で接続し直します。"_s;
}

QString QtSqlConnection::LostAtCommitMessage()
{
    return u"登録の確定中にデータベースとの接続が切れたため、登録できたかどうか分かりません。"
           u"もう一度 登録 を押してください。登録済みの注文は二重に書き込まれません。"_s;
}

QtSqlConnection::QtSqlConnection(const QString &connectionName, bool ownsConnection)
    : m_connectionName(connectionName),
      m_ownsConnection(ownsConnection),
      m_database(QSqlDatabase::database(connectionName, false)),
      m_lockWait(std::make_unique<LockWait>())
{
    if (m_database.driverName() == u"QSQLITE"_s)
        prepareSqlite();
    else if (m_database.driverName() == u"QODBC"_s)
        prepareOdbc();
    else if (m_database.driverName() == u"QPSQL"_s)
        preparePostgreSql();
}

QtSqlConnection::~QtSqlConnection()
{
    // Our statements end before Qt closes the handle under them.
    if (m_sqlite)
        m_sqlite->release();
    if (const auto handle = nativeHandle<sqlite3 *>(m_database, "sqlite3*"))
        sqlite3_busy_handler(handle, nullptr, nullptr);
    if (!m_ownsConnection)
        return;
    m_database.close();
    // removeDatabase wants no copy of the handle left alive, ours included.
    m_database = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void QtSqlConnection::prepareSqlite()
{
    m_dialect = SqlDialect::Sqlite;
    if (const auto handle = nativeHandle<sqlite3 *>(m_database, "sqlite3*")) {
        sqlite3_busy_handler(handle, &LockWait::onBusy, m_lockWait.get());
        // Qt's driver hands out every value as a QVariant, which costs a
        // long search more than reading the file does.
        m_sqlite = std::make_shared<SqliteHandle>(handle);
    }
    // A transaction's changed pages stay in memory until it commits, rather
    // than spilling into the file mid-way, which would wait for every reader
    // again and again.
    runSql(u"PRAGMA cache_spill = OFF"_s);
}

void QtSqlConnection::prepareOdbc()
{
    m_odbc = true;
    const QString dbms = odbcDbmsName(m_database);
    if (dbms.contains(u"PostgreSQL"_s, Qt::CaseInsensitive)) {
        preparePostgreSql();
        return;
    }
    if (!dbms.contains(u"SQLite"_s, Qt::CaseInsensitive))
        return;
    m_dialect = SqlDialect::Sqlite;
    // The SQLite driver reports INTEGER columns as 32-bit unless told
    // otherwise, and cuts larger order numbers short.
    const QString current = m_database.databaseName();
    if (m_ownsConnection && !current.contains(u"BigInt="_s, Qt::CaseInsensitive))
        reopenOdbc(withAttribute(current, u"BigInt"_s, u"1"_s));
    runSql(u"PRAGMA cache_spill = OFF"_s);
}

void QtSqlConnection::preparePostgreSql()
{
    // Both drivers talk UTF-8 to the server, and 'YYYY/MM/DD' dates are read
    // year first under every DateStyle: nothing to set here.
    m_dialect = SqlDialect::PostgreSql;
    m_postgreSql = true;
}

void QtSqlConnection::reopenOdbc(const QString &connectionString)
{
    m_database.close();
    m_database.setDatabaseName(connectionString);
    if (!m_database.open())
        throw DbError(QtSqlError::Description(m_database.lastError()));
}

SqlDialect QtSqlConnection::Dialect() const
{
    return m_dialect;
}

void QtSqlConnection::SetLockTimeout(int milliseconds)
{
    m_lockTimeoutMs = std::max(milliseconds, 0);
    applyLockTimeout();
}

void QtSqlConnection::applyLockTimeout()
{
    const int milliseconds = m_lockTimeoutMs;
    m_lockWait->budget = std::chrono::milliseconds(milliseconds);
    if (m_dialect != SqlDialect::Sqlite) {
        if (m_odbc || m_postgreSql)
            runSql(SqlCatalog::LockTimeout(milliseconds, m_dialect));
    } else if (m_odbc && m_ownsConnection && !m_inTransaction) {
        // The SQLite driver takes its lock timeout from the connection string
        // only, and waits it out twice before a statement gives up. It reads
        // 0 as its own long default, so "do not wait" is its shortest wait.
        const QString timeout = QString::number(std::max((milliseconds + 1) / 2, 1));
        const QString current = m_database.databaseName();
        const QString wanted = withAttribute(current, u"Timeout"_s, timeout);
        if (wanted != current) {
            reopenOdbc(wanted);
            runSql(u"PRAGMA cache_spill = OFF"_s);
        }
    }
}

QSqlDatabase QtSqlConnection::database() const
{
    return m_database;
}

std::unique_ptr<DbRecordset> QtSqlConnection::Execute(const QString &statement)
{
    if (!m_inTransaction)
        m_lockWait->waited = {};
    if (m_sqlite)
        return std::make_unique<SqliteRecordset>(m_sqlite, m_database, statement);
    reopenIfLost();
    if (m_postgreSql && !m_odbc) {
        if (const auto connection = libpqConnection(m_database)) {
            try {
                return std::make_unique<PostgreSqlRecordset>(connection, m_database, statement);
            } catch (const DbError &error) {
                fail(error.description());
            }
        }
    }
    QSqlQuery query(m_database);
    query.setForwardOnly(true);
    // Decimal and numeric columns come as their exact digits, not as doubles.
    if (m_odbc || m_postgreSql)
        query.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!query.exec(statement))
        fail(QtSqlError::Description(query.lastError()), false, m_odbc && diagnosedLost(query));
    try {
        return std::make_unique<QtSqlRecordset>(m_database, std::move(query), statement);
    } catch (const DbError &error) {
        fail(error.description());
    }
}

void QtSqlConnection::ExecuteEach(const QString &statement, const QList<QVariantList> &rows)
{
    if (m_sqlite) {
        if (!m_inTransaction)
            m_lockWait->waited = {};
        SqliteBatch::Run(m_sqlite->get(), statement, rows);
        return;
    }
    if (!m_postgreSql || m_odbc) {
        DbConnection::ExecuteEach(statement, rows);
        return;
    }
    // The server plans the statement once; each row then sends its values.
    reopenIfLost();
    QSqlQuery query(m_database);
    if (!query.prepare(statement))
        fail(QtSqlError::Description(query.lastError()));
    for (const QVariantList &values : rows) {
        for (qsizetype i = 0; i < values.size(); ++i)
            query.bindValue(int(i), values.at(i));
        if (!query.exec())
            fail(QtSqlError::Description(query.lastError()));
    }
}

bool QtSqlConnection::isLost() const
{
    if (!m_database.isOpen())
        return true;
    if (m_postgreSql && !m_odbc) {
        // libpq finds a server that closed an idle connection only when it
        // reads again: the statement that failed on it does not tell.
        const auto connection = libpqConnection(m_database);
        return connection && (!PQconsumeInput(connection) || PQstatus(connection) == CONNECTION_BAD);
    }
    if (m_odbc) {
        const auto connection = nativeHandle<SQLHANDLE>(m_database, "void*");
        SQLUINTEGER dead = SQL_CD_FALSE;
        return connection
            && SQL_SUCCEEDED(SQLGetConnectAttr(connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr))
            && dead == SQL_CD_TRUE;
    }
    return false;
}

void QtSqlConnection::fail(const QString &description, bool committing, bool lost)
{
    if (!m_sqlite && (lost || isLost())) {
        m_reopenDue = true;
        m_inTransaction = false;
        throw DbError((committing ? LostAtCommitMessage() : LostMessage()) + u"\n\n"_s + description);
    }
    throw DbError(description);
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
        throw DbError(LostMessage() + u"\n\n"_s + QtSqlError::Description(m_database.lastError()));
    }
    if (m_dialect == SqlDialect::Sqlite)
        runSql(u"PRAGMA cache_spill = OFF"_s);
    applyLockTimeout();
}

void QtSqlConnection::runSql(const QString &statement)
{
    Execute(statement)->Close();
}

void QtSqlConnection::BeginTrans()
{
    if (m_dialect == SqlDialect::Sqlite) {
        m_lockWait->waited = {};
        runSql(u"BEGIN IMMEDIATE"_s);
    } else if (reopenIfLost(); !m_database.transaction()) {
        throwTransactionError(u"トランザクションを開始できません。"_s);
    }
    m_inTransaction = true;
}

void QtSqlConnection::CommitTrans()
{
    if (m_dialect == SqlDialect::Sqlite)
        runSql(u"COMMIT"_s);
    else if (!m_database.commit())
        throwTransactionError(u"トランザクションを確定できません。"_s, true);
    m_inTransaction = false;
}

void QtSqlConnection::RollbackTrans()
{
    m_inTransaction = false;
    if (m_dialect == SqlDialect::Sqlite)
        runSql(u"ROLLBACK"_s);
    else if (!m_database.rollback())
        throwTransactionError(u"トランザクションを取り消せません。"_s);
}

void QtSqlConnection::throwTransactionError(const QString &fallback, bool committing)
{
    // A driver without transactions refuses without saying why.
    const QString own = QtSqlError::Description(m_database.lastError());
    fail(own.isEmpty() ? fallback : own, committing,
         m_odbc && diagnosedLost(SQL_HANDLE_DBC, nativeHandle<SQLHANDLE>(m_database, "void*")));
}
