// The built-in SQLite schema, and every catalogue statement run unchanged
// against it: bracketed names, GROUP BY with MAX/AVG, dates compared as text.
#include "core/data/FieldValue.h"
#include "core/data/QtSqlConnection.h"
#include "core/data/SqlCatalog.h"
#include "core/data/SqlSchema.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

void run(DbConnection &connection, const QString &statement)
{
    connection.Execute(statement)->Close();
}

// Every row of one column, as texts, in the order returned.
QStringList column(DbConnection &connection, const QString &query, const QString &name)
{
    QStringList values;
    const auto records = connection.Execute(query);
    const int index = records->FieldIndex(name);
    while (!records->Eof()) {
        values.append(FieldValue::Text(records->FieldValue(index)));
        records->MoveNext();
    }
    records->Close();
    return values;
}

} // namespace

class TestSqlSchema final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void statements_data();
    void statements();
    void tablesHaveEveryColumn_data();
    void tablesHaveEveryColumn();
    void newOrderDefaults();
    void searchUsesShipDateIndex();
    void orderSearch_data();
    void orderSearch();
    void methodLists();
    void exemptListReadAndSave();
    void shopListReadsNameInAnyCase();
    void registerReceipt();

private:
    void fillSuiteData();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<QtSqlConnection> m_db;
};

void TestSqlSchema::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_db = QtSqlConnection::openSqlite(m_dir->filePath(u"suite.sqlite"_s));
    // One transaction: one sync to disk instead of one per statement.
    m_db->BeginTrans();
    SqlSchema::CreateSqliteTables(*m_db);
    m_db->CommitTrans();
}

void TestSqlSchema::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

void TestSqlSchema::statements_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("one without semicolon") << u"SELECT 1"_s << QStringList{u"SELECT 1"_s};
    QTest::newRow("two, blanks trimmed") << u"  SELECT 1 ;\n SELECT 2;  "_s
                                         << QStringList{u"SELECT 1"_s, u"SELECT 2"_s};
    QTest::newRow("empty statements dropped") << u";;SELECT 1;;"_s << QStringList{u"SELECT 1"_s};
    QTest::newRow("semicolon in text") << u"INSERT INTO T VALUES ('a;b');SELECT 2"_s
                                       << QStringList{u"INSERT INTO T VALUES ('a;b')"_s, u"SELECT 2"_s};
    QTest::newRow("doubled quote in text") << u"SELECT 'it''s; fine';SELECT 2"_s
                                           << QStringList{u"SELECT 'it''s; fine'"_s, u"SELECT 2"_s};
    QTest::newRow("semicolon in brackets") << u"SELECT [a;b] FROM T;SELECT 2"_s
                                           << QStringList{u"SELECT [a;b] FROM T"_s, u"SELECT 2"_s};
    QTest::newRow("semicolon in double quotes") << u"SELECT \"a;b\";SELECT 2"_s
                                                << QStringList{u"SELECT \"a;b\""_s, u"SELECT 2"_s};
    QTest::newRow("line comment dropped") << u"-- head; note\nSELECT 1; -- tail;\nSELECT 2"_s
                                          << QStringList{u"SELECT 1"_s, u"SELECT 2"_s};
    QTest::newRow("comment only") << u"-- nothing here;\n"_s << QStringList();
    QTest::newRow("block comment dropped") << u"SELECT /* a; b */ 1;SELECT 2"_s
                                           << QStringList{u"SELECT   1"_s, u"SELECT 2"_s};
    QTest::newRow("dashes inside text kept") << u"SELECT '--x';"_s << QStringList{u"SELECT '--x'"_s};
    QTest::newRow("unterminated text kept whole") << u"SELECT 'a;b"_s << QStringList{u"SELECT 'a;b"_s};
}

void TestSqlSchema::statements()
{
    QFETCH(QString, script);
    QFETCH(QStringList, expected);
    QCOMPARE(SqlSchema::Statements(script), expected);
}

void TestSqlSchema::tablesHaveEveryColumn_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");
    QTest::newRow("CHUMON") << u"CHUMON"_s
                            << QStringList{u"ID"_s, u"会社名"_s, u"氏名"_s, u"電話番号"_s, u"受注日"_s,
                                           u"請求額"_s, u"入金日"_s, u"入金額"_s, u"支払方法"_s, u"TEL1"_s,
                                           u"出荷日"_s, u"ショップID"_s, u"入金確認送信"_s};
    QTest::newRow("PAYMENT") << u"PAYMENT"_s << QStringList{u"METHOD"_s, u"OK"_s, u"ORD"_s};
    QTest::newRow("CONTROL") << u"CONTROL"_s << QStringList{u"NYUKIN_NOMANAGE"_s};
    QTest::newRow("SHOP") << u"SHOP"_s << QStringList{u"SHOP_ID"_s, u"SHOP_NAME"_s};
}

