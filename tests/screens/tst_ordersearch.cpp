// The order search: which orders are listed, how rows are written and coloured,
// and the list filter.
#include "ScreenFixture.h"

#include "widgets/grid/vaSpread.h"
#include "screens/receipt_list/ReceiptColors.h"
#include "core/data/Rounding.h"

#include <QComboBox>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

QList<qint64> listedIds(const vaSpread *grid, bool visibleOnly = false)
{
    QList<qint64> ids;
    for (int row = 1; row <= grid->MaxRows(); ++row) {
        if (!visibleOnly || !grid->RowHidden(row))
            ids.append(static_cast<qint64>(grid->Number(frmKensaku::ColId, row)));
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

TestDatabase::Order order(qint64 id, const QVariant &method, const QVariant &shipDate,
                          const QVariant &shopId = u"S01"_s)
{
    TestDatabase::Order o;
    o.id = id;
    o.method = method;
    o.shipDate = shipDate;
    o.shopId = shopId;
    return o;
}

} // namespace

class tst_OrderSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void datesAndShopNarrowTheSearch_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("shopItem");
        QTest::addColumn<QList<qint64>>("expected");
        QTest::newRow("everything") << QString() << QString() << 0 << QList<qint64>{1, 2, 3, 4, 5};
        QTest::newRow("from only") << u"2014/01/10"_s << QString() << 0 << QList<qint64>{2, 3, 4, 5};
        QTest::newRow("to only") << QString() << u"2014/01/10"_s << 0 << QList<qint64>{1, 2, 5};
        QTest::newRow("both") << u"2014/01/10"_s << u"2014/01/10"_s << 0 << QList<qint64>{2, 5};
        QTest::newRow("shop") << QString() << QString() << 1 << QList<qint64>{1, 2};
        QTest::newRow("shop with quote") << QString() << QString() << 2 << QList<qint64>{3};
        QTest::newRow("empty shop id") << QString() << QString() << 3 << QList<qint64>{4};
        QTest::newRow("all three") << u"2014/01/01"_s << u"2014/01/31"_s << 1 << QList<qint64>{1, 2};
    }

    void datesAndShopNarrowTheSearch()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, shopItem);
        QFETCH(QList<qint64>, expected);

        ScreenFixture fixture;
        fixture.db.addShop(u"S01"_s, u"本店"_s);
        fixture.db.addShop(u"A'1"_s, u"支店"_s);
        fixture.db.addShop(u""_s, u"名無し"_s);
        fixture.db.addOrder(order(1, u"銀行振込"_s, u"2014/01/05"_s));
        fixture.db.addOrder(order(2, u"銀行振込"_s, u"2014/01/10"_s));
        fixture.db.addOrder(order(3, u"銀行振込"_s, u"2014/01/20"_s, u"A'1"_s));
        fixture.db.addOrder(order(4, u"銀行振込"_s, u"2014/02/01"_s, u""_s));
        fixture.db.addOrder(order(5, u"銀行振込"_s, u"2014/01/10"_s, u"S02"_s));
        frmKensaku *form = fixture.open();

        form->dateBox(0)->setText(from);
        form->dateBox(1)->setText(to);
        form->shopCombo()->setCurrentIndex(shopItem);
        fixture.search();
        QCOMPARE(fixture.messageTexts(), QStringList());
        QCOMPARE(listedIds(form->grid()), expected);
    }

    void paymentMethodsDecideListing_data()
    {
        QTest::addColumn<bool>("withPayments");
        QTest::addColumn<QVariant>("exempt");
        QTest::addColumn<QList<qint64>>("expected");
        // 1 銀行振込, 2 代金引換, 3 unknown to PAYMENT, 4 empty, 5 Null, 6 atm
        QTest::newRow("nothing exempt") << true << QVariant() << QList<qint64>{1, 2, 3, 6};
        QTest::newRow("one exempt") << true << QVariant(u"代金引換"_s) << QList<qint64>{1, 3, 6};
        QTest::newRow("exempt in other case")
            << true << QVariant(u"ATM\t代金引換"_s) << QList<qint64>{1, 3};
        QTest::newRow("PAYMENT empty") << false << QVariant(u"代金引換"_s) << QList<qint64>{1, 2, 3, 6};
    }

    void paymentMethodsDecideListing()
    {
        QFETCH(bool, withPayments);
        QFETCH(QVariant, exempt);
        QFETCH(QList<qint64>, expected);

        ScreenFixture fixture;
        if (withPayments) {
            fixture.db.addPayment(u"銀行振込"_s, 1, 1);
            fixture.db.addPayment(u"代金引換"_s, 1, 2);
            fixture.db.addPayment(u"atm"_s, 1, 3);
        }
        fixture.db.setExempt(exempt);
        fixture.db.addOrder(order(1, u"銀行振込"_s, TestDatabase::daysAgo(1)));
        fixture.db.addOrder(order(2, u"代金引換"_s, TestDatabase::daysAgo(1)));
        fixture.db.addOrder(order(3, u"郵便振替"_s, TestDatabase::daysAgo(1)));
        fixture.db.addOrder(order(4, u""_s, TestDatabase::daysAgo(1)));
        fixture.db.addOrder(order(5, QVariant(), TestDatabase::daysAgo(1)));
        fixture.db.addOrder(order(6, u"atm"_s, TestDatabase::daysAgo(1)));
        frmKensaku *form = fixture.open();
        form->dateBox(1)->clear();
        fixture.search();
        QCOMPARE(listedIds(form->grid()), expected);
    }

    void onlyUnpaidUnconfirmedOrdersAreListed()
    {
        ScreenFixture fixture;
        TestDatabase::Order paidInFull = order(1, u"銀行振込"_s, u"2014/01/05"_s);
        paidInFull.paidAmount = 1000;
        TestDatabase::Order confirmed = order(2, u"銀行振込"_s, u"2014/01/05"_s);
        confirmed.mailSent = 1;
        TestDatabase::Order partly = order(3, u"銀行振込"_s, u"2014/01/05"_s);
        partly.paidAmount = 400;
        fixture.db.addOrder(paidInFull);
        fixture.db.addOrder(confirmed);
        fixture.db.addOrder(partly);
        frmKensaku *form = fixture.open();
        fixture.search();
        QCOMPARE(listedIds(form->grid()), QList<qint64>{3});
    }

    void rowLayoutAndOddValues()
    {
        ScreenFixture fixture;
        TestDatabase::Order o = order(7, u"銀行振込"_s, u"2014-2-3"_s, u"S09"_s);
        o.name = QVariant();
        o.tel = u"090-0000-1111"_s;
        o.orderDate = u"not a date"_s;
        o.billed = u"12345abc"_s;
        o.paidDate = u"2014/02/30"_s;
        o.paidAmount = u"x"_s;
        fixture.db.addOrder(o);
        frmKensaku *form = fixture.open();
        form->dateBox(1)->clear();
        fixture.search();
        vaSpread *grid = form->grid();
        QCOMPARE(grid->MaxRows(), 1);
        QCOMPARE(grid->Number(frmKensaku::ColId, 1), 7.0);
        QCOMPARE(grid->Value(frmKensaku::ColName, 1), QString());
        QCOMPARE(grid->Value(frmKensaku::ColTel, 1), u"090-0000-1111"_s);
        QCOMPARE(grid->Value(frmKensaku::ColOrderDate, 1), QString());
        QCOMPARE(grid->Number(frmKensaku::ColBilled, 1), 12345.0);
        QCOMPARE(grid->Text(frmKensaku::ColBilled, 1), u"12,345"_s);
        QCOMPARE(grid->Text(frmKensaku::ColShipDate, 1), u"2014/02/03"_s);
        QCOMPARE(grid->Text(frmKensaku::ColPaidDate, 1), QString());
        QCOMPARE(grid->Number(frmKensaku::ColPaidAmount, 1), 0.0);
        QCOMPARE(grid->Value(frmKensaku::ColShopId, 1), u"S09"_s);
        QCOMPARE(grid->Value(frmKensaku::ColUpdateFlag, 1), QString());
        // A payment date text that is there but invalid still counts as paid:
        // not pink, only the white every sort paints.
        QCOMPARE(grid->BackColor(1), ReceiptColors::White);
    }

    void rowsColouredByAge_data()
    {
        QTest::addColumn<QVariant>("shipDate");
        QTest::addColumn<QVariant>("paidDate");
        QTest::addColumn<QColor>("color");
        QTest::newRow("13 days") << QVariant(TestDatabase::daysAgo(13)) << QVariant() << ReceiptColors::White;
        QTest::newRow("14 days") << QVariant(TestDatabase::daysAgo(14)) << QVariant() << ReceiptColors::Yellow;
        QTest::newRow("29 days") << QVariant(TestDatabase::daysAgo(29)) << QVariant() << ReceiptColors::Yellow;
        QTest::newRow("30 days") << QVariant(TestDatabase::daysAgo(30)) << QVariant() << ReceiptColors::Pink;
        QTest::newRow("future") << QVariant(TestDatabase::daysAgo(-5)) << QVariant() << ReceiptColors::White;
        QTest::newRow("paid") << QVariant(TestDatabase::daysAgo(40)) << QVariant(TestDatabase::daysAgo(1))
                              << QColor();
        QTest::newRow("no ship date") << QVariant() << QVariant() << QColor();
        QTest::newRow("bad ship date") << QVariant(u"2014/13/01"_s) << QVariant() << QColor();
    }

    void rowsColouredByAge()
    {
        QFETCH(QVariant, shipDate);
        QFETCH(QVariant, paidDate);
        QFETCH(QColor, color);
        ScreenFixture fixture;
        TestDatabase::Order o = order(1, u"銀行振込"_s, shipDate);
        o.paidDate = paidDate;
        fixture.db.addOrder(o);
        frmKensaku *form = fixture.open();
        form->dateBox(1)->clear();
        fixture.search();
        QCOMPARE(form->grid()->MaxRows(), 1);
        // Sorting after the search paints every other row white.
        const QColor expected = color.isValid() ? color : ReceiptColors::White;
        QCOMPARE(form->grid()->BackColor(1), expected);
    }

    void searchFailureKeepsRowsAndShowsTheError()
    {
        ScreenFixture fixture;
        frmKensaku *form = fixture.open();
        fixture.db.exec(u"DROP TABLE [CHUMON]"_s);
        fixture.search();
        QCOMPARE(fixture.messages.size(), 1);
        QVERIFY2(fixture.messages.at(0).text.contains(u"CHUMON"_s), qPrintable(fixture.messages.at(0).text));
        QCOMPARE(fixture.messages.at(0).icon, QMessageBox::Critical);
        QCOMPARE(fixture.messages.at(0).title, u"入金対象一覧"_s);
        QCOMPARE(form->grid()->MaxRows(), 0);
    }

    void listFilter_data()
    {
        QTest::addColumn<int>("shopItem");
        QTest::addColumn<int>("methodIndex");
        QTest::addColumn<QList<qint64>>("visible");
        // Orders: 1 S01 銀行振込, 2 S01 代金引換, 3 s02 銀行振込, 4 S02 代金引換
        QTest::newRow("all") << 0 << -1 << QList<qint64>{1, 2, 3, 4};
        QTest::newRow("shop S01") << 1 << -1 << QList<qint64>{1, 2};
        QTest::newRow("shop S02 in other case") << 2 << -1 << QList<qint64>{3, 4};
        QTest::newRow("method 0") << 0 << 0 << QList<qint64>{2, 4};
        QTest::newRow("shop and method") << 1 << 1 << QList<qint64>{1};
    }

    void listFilter()
    {
        QFETCH(int, shopItem);
        QFETCH(int, methodIndex);
        QFETCH(QList<qint64>, visible);
        ScreenFixture fixture;
        fixture.db.addShop(u"S01"_s, u"本店"_s);
        fixture.db.addShop(u"S02"_s, u"支店"_s);
        fixture.db.addPayment(u"銀行振込"_s, 1, 1);
        fixture.db.addPayment(u"代金引換"_s, 1, 2);
        fixture.db.addOrder(order(1, u"銀行振込"_s, TestDatabase::daysAgo(1), u"S01"_s));
        fixture.db.addOrder(order(2, u"代金引換"_s, TestDatabase::daysAgo(1), u"S01"_s));
        fixture.db.addOrder(order(3, u"銀行振込"_s, TestDatabase::daysAgo(1), u"s02"_s));
        fixture.db.addOrder(order(4, u"代金引換"_s, TestDatabase::daysAgo(1), u"S02"_s));
        frmKensaku *form = fixture.open();
        fixture.search();
        QCOMPARE(listedIds(form->grid()), (QList<qint64>{1, 2, 3, 4}));

        form->shopCombo()->setCurrentIndex(shopItem);
        gintSiharaiIndex = static_cast<qint16>(methodIndex);
        form->ApplyListFilter();
        QCOMPARE(listedIds(form->grid(), true), visible);

        // A new search shows every row again and keeps the chosen method.
        form->shopCombo()->setCurrentIndex(0);
        fixture.search();
        QCOMPARE(listedIds(form->grid(), true), (QList<qint64>{1, 2, 3, 4}));
        QCOMPARE(gintSiharaiIndex, qint16(methodIndex));
    }
};

QTEST_MAIN(tst_OrderSearch)
#include "tst_ordersearch.moc"
