// The production path: the component's own statements through the ODBC
// driver manager (Debian's SQLite ODBC driver standing in for SQL Server's),
// read back by the field names the screens use.
#include "TestDatabase.h"
#include "core/data/FieldValue.h"
#include "core/data/SelectList.h"
#include "core/data/SqlCatalog.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_OdbcPath : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void selectListNames_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("S1") << SqlCatalog::OrderSearch(u"2014/01/01"_s, QString(), true, u"A'1, [x]"_s)
                            << QStringList{u"ID"_s, u"会社名"_s, u"氏名"_s, u"電話番号"_s, u"受注日"_s,
                                           u"請求額"_s, u"入金日"_s, u"入金額"_s, u"支払方法"_s, u"TEL1"_s,
                                           u"出荷日"_s, u"ショップID"_s};
        QTest::newRow("S3") << SqlCatalog::PaymentMethodTable() << QStringList{u"METHOD"_s, u"OK_MAX"_s};
        QTest::newRow("S5") << SqlCatalog::ShopList() << QStringList{u"SHOP_ID"_s, u"SHOP_NAME"_s};
        QTest::newRow("function with comma") << u"SELECT COALESCE([a], 0), [b] FROM t"_s
                                             << QStringList{u"COALESCE([a], 0)"_s, u"b"_s};
        QTest::newRow("not a select") << SqlCatalog::SaveExemptMethods(u"A"_s) << QStringList();
    }

    void selectListNames()
    {
        QFETCH(QString, statement);
        QFETCH(QStringList, names);
        QCOMPARE(SelectList::ColumnNames(statement), names);
    }

    void searchThroughOdbc()
    {
        TestDatabase db;
        db.addPayment(u"銀行振込"_s, 1, 1);
        db.addShop(u"S01"_s, u"本店"_s);
        TestDatabase::Order order;
        order.id = 42;
        order.shipDate = u"2014/02/03"_s;
        order.billed = 5000;
        db.addOrder(order);

        std::shared_ptr<QtSqlConnection> odbc;
        try {
            odbc = QtSqlConnection::openOdbc(u"Driver=SQLite3;Database="_s + db.path());
        } catch (const DbError &error) {
            QSKIP(qPrintable(u"no SQLite ODBC driver: "_s + error.description()));
        }
        const auto records = odbc->Execute(SqlCatalog::OrderSearch(u"2014/01/01"_s, u"2014/12/31"_s, true, u"S01"_s));
        QVERIFY(!records->Eof());
        QCOMPARE(FieldValue::Number(FieldValue::Text(records->Fields(u"id"_s))), 42.0);
        QCOMPARE(FieldValue::Text(records->Fields(u"氏名"_s)), u"山田 太郎"_s);
        QCOMPARE(FieldValue::Text(records->Fields(u"支払方法"_s)), u"銀行振込"_s);
        QCOMPARE(FieldValue::DateText(FieldValue::Text(records->Fields(u"出荷日"_s))), u"2014/02/03"_s);
        QCOMPARE(FieldValue::Text(records->Fields(u"ショップID"_s)), u"S01"_s);
        records->MoveNext();
        QVERIFY(records->Eof());
        records->Close();

        // A registration through the same path, in one transaction.
        odbc->BeginTrans();
        odbc->Execute(SqlCatalog::RegisterReceipt(u"2014/02/21"_s, 5000, true, 42));
        odbc->CommitTrans();
        QCOMPARE(db.scalar(u"SELECT [入金日] || ' ' || [入金額] || ' ' || [入金確認送信] FROM [CHUMON]"_s).toString(),
                 u"2014/02/21 5000 1"_s);

        // The database's own refusal arrives as its text.
        try {
            odbc->Execute(u"SELECT [NOPE] FROM [CHUMON]"_s);
            QFAIL("a bad column was accepted");
        } catch (const DbError &error) {
            QVERIFY2(error.description().contains(u"NOPE"_s), qPrintable(error.description()));
        }
    }
};

QTEST_GUILESS_MAIN(tst_OdbcPath)
#include "tst_odbcpath.moc"