void TestSqlSchema::tablesHaveEveryColumn()
{
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    QCOMPARE(column(*m_db, u"PRAGMA table_info([%1])"_s.arg(table), u"name"_s), columns);
}

void TestSqlSchema::newOrderDefaults()
{
    run(*m_db, u"INSERT INTO [CHUMON] ([ID], [請求額]) VALUES (1, 500)"_s);
    QCOMPARE(column(*m_db, u"SELECT [入金額], [入金確認送信] FROM [CHUMON]"_s, u"入金額"_s), QStringList{u"0"_s});
    QCOMPARE(column(*m_db, u"SELECT [入金確認送信] FROM [CHUMON]"_s, u"入金確認送信"_s), QStringList{u"0"_s});
    // A new unpaid order is found by the search as it stands.
    QCOMPARE(column(*m_db, SqlCatalog::OrderSearch({}, {}, false, {}), u"id"_s), QStringList{u"1"_s});
    QVERIFY_THROWS_EXCEPTION(DbError, run(*m_db, u"INSERT INTO [CHUMON] ([ID], [入金確認送信]) VALUES (2, NULL)"_s));
}

void TestSqlSchema::searchUsesShipDateIndex()
{
    const QStringList plan = column(*m_db, u"EXPLAIN QUERY PLAN "_s
                                               + SqlCatalog::OrderSearch(u"2014/01/01"_s, {}, false, {}),
                                    u"detail"_s);
    QVERIFY2(plan.join(u'\n').contains(u"(出荷日>?)"_s), qPrintable(plan.join(u'\n')));
}

void TestSqlSchema::fillSuiteData()
{
    const QStringList statements{
        u"INSERT INTO [SHOP] VALUES ('S01', '本店'), ('S02', NULL), ('A''1', 'クォート店')"_s,
        u"INSERT INTO [PAYMENT] VALUES ('代金引換', 1, 1), ('銀行振込', 0, 2), ('銀行振込', 1, 8),"
        u" ('後払い', 1, 3), ('現金書留', 0, 4)"_s,
        // id, billed, paid, mail, ship date, shop
        u"INSERT INTO [CHUMON] ([ID], [氏名], [請求額], [入金額], [入金確認送信], [出荷日], [ショップID], [支払方法])"
        u" VALUES (1, '佐藤　太郎', 1000, 0, 0, '2014/01/10', 'S01', '代金引換'),"
        u" (2, '鈴木　花子', 1000, 1000, 0, '2014/01/31', 'S01', '銀行振込'),"
        u" (3, '高橋　一郎', 2000, 0, 1, '2014/02/01', 'S01', '後払い'),"
        u" (4, '田中　陽子', 3000, 0, 0, '2014/02/15', 'A''1', '代金引換'),"
        u" (5, '伊藤　健太', 4000, 0, 0, NULL, 'S02', '銀行振込'),"
        u" (6, '渡辺　美咲', 5000, 4890, 0, '2014/02/28', 'S02', '銀行振込'),"
        u" (7, '山本　大輔', 6000, 0, 0, '2014/03/01', 'S01', '後払い'),"
        u" (8, '中村　由美', 7000, 0, 0, '2014/02/10', '', '代金引換')"_s,
    };
    m_db->BeginTrans();
    for (const QString &statement : statements)
        run(*m_db, statement);
    m_db->CommitTrans();
}

void TestSqlSchema::orderSearch_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("hasShop");
    QTest::addColumn<QString>("shop");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("no condition") << QString() << QString() << false << QString()
                                  << QStringList{u"1"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s};
    QTest::newRow("from, inclusive") << u"2014/02/15"_s << QString() << false << QString()
                                     << QStringList{u"4"_s, u"6"_s, u"7"_s};
    QTest::newRow("to, inclusive") << QString() << u"2014/01/10"_s << false << QString()
                                   << QStringList{u"1"_s};
    QTest::newRow("range across months") << u"2014/01/10"_s << u"2014/02/28"_s << false << QString()
                                         << QStringList{u"1"_s, u"4"_s, u"6"_s, u"8"_s};
    QTest::newRow("shop with a quote") << QString() << QString() << true << u"A'1"_s << QStringList{u"4"_s};
    QTest::newRow("shop and from") << u"2014/02/01"_s << QString() << true << u"S02"_s << QStringList{u"6"_s};
    QTest::newRow("empty shop id") << QString() << QString() << true << QString() << QStringList{u"8"_s};
    QTest::newRow("unknown shop") << QString() << QString() << true << u"S99"_s << QStringList();
    QTest::newRow("quote in a date box") << u"2014/02/2'"_s << QString() << false << QString()
                                         << QStringList{u"6"_s, u"7"_s};
}

