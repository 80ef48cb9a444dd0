// The demo data must show every case the receipt list handles: all three
// row colours, an exempt method, paid and queued orders, odd values.
#include "core/data/FieldValue.h"
#include "core/data/QtSqlConnection.h"
#include "demo/DemoDatabase.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QDate kToday(2014, 2, 21);

QStringList rows(DbConnection &connection, const QString &query)
{
    QStringList result;
    const auto records = connection.Execute(query);
    while (!records->Eof()) {
        QStringList fields;
        for (int i = 0;; ++i) {
            try {
                const QVariant value = records->FieldValue(i);
                fields.append(value.isNull() ? u"<null>"_s : FieldValue::Text(value));
            } catch (const DbError &) {
                break;
            }
        }
        result.append(fields.join(u'|'));
        records->MoveNext();
    }
    records->Close();
    return result;
}

int count(DbConnection &connection, const QString &query)
{
    return rows(connection, query).value(0).toInt();
}

QStringList dump(DbConnection &connection)
{
    return rows(connection, u"SELECT * FROM [SHOP]"_s) + rows(connection, u"SELECT * FROM [PAYMENT]"_s)
        + rows(connection, u"SELECT * FROM [CONTROL]"_s)
        + rows(connection, u"SELECT * FROM [CHUMON] ORDER BY [ID]"_s);
}

// A connection of another kind: the generator must fall back to complete
// statement texts through Execute.
class ForwardingConnection final : public DbConnection
{
public:
    explicit ForwardingConnection(DbConnection &target) : m_target(target) {}
    std::unique_ptr<DbRecordset> Execute(const QString &statement) override
    {
        ++statements;
        return m_target.Execute(statement);
    }
    void BeginTrans() override { m_target.BeginTrans(); }
    void CommitTrans() override { m_target.CommitTrans(); }
    void RollbackTrans() override { m_target.RollbackTrans(); }

    int statements{0};

private:
    DbConnection &m_target;
};

} // namespace

class TestDemoDatabase final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void defaultDemoShowsEveryCase();
    void sharesAreHonoured_data();
    void sharesAreHonoured();
    void oddValuesAppear();
    void sameSeedSameData();
    void plainStatementsGiveTheSameData();
    void failureLeavesNothingBehind();

