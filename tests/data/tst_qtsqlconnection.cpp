// The connection over a real SQLite file: reading, failures, transactions.
#include "core/data/FieldValue.h"
#include "core/data/QtSqlConnection.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

void run(DbConnection &connection, const QString &statement)
{
    connection.Execute(statement)->Close();
}

// The error text of the call, or a null string when it did not throw.
QString failureOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const DbError &error) {
        return error.description();
    }
    return {};
}

QVariant scalar(DbConnection &connection, const QString &query)
{
    const auto records = connection.Execute(query);
    const QVariant value = records->Eof() ? QVariant() : records->FieldValue(0);
    records->Close();
    return value;
}

} // namespace

class TestQtSqlConnection final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fieldsByNameInAnyCase_data();
    void fieldsByNameInAnyCase();
    void nullsAndTypes();
    void walksEveryRowOnce();
    void misuseThrows_data();
    void misuseThrows();
    void failingStatementCarriesSqliteText_data();
    void failingStatementCarriesSqliteText();
    void updateGivesEmptyRecordset();
    void commitIsVisibleToAnotherConnection();
    void rollbackDiscards();
    void transactionMisuseThrows_data();
    void transactionMisuseThrows();
    void lockedDatabaseFailsAfterBusyTimeout();
    void openFailsWithText();
    void connectionsAreIndependent();
    void recordsetOutlivingItsConnection();
    void odbcConnectionString();

private:
    QString path() const { return m_dir->filePath(u"suite.sqlite"_s); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<QtSqlConnection> m_db;
};

void TestQtSqlConnection::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_db = QtSqlConnection::openSqlite(path());
    run(*m_db, u"CREATE TABLE [SHOP] ([SHOP_ID] TEXT NOT NULL PRIMARY KEY, [SHOP_NAME] TEXT)"_s);
    run(*m_db, u"INSERT INTO [SHOP] VALUES ('S01', '本店'), ('S02', NULL)"_s);
}

void TestQtSqlConnection::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

void TestQtSqlConnection::fieldsByNameInAnyCase_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("as declared") << u"SHOP_NAME"_s << u"本店"_s;
    QTest::newRow("mixed case") << u"Shop_name"_s << u"本店"_s;
    QTest::newRow("lower case") << u"shop_id"_s << u"S01"_s;
    QTest::newRow("alias") << u"ok_max"_s << u"1"_s;
    QTest::newRow("Japanese alias") << u"入金額"_s << u"1200"_s;
}

void TestQtSqlConnection::fieldsByNameInAnyCase()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    const auto records = m_db->Execute(u"SELECT [SHOP_ID],[SHOP_NAME], 1 AS OK_MAX, 1200 AS [入金額] "
                                       u"FROM [SHOP] WHERE [SHOP_ID] = 'S01'"_s);
    QVERIFY(!records->Eof());
    QCOMPARE(FieldValue::Text(records->Fields(name)), expected);
    QCOMPARE(records->FieldValue(records->FieldIndex(name)), records->Fields(name));
    records->Close();
}

void TestQtSqlConnection::nullsAndTypes()
{
    const auto records = m_db->Execute(
        u"SELECT [SHOP_NAME], 1200 AS n, 12.5 AS d, '2014/02/03' AS t FROM [SHOP] WHERE [SHOP_ID] = 'S02'"_s);
    QVERIFY(!records->Eof());
    const QVariant null = records->Fields(u"SHOP_NAME"_s);
    QVERIFY(null.isNull());
    // One plain Null whatever the column: readers never see a typed null.
    QCOMPARE(null.metaType(), QMetaType());
    QCOMPARE(FieldValue::Text(null), QString());
    QCOMPARE(FieldValue::Number(FieldValue::Text(records->Fields(u"n"_s))), 1200.0);
    QCOMPARE(FieldValue::Number(FieldValue::Text(records->Fields(u"d"_s))), 12.5);
    QCOMPARE(FieldValue::DateText(FieldValue::Text(records->Fields(u"t"_s))), u"2014/02/03"_s);
    records->Close();
}