void TestSqlSchema::orderSearch()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, hasShop);
    QFETCH(QString, shop);
    QFETCH(QStringList, ids);
    fillSuiteData();
    QStringList found = column(*m_db, SqlCatalog::OrderSearch(from, to, hasShop, shop), u"id"_s);
    // The search has no ORDER BY; the screen sorts.
    std::sort(found.begin(), found.end());
    QCOMPARE(found, ids);
}

void TestSqlSchema::methodLists()
{
    fillSuiteData();
    QCOMPARE(column(*m_db, SqlCatalog::UsableMethods(), u"METHOD"_s),
             (QStringList{u"代金引換"_s, u"後払い"_s, u"銀行振込"_s}));
    const QString table = SqlCatalog::PaymentMethodTable();
    QCOMPARE(column(*m_db, table, u"METHOD"_s),
             (QStringList{u"代金引換"_s, u"後払い"_s, u"現金書留"_s, u"銀行振込"_s}));
    QCOMPARE(column(*m_db, table, u"ok_max"_s), (QStringList{u"1"_s, u"1"_s, u"0"_s, u"1"_s}));
}

void TestSqlSchema::exemptListReadAndSave()
{
    const auto none = m_db->Execute(SqlCatalog::ExemptMethods());
    QVERIFY(none->Eof());
    none->Close();

    run(*m_db, u"INSERT INTO [CONTROL] VALUES (NULL), ('x')"_s);
    const QString list = u"O'Card\t後払い"_s;
    run(*m_db, SqlCatalog::SaveExemptMethods(list));
    // No WHERE: every row carries the list, quote and TAB intact.
    QCOMPARE(column(*m_db, SqlCatalog::ExemptMethods(), u"nyukin_nomanage"_s), (QStringList{list, list}));
}

void TestSqlSchema::shopListReadsNameInAnyCase()
{
    fillSuiteData();
    const auto records = m_db->Execute(SqlCatalog::ShopList());
    QStringList items;
    while (!records->Eof()) {
        items.append(FieldValue::Text(records->Fields(u"SHOP_ID"_s)) + u" / "_s
                     + FieldValue::Text(records->Fields(u"Shop_name"_s)));
        records->MoveNext();
    }
    records->Close();
    std::sort(items.begin(), items.end());
    QCOMPARE(items, (QStringList{u"A'1 / クォート店"_s, u"S01 / 本店"_s, u"S02 / "_s}));
}

void TestSqlSchema::registerReceipt()
{
    fillSuiteData();
    m_db->BeginTrans();
    run(*m_db, SqlCatalog::RegisterReceipt(u"2014/02/20"_s, 1000, false, 1));
    run(*m_db, SqlCatalog::RegisterReceipt(u"2014/02/21"_s, 500, true, 4));
    run(*m_db, SqlCatalog::RegisterReceipt(u"2014/02/22"_s, -100, false, 7));
    m_db->CommitTrans();

    QCOMPARE(column(*m_db, u"SELECT [入金日] || '|' || [入金額] || '|' || [入金確認送信] AS v FROM [CHUMON]"
                           u" WHERE [ID] IN (1, 4, 7) ORDER BY [ID]"_s, u"v"_s),
             (QStringList{u"2014/02/20|1000|0"_s, u"2014/02/21|500|1"_s, u"2014/02/22|-100|0"_s}));
    // Paid in full or mail queued: the next search leaves them out.
    QStringList found = column(*m_db, SqlCatalog::OrderSearch({}, {}, false, {}), u"ID"_s);
    std::sort(found.begin(), found.end());
    QCOMPARE(found, (QStringList{u"5"_s, u"6"_s, u"7"_s, u"8"_s}));
}

QTEST_GUILESS_MAIN(TestSqlSchema)
#include "tst_sqlschema.moc"
