#include "core/data/OdbcConnection.h"

#include "core/data/OdbcRecordset.h"
#include "core/data/SqlCatalog.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>

#include <sql.h>
#include <sqlext.h>

using namespace Qt::StringLiterals;

namespace {

// The handle Qt documents for its ODBC driver: the connection's SQLHDBC.
SQLHANDLE connectionHandle(const QSqlDatabase &database)
{
    return database.driver()->handle().value<void *>();
}

SqlDialect dialectOf(const QSqlDatabase &database)
{
    SQLCHAR name[128] = {};
    SQLSMALLINT length = 0;
    const SQLHANDLE connection = connectionHandle(database);
    if (!connection || !SQL_SUCCEEDED(SQLGetInfo(connection, SQL_DBMS_NAME, name, sizeof name, &length)))
        return SqlDialect::SqlServer;
    const QString dbms = QString::fromUtf8(reinterpret_cast<const char *>(name));
    if (dbms.contains(u"PostgreSQL"_s, Qt::CaseInsensitive))
        return SqlDialect::PostgreSql;
    if (dbms.contains(u"SQLite"_s, Qt::CaseInsensitive))
        return SqlDialect::Sqlite;
    return SqlDialect::SqlServer;
}

// Whether the driver hands out texts as UTF-8 when asked for narrow ones:
// psqlODBC's Unicode driver gives the server's UTF-8 as it is on Linux, and
// converts it to the ANSI code page on Windows. Asked of the driver itself,
// with a text that no code page but UTF-8 holds whole.
bool handsOutUtf8(const QSqlDatabase &database)
{
    const SQLHANDLE connection = connectionHandle(database);
    SQLHANDLE statement = nullptr;
    if (!connection || !SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &statement)))
        return false;
    const QString probe = u"山𠮷é"_s;
    QString select = u"SELECT '"_s + probe + u'\'';
    char text[32] = {};
    SQLLEN length = 0;
    const bool utf8 =
        SQL_SUCCEEDED(SQLExecDirectW(statement, reinterpret_cast<SQLWCHAR *>(select.data()), SQLINTEGER(select.size())))
        && SQL_SUCCEEDED(SQLFetch(statement))
        && SQL_SUCCEEDED(SQLGetData(statement, 1, SQL_C_CHAR, text, sizeof text, &length)) && length >= 0
        && length < SQLLEN(sizeof text) && QByteArray(text, length) == probe.toUtf8();
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    return utf8;
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

OdbcConnection::OdbcConnection(const QString &connectionName, bool ownsConnection)
    : QtSqlConnection(connectionName, ownsConnection,
                      dialectOf(QSqlDatabase::database(connectionName, false)))
{
}

void OdbcConnection::prepare()
{
    // psqlODBC makes each UTF-16 text with a conversion and an allocation of
    // its own; as UTF-8, F1 over it took 330 ms of CPU time against 375.
    m_utf8Texts = Dialect() == SqlDialect::PostgreSql && handsOutUtf8(m_database);
    if (Dialect() != SqlDialect::Sqlite)
        return;
    // The SQLite driver reports INTEGER columns as 32-bit unless told
    // otherwise, and cuts larger order numbers short.
    const QString current = m_database.databaseName();
    if (ownsConnection() && !current.contains(u"BigInt="_s, Qt::CaseInsensitive))
        reopen(withAttribute(current, u"BigInt"_s, u"1"_s));
    runSql(u"PRAGMA cache_spill = OFF"_s);
}

void OdbcConnection::applyLockTimeout(int milliseconds)
{
    if (Dialect() != SqlDialect::Sqlite) {
        runSql(SqlCatalog::LockTimeout(milliseconds, Dialect()));
        return;
    }
    if (!ownsConnection() || inTransaction())
        return;
    // The SQLite driver takes its lock timeout from the connection string
    // only, and waits it out twice before a statement gives up. It reads
    // 0 as its own long default, so "do not wait" is its shortest wait.
    const QString timeout = QString::number(std::max((milliseconds + 1) / 2, 1));
    const QString current = m_database.databaseName();
    const QString wanted = withAttribute(current, u"Timeout"_s, timeout);
    if (wanted != current) {
        reopen(wanted);
        runSql(u"PRAGMA cache_spill = OFF"_s);
    }
}

bool OdbcConnection::lostBy(const QSqlError &) const
{
    // psqlODBC tells a connection the server closed while it was idle only
    // by the failure's SQLSTATE: its dead flag stays clear.
    const SQLHANDLE connection = connectionHandle(m_database);
    SQLUINTEGER dead = SQL_CD_FALSE;
    return !m_database.isOpen() || OdbcRecordset::Diagnose(SQL_HANDLE_DBC, connection).lost()
           || (connection && SQL_SUCCEEDED(SQLGetConnectAttr(connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr))
               && dead == SQL_CD_TRUE);
}

std::unique_ptr<DbRecordset> OdbcConnection::Execute(const QString &statement)
{
    reopenIfLost();
    try {
        return std::make_unique<OdbcRecordset>(m_database, statement, m_utf8Texts);
    } catch (const OdbcRecordset::Failure &failure) {
        fail(failure.description(), failure.lost() || lostBy({}));
    }
}