void TestQtSqlConnection::walksEveryRowOnce()
{
    run(*m_db, u"CREATE TABLE [N] ([V] INTEGER)"_s);
    run(*m_db, u"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 1000) "
               u"INSERT INTO [N] SELECT x FROM c"_s);
    const auto records = m_db->Execute(u"SELECT [V] FROM [N] ORDER BY [V]"_s);
    const int v = records->FieldIndex(u"v"_s);
    qint64 count = 0;
    qint64 sum = 0;
    qint64 last = 0;
    while (!records->Eof()) {
        const qint64 value = records->FieldValue(v).toLongLong();
        QCOMPARE(value, last + 1);
        last = value;
        sum += value;
        ++count;
        records->MoveNext();
    }
    records->Close();
    QCOMPARE(count, qint64(1000));
    QCOMPARE(sum, qint64(500500));
}

void TestQtSqlConnection::misuseThrows_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("mentions");
    // action: 0 Fields("NOPE"), 1 FieldIndex("NOPE"), 2 Fields on Eof, 3 MoveNext on Eof,
    // 4 FieldValue(99), 5 Fields after Close
    const QString one = u"SELECT [SHOP_ID] FROM [SHOP] WHERE [SHOP_ID] = 'S01'"_s;
    const QString none = u"SELECT [SHOP_ID] FROM [SHOP] WHERE 0"_s;
    QTest::newRow("unknown name") << one << 0 << u"NOPE"_s;
    QTest::newRow("unknown name resolved") << none << 1 << u"NOPE"_s;
    QTest::newRow("read past the end") << none << 2 << QString();
    QTest::newRow("move past the end") << none << 3 << QString();
    QTest::newRow("position out of range") << one << 4 << u"99"_s;
    QTest::newRow("read after close") << one << 5 << QString();
}

void TestQtSqlConnection::misuseThrows()
{
    QFETCH(QString, query);
    QFETCH(int, action);
    QFETCH(QString, mentions);
    const auto records = m_db->Execute(query);
    const QString failure = failureOf([&] {
        switch (action) {
        case 0: records->Fields(u"NOPE"_s); break;
        case 1: records->FieldIndex(u"NOPE"_s); break;
        case 2: records->Fields(u"SHOP_ID"_s); break;
        case 3: records->MoveNext(); break;
        case 4: records->FieldValue(99); break;
        default: records->Close(); records->Fields(u"SHOP_ID"_s); break;
        }
    });
    QVERIFY2(!failure.isEmpty(), "expected a DbError with a text");
    if (!mentions.isEmpty())
        QVERIFY2(failure.contains(mentions), qPrintable(failure));
    records->Close();
}

void TestQtSqlConnection::failingStatementCarriesSqliteText_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing table") << u"SELECT * FROM [CHUMON]"_s << u"no such table: CHUMON"_s;
    QTest::newRow("missing column") << u"SELECT [NOPE] FROM [SHOP]"_s << u"no such column: NOPE"_s;
    QTest::newRow("syntax") << u"SELEC 1"_s << u"near \"SELEC\": syntax error"_s;
    QTest::newRow("duplicate key")
        << u"INSERT INTO [SHOP] VALUES ('S01', 'x')"_s << u"UNIQUE constraint failed: SHOP.SHOP_ID"_s;
    QTest::newRow("not null")
        << u"INSERT INTO [SHOP] VALUES (NULL, 'x')"_s << u"NOT NULL constraint failed: SHOP.SHOP_ID"_s;
    QTest::newRow("foreign keys enforced")
        << u"INSERT INTO [SALE] VALUES ('S99')"_s << u"FOREIGN KEY constraint failed"_s;
}

void TestQtSqlConnection::failingStatementCarriesSqliteText()
{
    QFETCH(QString, statement);
    QFETCH(QString, expected);
    run(*m_db, u"CREATE TABLE [SALE] ([SHOP_ID] TEXT REFERENCES [SHOP]([SHOP_ID]))"_s);
    QCOMPARE(failureOf([&] { m_db->Execute(statement); }), expected);
    // The connection stays usable after a failure.
    QCOMPARE(scalar(*m_db, u"SELECT COUNT(*) FROM [SHOP]"_s).toInt(), 2);
}

