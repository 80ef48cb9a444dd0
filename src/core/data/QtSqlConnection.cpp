#include "core/data/QtSqlConnection.h"

#include "core/data/QtSqlError.h"
#include "core/data/QtSqlRecordset.h"

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

} // namespace

std::shared_ptr<QtSqlConnection> QtSqlConnection::openSqlite(const QString &path, int busyTimeoutMs)
{
    auto connection = openNamed(u"QSQLITE"_s, uniqueConnectionName(u"sqlite"),
                                path, u"QSQLITE_BUSY_TIMEOUT=%1"_s.arg(busyTimeoutMs));
    // SQLite leaves foreign keys off per connection; the suite's own
    // constraints, where a database declares any, should hold here too.
    connection->Execute(u"PRAGMA foreign_keys = ON"_s)->Close();
    // The search scans the order table: reading it through a memory map
    // saves a system call per page, which is most of a scan's cost on a
    // warm file. SQLite caps the map at its compiled limit.
    connection->Execute(u"PRAGMA mmap_size = 1073741824"_s)->Close();
    return connection;
}

std::shared_ptr<QtSqlConnection> QtSqlConnection::openOdbc(const QString &connectionString)
{
    return openNamed(u"QODBC"_s, uniqueConnectionName(u"odbc"), connectionString, QString());
}

QtSqlConnection::QtSqlConnection(const QString &connectionName, bool ownsConnection)
    : m_connectionName(connectionName),
      m_ownsConnection(ownsConnection),
      m_database(QSqlDatabase::database(connectionName, false))
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

QSqlDatabase QtSqlConnection::database() const
{
    return m_database;
}

std::unique_ptr<DbRecordset> QtSqlConnection::Execute(const QString &statement)
{
    QSqlQuery query(m_database);
    query.setForwardOnly(true);
    if (!query.exec(statement))
        throw DbError(QtSqlError::Description(query.lastError()));
    return std::make_unique<QtSqlRecordset>(m_database, std::move(query), statement);
}

void QtSqlConnection::BeginTrans()
{
    if (!m_database.transaction())
        throwTransactionError(u"トランザクションを開始できません。"_s);
}

void QtSqlConnection::CommitTrans()
{
    if (!m_database.commit())
        throwTransactionError(u"トランザクションを確定できません。"_s);
}

void QtSqlConnection::RollbackTrans()
{
    if (!m_database.rollback())
        throwTransactionError(u"トランザクションを取り消せません。"_s);
}

void QtSqlConnection::throwTransactionError(const QString &fallback) const
{
    // A driver without transactions refuses without saying why.
    const QString own = QtSqlError::Description(m_database.lastError());
    throw DbError(own.isEmpty() ? fallback : own);
}