private:
    std::shared_ptr<QtSqlConnection> open(const QString &name) const
    {
        return QtSqlConnection::openSqlite(m_dir->filePath(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDemoDatabase::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestDemoDatabase::cleanup()
{
    m_dir.reset();
}

void TestDemoDatabase::defaultDemoShowsEveryCase()
{
    const auto db = open(u"demo.sqlite"_s);
    DemoOptions options;
    options.today = kToday;
    CreateDemoDatabase(*db, options);

    QCOMPARE(count(*db, u"SELECT COUNT(*) FROM [CHUMON]"_s), 300);
    QCOMPARE(count(*db, u"SELECT COUNT(DISTINCT [ID]) FROM [CHUMON]"_s), 300);
    QCOMPARE(count(*db, u"SELECT COUNT(*) FROM [SHOP] WHERE [SHOP_NAME] IS NULL"_s), 1);
    QVERIFY(count(*db, u"SELECT COUNT(*) FROM [SHOP]"_s) >= 3);
    QVERIFY(count(*db, u"SELECT COUNT(DISTINCT [METHOD]) FROM [PAYMENT] WHERE [OK] = 1"_s) >= 6);

    // One exempt method, and one the orders really use.
    const QStringList exempt = rows(*db, u"SELECT [NYUKIN_NOMANAGE] FROM [CONTROL]"_s);
    QCOMPARE(exempt.size(), 1);
    QVERIFY(!exempt.first().isEmpty());
    QVERIFY(!exempt.first().contains(u'\t'));
    QVERIFY(count(*db, u"SELECT COUNT(*) FROM [PAYMENT] WHERE [METHOD] = '%1'"_s.arg(exempt.first())) > 0);
    QVERIFY(count(*db, u"SELECT COUNT(*) FROM [CHUMON] WHERE [支払方法] = '%1'"_s.arg(exempt.first())) > 0);

    // Unpaid means 0 received, never Null.
    QCOMPARE(count(*db, u"SELECT COUNT(*) FROM [CHUMON] WHERE [入金額] IS NULL"_s), 0);
    const int unpaid = count(*db, u"SELECT COUNT(*) FROM [CHUMON] WHERE [入金額] = 0"_s);
    QVERIFY2(unpaid > 150 && unpaid < 300, qPrintable(QString::number(unpaid)));
    QVERIFY(count(*db, u"SELECT COUNT(*) FROM [CHUMON] WHERE [入金額] = [請求額]"_s) > 0);
    QVERIFY(count(*db, u"SELECT COUNT(*) FROM [CHUMON] WHERE [入金額] > 0 AND [入金額] < [請求額]"_s) > 0);
    QVERIFY(count(*db, u"SELECT COUNT(*) FROM [CHUMON] WHERE [入金確認送信] = 1"_s) > 0);
    QCOMPARE(count(*db, u"SELECT COUNT(*) FROM [CHUMON] WHERE [入金確認送信] = 1 AND [入金額] = 0"_s), 0);

    // Ages of the unpaid shipments, as the list colours them.
    int pink = 0, yellow = 0, white = 0;
    const QStringList shipped = rows(*db, u"SELECT [出荷日] FROM [CHUMON] WHERE [入金日] IS NULL"_s);
    for (const QString &text : shipped) {
        const std::optional<QDate> date = FieldValue::ParseDate(text);
        if (!date)
            continue;
        const qint64 days = date->daysTo(kToday);
        QVERIFY2(days >= 0 && days < 60, qPrintable(text));
        (days >= 30 ? pink : days >= 14 ? yellow : white) += 1;
    }
    QVERIFY2(pink > 0 && yellow > 0 && white > 0,
             qPrintable(u"pink %1, yellow %2, white %3"_s.arg(pink).arg(yellow).arg(white)));
}

void TestDemoDatabase::sharesAreHonoured_data()
{
    QTest::addColumn<int>("orders");
    QTest::addColumn<double>("unpaidShare");
    QTest::addColumn<int>("minUnpaid");
    QTest::addColumn<int>("maxUnpaid");
    QTest::newRow("none unpaid") << 200 << 0.0 << 0 << 0;
    QTest::newRow("all unpaid") << 200 << 1.0 << 200 << 200;
    QTest::newRow("a tenth unpaid") << 2000 << 0.1 << 140 << 260;
    QTest::newRow("no orders") << 0 << 0.8 << 0 << 0;
}

void TestDemoDatabase::sharesAreHonoured()
{
    QFETCH(int, orders);
    QFETCH(double, unpaidShare);
    QFETCH(int, minUnpaid);
    QFETCH(int, maxUnpaid);
    const auto db = open(u"demo.sqlite"_s);
    DemoOptions options;
    options.today = kToday;
    options.orders = orders;
    options.unpaidShare = unpaidShare;
    options.nullShare = 0.0;
    CreateDemoDatabase(*db, options);
    QCOMPARE(count(*db, u"SELECT COUNT(*) FROM [CHUMON]"_s), orders);
    const int unpaid = count(*db, u"SELECT COUNT(*) FROM [CHUMON] WHERE [入金額] = 0 AND [入金日] IS NULL"_s);
    QVERIFY2(unpaid >= minUnpaid && unpaid <= maxUnpaid, qPrintable(QString::number(unpaid)));
    // Without odd values every order has a name, a method, a valid ship date.
    QCOMPARE(count(*db, u"SELECT COUNT(*) FROM [CHUMON] WHERE [氏名] IS NULL OR [支払方法] IS NULL"
                        u" OR [支払方法] = '' OR [出荷日] IS NULL OR [ショップID] IS NULL"_s), 0);
}

void TestDemoDatabase::oddValuesAppear()
{
    const auto db = open(u"demo.sqlite"_s);
    DemoOptions options;
    options.today = kToday;
    options.orders = 400;
    options.nullShare = 1.0;
    CreateDemoDatabase(*db, options);
    QVERIFY(count(*db, u"SELECT COUNT(*) FROM [CHUMON] WHERE [氏名] IS NULL"_s) > 0);
    QVERIFY(count(*db, u"SELECT COUNT(*) FROM [CHUMON] WHERE [支払方法] IS NULL"_s) > 0);
    QVERIFY(count(*db, u"SELECT COUNT(*) FROM [CHUMON] WHERE [支払方法] = ''"_s) > 0);
    QVERIFY(count(*db, u"SELECT COUNT(*) FROM [CHUMON] WHERE [出荷日] IS NULL"_s) > 0);
    QVERIFY(count(*db, u"SELECT COUNT(*) FROM [CHUMON] WHERE [支払方法] NOT IN (SELECT [METHOD] FROM [PAYMENT])"_s) > 0);
    // Odd texts in date and amount columns read as no date and as their leading number.
    const QStringList billed = rows(*db, u"SELECT [請求額] FROM [CHUMON] WHERE TYPEOF([請求額]) = 'text'"_s);
    QVERIFY(!billed.isEmpty());
    QVERIFY(FieldValue::Number(billed.first()) > 0);
    const QStringList dates = rows(*db, u"SELECT [受注日] FROM [CHUMON] WHERE [受注日] NOT LIKE '2%'"_s);
    QVERIFY(!dates.isEmpty());
    QCOMPARE(FieldValue::DateText(dates.first()), QString());
}

void TestDemoDatabase::sameSeedSameData()
{
    const auto first = open(u"a.sqlite"_s);
    const auto second = open(u"b.sqlite"_s);
    const auto third = open(u"c.sqlite"_s);
    DemoOptions options;
    options.today = kToday;
    options.nullShare = 0.1;
    CreateDemoDatabase(*first, options);
    CreateDemoDatabase(*second, options);
    options.seed += 1;
    CreateDemoDatabase(*third, options);
    QCOMPARE(dump(*second), dump(*first));
    QVERIFY(dump(*third) != dump(*first));
}

void TestDemoDatabase::plainStatementsGiveTheSameData()
{
    const auto prepared = open(u"prepared.sqlite"_s);
    const auto plain = open(u"plain.sqlite"_s);
    DemoOptions options;
    options.today = kToday;
    options.orders = 150;
    options.nullShare = 0.3;
    CreateDemoDatabase(*prepared, options);
    ForwardingConnection forwarding(*plain);
    CreateDemoDatabase(forwarding, options);
    QVERIFY(forwarding.statements > options.orders);
    QCOMPARE(dump(*plain), dump(*prepared));
    QCOMPARE(rows(*plain, u"SELECT TYPEOF([請求額]) AS t FROM [CHUMON] GROUP BY t ORDER BY t"_s),
             rows(*prepared, u"SELECT TYPEOF([請求額]) AS t FROM [CHUMON] GROUP BY t ORDER BY t"_s));
}

void TestDemoDatabase::failureLeavesNothingBehind()
{
    const auto db = open(u"demo.sqlite"_s);
    // The last table cannot be created: the tables made before it go too.
    db->Execute(u"CREATE TABLE [CHUMON] ([X] TEXT)"_s)->Close();
    DemoOptions options;
    options.today = kToday;
    QString failure;
    try {
        CreateDemoDatabase(*db, options);
    } catch (const DbError &error) {
        failure = error.description();
    }
    QVERIFY2(failure.contains(u"already exists"_s), qPrintable(failure));
    QCOMPARE(rows(*db, u"SELECT [name] FROM [sqlite_master] WHERE [type] = 'table'"_s), QStringList{u"CHUMON"_s});
    // The connection is left without an open transaction.
    db->BeginTrans();
    db->RollbackTrans();
}

QTEST_GUILESS_MAIN(TestDemoDatabase)
#include "tst_demodatabase.moc"