void TestQtSqlConnection::updateGivesEmptyRecordset()
{
    const auto records = m_db->Execute(u"UPDATE [SHOP] SET [SHOP_NAME] = 'モール店' WHERE [SHOP_ID] = 'S02'"_s);
    QVERIFY(records->Eof());
    records->Close();
    QCOMPARE(scalar(*m_db, u"SELECT [SHOP_NAME] FROM [SHOP] WHERE [SHOP_ID] = 'S02'"_s).toString(),
             u"モール店"_s);
}

void TestQtSqlConnection::commitIsVisibleToAnotherConnection()
{
    const auto other = QtSqlConnection::openSqlite(path());
    m_db->BeginTrans();
    run(*m_db, u"UPDATE [SHOP] SET [SHOP_NAME] = 'A' WHERE [SHOP_ID] = 'S01'"_s);
    run(*m_db, u"UPDATE [SHOP] SET [SHOP_NAME] = 'B' WHERE [SHOP_ID] = 'S02'"_s);
    // Not yet committed: the other operator still sees the old rows.
    QCOMPARE(scalar(*other, u"SELECT [SHOP_NAME] FROM [SHOP] WHERE [SHOP_ID] = 'S01'"_s).toString(), u"本店"_s);
    m_db->CommitTrans();
    QCOMPARE(scalar(*other, u"SELECT GROUP_CONCAT([SHOP_NAME], ',') FROM [SHOP]"_s).toString(), u"A,B"_s);
}

void TestQtSqlConnection::rollbackDiscards()
{
    m_db->BeginTrans();
    run(*m_db, u"UPDATE [SHOP] SET [SHOP_NAME] = 'A'"_s);
    run(*m_db, u"INSERT INTO [SHOP] VALUES ('S03', 'C')"_s);
    QCOMPARE(scalar(*m_db, u"SELECT COUNT(*) FROM [SHOP]"_s).toInt(), 3);
    m_db->RollbackTrans();
    QCOMPARE(scalar(*m_db, u"SELECT COUNT(*) FROM [SHOP]"_s).toInt(), 2);
    QCOMPARE(scalar(*m_db, u"SELECT [SHOP_NAME] FROM [SHOP] WHERE [SHOP_ID] = 'S01'"_s).toString(), u"本店"_s);
    // A transaction can follow a rolled-back one.
    m_db->BeginTrans();
    run(*m_db, u"INSERT INTO [SHOP] VALUES ('S03', 'C')"_s);
    m_db->CommitTrans();
    QCOMPARE(scalar(*m_db, u"SELECT COUNT(*) FROM [SHOP]"_s).toInt(), 3);
}

void TestQtSqlConnection::transactionMisuseThrows_data()
{
    QTest::addColumn<QString>("sequence"); // B begin, C commit, R rollback
    QTest::newRow("commit without begin") << u"C"_s;
    QTest::newRow("rollback without begin") << u"R"_s;
    QTest::newRow("begin twice") << u"BB"_s;
    QTest::newRow("commit twice") << u"BCC"_s;
}

void TestQtSqlConnection::transactionMisuseThrows()
{
    QFETCH(QString, sequence);
    const QString failure = failureOf([&] {
        for (const QChar step : sequence) {
            if (step == u'B')
                m_db->BeginTrans();
            else if (step == u'C')
                m_db->CommitTrans();
            else
                m_db->RollbackTrans();
        }
    });
    QVERIFY2(!failure.isEmpty(), "expected a DbError with a text");
}

