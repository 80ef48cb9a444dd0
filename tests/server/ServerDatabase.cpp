#include "ServerDatabase.h"

#include "core/data/SqlSchema.h"

#include <QCoreApplication>
#include <QTest>

#include <atomic>

using namespace Qt::StringLiterals;

namespace {

QString serverPart()
{
    return u"host=%1 port=%2 user=postgres"_s.arg(qEnvironmentVariable("PARLOW6_PG_SOCKET"),
                                                   qEnvironmentVariable("PARLOW6_PG_PORT", u"5432"_s));
}

} // namespace

void ServerDatabase::requireCluster()
{
    // The test command starts a cluster for the suite; a run without one is a
    // setup fault, not something to pass quietly.
    if (qEnvironmentVariableIsEmpty("PARLOW6_PG_SOCKET") && qEnvironmentVariableIsSet("PARLOW6_NO_SERVER"))
        QSKIP("PARLOW6_NO_SERVER: no PostgreSQL cluster for this run");
    QVERIFY2(!qEnvironmentVariableIsEmpty("PARLOW6_PG_SOCKET"), "no PostgreSQL cluster: run ./scripts/run-tests.sh");
}

void ServerDatabase::addPaths()
{
    QTest::addColumn<ServerPath>("path");
    QTest::newRow("qpsql") << ServerPath::Qpsql;
    QTest::newRow("odbc") << ServerPath::Odbc;
}

const char *ServerDatabase::name(ServerPath path)
{
    return path == ServerPath::Qpsql ? "qpsql" : "odbc";
}

ServerDatabase::ServerDatabase()
{
    static std::atomic<int> counter{0};
    m_name = u"parlow6_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(++counter);
    {
        const auto server = QtSqlConnection::openPostgreSql(serverPart() + u" dbname=postgres"_s);
        server->Execute(u"DROP DATABASE IF EXISTS %1"_s.arg(m_name))->Close();
        server->Execute(u"CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8'"_s.arg(m_name))->Close();
    }
    m_admin = QtSqlConnection::openPostgreSql(conninfo());
    SqlSchema::CreateTables(*m_admin);
    exec(u"INSERT INTO \"SHOP\" VALUES ('S01', '本店')"_s);
    exec(u"INSERT INTO \"PAYMENT\" VALUES ('銀行振込', 1, 1)"_s);
    exec(u"INSERT INTO \"CONTROL\" VALUES ('')"_s);
}

ServerDatabase::~ServerDatabase()
{
    m_admin.reset();
    try {
        const auto server = QtSqlConnection::openPostgreSql(serverPart() + u" dbname=postgres"_s);
        server->Execute(u"DROP DATABASE IF EXISTS %1 WITH (FORCE)"_s.arg(m_name))->Close();
    } catch (const DbError &error) {
        qWarning("cannot drop %s: %s", qPrintable(m_name), qPrintable(error.description()));
    }
}

QString ServerDatabase::conninfo() const
{
    return serverPart() + u" dbname="_s + m_name;
}

QString ServerDatabase::odbcString() const
{
    // Debian's driver entry turns the driver's log files on; not here.
    return u"Driver=PostgreSQL Unicode;Servername=%1;Port=%2;Database=%3;UID=postgres;CommLog=0;Debug=0"_s.arg(
        qEnvironmentVariable("PARLOW6_PG_SOCKET"), qEnvironmentVariable("PARLOW6_PG_PORT", u"5432"_s), m_name);
}

std::shared_ptr<QtSqlConnection> ServerDatabase::open(ServerPath path) const
{
    return path == ServerPath::Qpsql ? QtSqlConnection::openPostgreSql(conninfo())
                                     : QtSqlConnection::openOdbc(odbcString());
}

void ServerDatabase::addOrders(int count, qint64 firstId) const
{
    exec(u"INSERT INTO \"CHUMON\" (\"ID\", \"氏名\", \"請求額\", \"入金額\", \"支払方法\", \"出荷日\", \"ショップID\") "
         "SELECT i, '名前 ' || i, 1000, 0, '銀行振込', '%1', 'S01' FROM generate_series(%2, %3) AS i"_s
             .arg(TestDatabase::daysAgo(3))
             .arg(firstId)
             .arg(firstId + count - 1));
}

QStringList ServerDatabase::receipts() const
{
    return scalar(u"SELECT string_agg(\"ID\" || ' ' || COALESCE(to_char(\"入金日\", 'YYYY/MM/DD'), '-') || ' ' "
                  "|| trim_scale(\"入金額\") || ' ' || \"入金確認送信\", ',' ORDER BY \"ID\") FROM \"CHUMON\" "
                  "WHERE \"入金日\" IS NOT NULL OR \"入金額\" <> 0 OR \"入金確認送信\" <> 0"_s)
        .toString()
        .split(u',', Qt::SkipEmptyParts);
}
