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
        return std::make_unique<OdbcRecordset>(m_database, statement);
    } catch (const OdbcRecordset::Failure &failure) {
        fail(failure.description(), failure.lost() || lostBy({}));
    }
}