void TestQtSqlConnection::lockedDatabaseFailsAfterBusyTimeout()
{
    const auto other = QtSqlConnection::openSqlite(path(), 100);
    m_db->BeginTrans();
    run(*m_db, u"UPDATE [SHOP] SET [SHOP_NAME] = 'A'"_s);
    QCOMPARE(failureOf([&] { run(*other, u"UPDATE [SHOP] SET [SHOP_NAME] = 'B'"_s); }),
             u"database is locked"_s);
    m_db->CommitTrans();
    // Once the lock is gone the same statement goes through.
    run(*other, u"UPDATE [SHOP] SET [SHOP_NAME] = 'B'"_s);
    QCOMPARE(scalar(*m_db, u"SELECT COUNT(*) FROM [SHOP] WHERE [SHOP_NAME] = 'B'"_s).toInt(), 2);
}

void TestQtSqlConnection::openFailsWithText()
{
    const QString failure =
        failureOf([&] { QtSqlConnection::openSqlite(m_dir->filePath(u"missing/folder/suite.sqlite"_s)); });
    QVERIFY2(!failure.isEmpty(), "expected a DbError with a text");
    // The failed attempt leaves nothing behind that spoils the next open.
    const auto again = QtSqlConnection::openSqlite(path());
    QCOMPARE(scalar(*again, u"SELECT COUNT(*) FROM [SHOP]"_s).toInt(), 2);
}

void TestQtSqlConnection::connectionsAreIndependent()
{
    auto second = QtSqlConnection::openSqlite(m_dir->filePath(u"other.sqlite"_s));
    QVERIFY(second->database().connectionName() != m_db->database().connectionName());
    run(*second, u"CREATE TABLE [X] ([V] INTEGER)"_s);
    second.reset();
    // Closing one file leaves the other open.
    QCOMPARE(scalar(*m_db, u"SELECT COUNT(*) FROM [SHOP]"_s).toInt(), 2);
    QCOMPARE(failureOf([&] { m_db->Execute(u"SELECT * FROM [X]"_s); }), u"no such table: X"_s);
}

void TestQtSqlConnection::recordsetOutlivingItsConnection()
{
    auto records = m_db->Execute(u"SELECT [SHOP_ID] FROM [SHOP]"_s);
    QVERIFY(!records->Eof());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"still in use"_s));
    m_db.reset();
    // Late cleanup by a reader must not crash.
    records->Close();
    QVERIFY(records->Eof());
}

void TestQtSqlConnection::odbcConnectionString()
{
    // The production path is SQL Server through ODBC; the SQLite ODBC driver
    // (Debian's libsqliteodbc) lets the same code run here.
    std::shared_ptr<QtSqlConnection> odbc;
    const QString failure = failureOf(
        [&] { odbc = QtSqlConnection::openOdbc(u"Driver=SQLite3;Database="_s + path()); });
    if (!odbc)
        QSKIP(qPrintable(u"no SQLite ODBC driver: "_s + failure));

    // Two results open at once, as the payment method table is read.
    const auto shops = odbc->Execute(u"SELECT [SHOP_ID] AS ID, [SHOP_NAME] AS NAME FROM [SHOP] ORDER BY 1"_s);
    const auto total = odbc->Execute(u"SELECT COUNT(*) AS N FROM [SHOP]"_s);
    QCOMPARE(FieldValue::Text(total->Fields(u"n"_s)), u"2"_s);
    total->Close();
    QStringList items;
    while (!shops->Eof()) {
        items.append(FieldValue::Text(shops->Fields(u"id"_s)) + u" / "_s
                     + FieldValue::Text(shops->Fields(u"Name"_s)));
        shops->MoveNext();
    }
    shops->Close();
    QCOMPARE(items, (QStringList{u"S01 / 本店"_s, u"S02 / "_s}));

    odbc->BeginTrans();
    run(*odbc, u"UPDATE [SHOP] SET [SHOP_NAME] = 'x'"_s);
    odbc->RollbackTrans();
    QCOMPARE(scalar(*m_db, u"SELECT [SHOP_NAME] FROM [SHOP] WHERE [SHOP_ID] = 'S01'"_s).toString(), u"本店"_s);
    QVERIFY(failureOf([&] { odbc->Execute(u"SELECT * FROM [NOPE]"_s); }).contains(u"no such table: NOPE"_s));
}

QTEST_GUILESS_MAIN(TestQtSqlConnection)
#include "tst_qtsqlconnection.moc"
