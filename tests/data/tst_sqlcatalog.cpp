// The statement texts go to the suite's server exactly as its other programs
// send them, so every case compares the whole text.
#include "core/data/SqlCatalog.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kSearchBase = u"SELECT [ID], [会社名], [氏名], [電話番号], [受注日], [請求額], [入金日],[入金額],"
                            u"[支払方法],[TEL1],[出荷日],[ショップID] FROM [CHUMON] WHERE [請求額] <> [入金額]"
                            u" AND [入金確認送信] = 0"_s;

} // namespace

class TestSqlCatalog final : public QObject
{
    Q_OBJECT

private slots:
    void quoteSql_data();
    void quoteSql();
    void orderSearch_data();
    void orderSearch();
    void registerReceipt_data();
    void registerReceipt();
    void saveExemptMethods_data();
    void saveExemptMethods();
};

void TestSqlCatalog::quoteSql_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("no quote") << u"銀行振込"_s << u"銀行振込"_s;
    QTest::newRow("one quote") << u"A'1"_s << u"A''1"_s;
    QTest::newRow("only a quote") << u"'"_s << u"''"_s;
    QTest::newRow("doubled stays doubled twice") << u"''"_s << u"''''"_s;
    QTest::newRow("quotes at both ends") << u"'x'"_s << u"''x''"_s;
    QTest::newRow("NUL dropped") << QString(u"a\0'b"_s) << u"a''b"_s;
    QTest::newRow("double quote untouched") << u"a\"b"_s << u"a\"b"_s;
    QTest::newRow("full-width quote untouched") << u"Ｏ’Ｓ"_s << u"Ｏ’Ｓ"_s;
    QTest::newRow("injection stays inside the literal")
        << u"x' OR '1'='1"_s << u"x'' OR ''1''=''1"_s;
}

void TestSqlCatalog::quoteSql()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(SqlCatalog::QuoteSql(text), expected);
}

void TestSqlCatalog::orderSearch_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("hasShop");
    QTest::addColumn<QString>("shopId");
    QTest::addColumn<QString>("expected");

    const QString fromCond = u" AND [出荷日] >= '2014/01/01'"_s;
    const QString toCond = u" AND [出荷日] <= '2014/02/28'"_s;
    const QString shopCond = u" AND [ショップID] = 'S01'"_s;
    // Every combination of the three optional conditions, always in the
    // order from, to, shop.
    for (int mask = 0; mask < 8; ++mask) {
        const bool from = mask & 1;
        const bool to = mask & 2;
        const bool shop = mask & 4;
        const QString name = (from ? u"from"_s : u"-"_s) + u'/' + (to ? u"to"_s : u"-"_s) + u'/'
            + (shop ? u"shop"_s : u"-"_s);
        QTest::newRow(qPrintable(name))
            << (from ? u"2014/01/01"_s : QString()) << (to ? u"2014/02/28"_s : QString()) << shop
            << (shop ? u"S01"_s : QString())
            << kSearchBase + (from ? fromCond : QString()) + (to ? toCond : QString())
                   + (shop ? shopCond : QString());
    }
    QTest::newRow("shop id with a quote")
        << QString() << QString() << true << u"A'1"_s << kSearchBase + u" AND [ショップID] = 'A''1'"_s;
    QTest::newRow("empty shop id still compared")
        << QString() << QString() << true << QString() << kSearchBase + u" AND [ショップID] = ''"_s;
    QTest::newRow("shop id ignored without the flag")
        << QString() << QString() << false << u"S01"_s << kSearchBase;
    QTest::newRow("date boxes quoted")
        << u"2014'01"_s << u"'"_s << false << QString()
        << kSearchBase + u" AND [出荷日] >= '2014''01' AND [出荷日] <= ''''"_s;
    QTest::newRow("date text passed unvalidated")
        << u"abc"_s << QString() << false << QString() << kSearchBase + u" AND [出荷日] >= 'abc'"_s;
}

void TestSqlCatalog::orderSearch()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, hasShop);
    QFETCH(QString, shopId);
    QFETCH(QString, expected);
    QCOMPARE(SqlCatalog::OrderSearch(from, to, hasShop, shopId), expected);
}

void TestSqlCatalog::registerReceipt_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<qint64>("amount");
    QTest::addColumn<bool>("mail");
    QTest::addColumn<qint64>("id");
    QTest::addColumn<QString>("expected");
    QTest::newRow("without mail")
        << u"2014/02/21"_s << qint64(5800) << false << qint64(17)
        << u"UPDATE [CHUMON] SET [入金日] = '2014/02/21',[入金額] = 5800 WHERE [ID] = 17"_s;
    QTest::newRow("with mail")
        << u"2014/02/21"_s << qint64(5800) << true << qint64(17)
        << u"UPDATE [CHUMON] SET [入金日] = '2014/02/21',[入金額] = 5800,[入金確認送信] = 1 WHERE [ID] = 17"_s;
    QTest::newRow("negative amount")
        << u"2014/02/21"_s << qint64(-1200) << false << qint64(3)
        << u"UPDATE [CHUMON] SET [入金日] = '2014/02/21',[入金額] = -1200 WHERE [ID] = 3"_s;
    QTest::newRow("zero amount, negative id")
        << u"2014/02/21"_s << qint64(0) << true << qint64(-5)
        << u"UPDATE [CHUMON] SET [入金日] = '2014/02/21',[入金額] = 0,[入金確認送信] = 1 WHERE [ID] = -5"_s;
    QTest::newRow("large numbers without grouping or exponent")
        << u"2014/02/21"_s << qint64(12345678901) << false << qint64(2147483648)
        << u"UPDATE [CHUMON] SET [入金日] = '2014/02/21',[入金額] = 12345678901 WHERE [ID] = 2147483648"_s;
    QTest::newRow("empty date")
        << QString() << qint64(1) << false << qint64(1)
        << u"UPDATE [CHUMON] SET [入金日] = '',[入金額] = 1 WHERE [ID] = 1"_s;
}

void TestSqlCatalog::registerReceipt()
{
    QFETCH(QString, date);
    QFETCH(qint64, amount);
    QFETCH(bool, mail);
    QFETCH(qint64, id);
    QFETCH(QString, expected);
    QCOMPARE(SqlCatalog::RegisterReceipt(date, amount, mail, id), expected);
}

void TestSqlCatalog::saveExemptMethods_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty list") << QString() << u"UPDATE [CONTROL] SET [NYUKIN_NOMANAGE] = ''"_s;
    QTest::newRow("two methods")
        << u"代金引換\t後払い"_s << u"UPDATE [CONTROL] SET [NYUKIN_NOMANAGE] = '代金引換\t後払い'"_s;
    QTest::newRow("quoted method")
        << u"O'Card\t銀行振込"_s << u"UPDATE [CONTROL] SET [NYUKIN_NOMANAGE] = 'O''Card\t銀行振込'"_s;
}

void TestSqlCatalog::saveExemptMethods()
{
    QFETCH(QString, list);
    QFETCH(QString, expected);
    QCOMPARE(SqlCatalog::SaveExemptMethods(list), expected);
}

QTEST_APPLESS_MAIN(TestSqlCatalog)
#include "tst_sqlcatalog.moc"
