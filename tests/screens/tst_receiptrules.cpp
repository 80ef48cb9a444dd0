#include "screens/receipt_list/ReceiptColors.h"
#include "core/data/Rounding.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_ReceiptRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("rounded");
        QTest::newRow("0.5") << 0.5 << qint64(0);
        QTest::newRow("1.5") << 1.5 << qint64(2);
        QTest::newRow("2.5") << 2.5 << qint64(2);
        QTest::newRow("2.5000001") << 2.5000001 << qint64(3);
        QTest::newRow("2.4999999") << 2.4999999 << qint64(2);
        QTest::newRow("-0.5") << -0.5 << qint64(0);
        QTest::newRow("-1.5") << -1.5 << qint64(-2);
        QTest::newRow("-2.5") << -2.5 << qint64(-2);
        QTest::newRow("-2.6") << -2.6 << qint64(-3);
        QTest::newRow("large") << 9999999998.5 << qint64(9999999998);
    }

    void roundHalfEven()
    {
        QFETCH(double, value);
        QFETCH(qint64, rounded);
        QCOMPARE(qint64(RoundHalfEven(value)), rounded);
    }

    void ageColour_data()
    {
        QTest::addColumn<qint64>("days");
        QTest::addColumn<QColor>("color");
        QTest::newRow("-3") << qint64(-3) << ReceiptColors::White;
        QTest::newRow("13") << qint64(13) << ReceiptColors::White;
        QTest::newRow("14") << qint64(14) << ReceiptColors::Yellow;
        QTest::newRow("29") << qint64(29) << ReceiptColors::Yellow;
        QTest::newRow("30") << qint64(30) << ReceiptColors::Pink;
        QTest::newRow("400") << qint64(400) << ReceiptColors::Pink;
    }

    void ageColour()
    {
        QFETCH(qint64, days);
        QFETCH(QColor, color);
        QCOMPARE(ReceiptColors::Of(ReceiptRules::AgeOf(days)), color);
    }

    void shopIdOfComboItem_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("shopId");
        QTest::newRow("id and name") << u"S01 / 本店"_s << u"S01"_s;
        QTest::newRow("no name") << u"S01 / "_s << u"S01"_s;
        QTest::newRow("empty id") << u" / 名無し"_s << QString();
        QTest::newRow("no separator") << u"S01"_s << u"S01"_s;
        QTest::newRow("separator twice") << u"A / B / C"_s << u"A"_s;
        QTest::newRow("quote") << u"A'1 / x"_s << u"A'1"_s;
    }

    void shopIdOfComboItem()
    {
        QFETCH(QString, item);
        QFETCH(QString, shopId);
        QCOMPARE(ReceiptRules::ShopIdOf(item), shopId);
    }

    void tabLists()
    {
        QCOMPARE(ReceiptRules::SplitTabList(QString()), QStringList());
        QCOMPARE(ReceiptRules::SplitTabList(u"A"_s), QStringList{u"A"_s});
        QCOMPARE(ReceiptRules::SplitTabList(u"A\t\tB"_s), (QStringList{u"A"_s, QString(), u"B"_s}));
    }
};

QTEST_APPLESS_MAIN(tst_ReceiptRules)
#include "tst_receiptrules.moc"
