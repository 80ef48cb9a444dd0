// The receipt list: which orders it lists, their colours through a sort,
// the ship-date boxes, hostile text, and the window following its size.
#include "ScreenFixture.h"

#include "screens/dialogs/frmKanri.h"
#include "screens/receipt_list/ReceiptColors.h"

#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using Ids = QList<qint64>;

class tst_ReceiptList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void searchChoosesOrders_data()
    {
        QTest::addColumn<QString>("from"); // "*": as the list opened
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("shop");
        QTest::addColumn<QString>("exempt");
        QTest::addColumn<Ids>("listed");
        QTest::newRow("as opened: up to today") << u"*"_s << u"*"_s << 0 << u""_s << Ids{1, 2, 3, 4, 5, 9};
        QTest::newRow("no dates") << u""_s << u""_s << 0 << u""_s << Ids{1, 2, 3, 4, 5, 6, 9};
        QTest::newRow("from only") << u"2014/01/10"_s << u""_s << 0 << u""_s << Ids{2, 3, 4, 5, 6};
        QTest::newRow("to only") << u""_s << u"2014/01/10"_s << 0 << u""_s << Ids{1, 2, 5, 9};
        QTest::newRow("shop with a quote") << u""_s << u""_s << 2 << u""_s << Ids{3};
        QTest::newRow("empty shop id") << u""_s << u""_s << 3 << u""_s << Ids{4};
        QTest::newRow("all three") << u"2014/01/01"_s << u"2014/01/31"_s << 1 << u""_s << Ids{1, 2, 9};
        QTest::newRow("exempt method") << u"*"_s << u"*"_s << 0 << u"代金引換"_s << Ids{1, 3, 4, 5, 9};
        // A stored name matches in any case, an order's method only exactly;
        // ATM is no entry of its own beside atm.
        QTest::newRow("exempt in other case") << u"*"_s << u"*"_s << 0 << u"ATM"_s << Ids{1, 2, 3, 5, 9};
    }

    void searchChoosesOrders()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, shop);
        QFETCH(QString, exempt);
        QFETCH(Ids, listed);
        ScreenFixture f;
        f.db.addShop(u"S01"_s, u"本店"_s);
        f.db.addShop(u"A'1"_s, u"支店"_s);
        f.db.addShop(u""_s, u"名無し"_s);
        int ord = 0;
        for (const QString &method : {u"銀行振込"_s, u"代金引換"_s, u"atm"_s, u"ATM"_s})
            f.db.addPayment(method, 1, ++ord);
        f.db.setExempt(exempt);
        f.db.addOrder({.id = 1, .shipDate = u"2014/01/05"_s});
        f.db.addOrder({.id = 2, .method = u"代金引換"_s, .shipDate = u"2014/01/10"_s});
        f.db.addOrder({.id = 3, .method = u"郵便振替"_s, .shipDate = u"2014/01/20"_s, .shopId = u"A'1"_s});
        f.db.addOrder({.id = 4, .method = u"atm"_s, .shipDate = u"2014/02/01"_s, .shopId = u""_s});
        f.db.addOrder({.id = 5, .method = u"ATM"_s, .shipDate = u"2014/01/10"_s, .shopId = u"S02"_s});
        f.db.addOrder({.id = 6, .shipDate = TestDatabase::daysAgo(-1)});
        f.db.addOrder({.id = 7, .paidAmount = 1000, .shipDate = u"2014/01/05"_s}); // paid in full
        f.db.addOrder({.id = 8, .shipDate = u"2014/01/05"_s, .mailSent = 1});     // confirmed
        f.db.addOrder({.id = 9, .paidAmount = 400, .shipDate = u"2014/01/05"_s});
        f.db.addOrder({.id = 10, .method = u""_s});
        f.db.addOrder({.id = 11, .method = QVariant()});
        frmKensaku *form = f.open();
        if (from != u"*"_s) {
            form->dateBox(0)->setText(from);
            form->dateBox(1)->setText(to);
        }
        form->shopCombo()->setCurrentIndex(shop);
        f.press(Qt::Key_F1);
        QCOMPARE(f.ids(), listed);
        QCOMPARE(f.shown(), QStringList());
    }

    void coloursStayWithTheirOrders_data()
    {
        QTest::addColumn<QList<int>>("headerClicks");
        QTest::addColumn<Ids>("order");
        const int id = frmKensaku::ColId, billed = frmKensaku::ColBilled;
        QTest::newRow("as searched") << QList<int>{} << Ids{1, 2, 3, 4, 5, 6, 7, 8};
        QTest::newRow("No. again: reversed") << QList<int>{id} << Ids{8, 7, 6, 5, 4, 3, 2, 1};
        QTest::newRow("then 請求額: still descending") << QList<int>{id, billed} << Ids{8, 7, 6, 5, 4, 1, 3, 2};
        QTest::newRow("請求額 twice: ascending") << QList<int>{id, billed, billed} << Ids{2, 3, 1, 4, 5, 6, 7, 8};
    }

    void coloursStayWithTheirOrders()
    {
        QFETCH(QList<int>, headerClicks);
        QFETCH(Ids, order);
        ScreenFixture f;
        // Days since shipping; order 8 has a payment date, though not its whole amount.
        const int age[] = {40, 20, 1, 14, 30, 29, 13, 45};
        const int billed[] = {300, 100, 200, 400, 500, 600, 700, 800};
        for (int id = 1; id <= 8; ++id)
            f.db.addOrder({.id = id, .billed = billed[id - 1],
                           .paidDate = id == 8 ? QVariant(u"2014/02/01"_s) : QVariant(),
                           .shipDate = TestDatabase::daysAgo(age[id - 1])});
        vaSpread *grid = f.open()->grid();
        f.press(Qt::Key_F1);
        QHeaderView *header = grid->horizontalHeader();
        for (int column : headerClicks)
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              {header->sectionViewportPosition(column - 1) + 4, header->height() / 2});
        QCOMPARE(f.ids(), order);
        const QColor P = ReceiptColors::Pink, Y = ReceiptColors::Yellow, W = ReceiptColors::White;
        const QColor colour[] = {P, Y, W, Y, P, Y, W, W};
        for (int row = 1; row <= 8; ++row)
            QCOMPARE(grid->BackColor(row), colour[order.at(row - 1) - 1]);
    }

    void shipDateBoxesTakeOnlyDates_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QStringList>("told");
        QTest::newRow("short month and day") << u"2014/2/3"_s << u"2014/02/03"_s << QStringList();
        QTest::newRow("empty") << u""_s << u""_s << QStringList();
        QTest::newRow("words") << u"abc"_s << u"abc"_s << QStringList{u"i"_s};
        QTest::newRow("no such day") << u"2014/02/30"_s << u"2014/02/30"_s << QStringList{u"i"_s};
    }

    void shipDateBoxesTakeOnlyDates()
    {
        QFETCH(QString, typed);
        QFETCH(QString, after);
        QFETCH(QStringList, told);
        ScreenFixture f;
        QLineEdit *from = f.open()->dateBox(0);
        from->setFocus();
        QTest::keyClicks(from, typed);
        f.press(Qt::Key_Tab);
        // A refused date takes the focus back.
        QTRY_COMPARE_WITH_TIMEOUT(from->hasFocus(), !told.isEmpty(), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(from->text(), after, 1000);
        QCOMPARE(f.shown(), told);
    }

    void hostileTextStaysText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quote") << u"O'Brien"_s;
        QTest::newRow("statement end") << u"'; DROP TABLE CHUMON; --"_s;
        QTest::newRow("brackets") << u"]; DROP TABLE [SHOP]; --"_s;
        QTest::newRow("tautology") << u"1' OR '1'='1"_s;
        QTest::newRow("10,000 quotes") << QString(10000, u'\'');
        QTest::newRow("control characters") << u"a\x01\x1b\r\nb\x7f"_s;
        QTest::newRow("surrogate pair") << u"𠮷野家"_s;
        QTest::newRow("NUL inside") << QStringView(u"ab\0cd'", 6).toString();
    }

    // One order carries the text as its shop, method and ship date: the
    // search finds exactly it, and neither 登録 nor 入金管理 breaks a statement.
    void hostileTextStaysText()
    {
        QFETCH(QString, text);
        const QString stored = QString(text).remove(QChar(u'\0')); // no SQL text carries a NUL
        ScreenFixture f;
        f.db.addShop(text, text);
        f.db.addPayment(text, 1, 1);
        f.db.setExempt(u""_s);
        f.db.addOrder({.id = 1, .method = text, .shipDate = text, .shopId = text});
        f.db.addOrder({.id = 2});
        frmKensaku *form = f.open();
        form->shopCombo()->setCurrentIndex(1);
        form->dateBox(0)->setText(text);
        form->dateBox(1)->setText(text);
        f.press(Qt::Key_F1);
        QCOMPARE(f.ids(), Ids{1});
        QCOMPARE(form->grid()->Value(frmKensaku::ColShopId, 1), stored);

        form->grid()->SetText(frmKensaku::ColPaidDate, 1, text);
        form->grid()->SetValue(frmKensaku::ColUpdateFlag, 1, 1);
        f.press(Qt::Key_F9);
        auto *kanri = new frmKanri(form, *form);
        ScreenFixture::activate(kanri);
        kanri->findChild<vaSpread *>()->SetValue(frmKanri::ColManaged, 1, 0);
        kanri->findChild<QPushButton *>(u"cmdEnter"_s)->click();

        QCOMPARE(f.shown(), QStringList());
        QCOMPARE(f.receipts(), QStringList{u"1  0 0"_s}); // the date cell took no text
        QCOMPARE(f.db.scalar(u"SELECT [NYUKIN_NOMANAGE] FROM [CONTROL]"_s).toString(), stored);
        QCOMPARE(f.db.scalar(u"SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'"_s).toInt(), 4);
    }

    void windowSizeIndexTwoKeepsTheDesign_data()
    {
        QTest::addColumn<QByteArray>("index");
        QTest::addColumn<int>("growth");
        QTest::newRow("0: the grid follows") << QByteArray("0") << 300;
        QTest::newRow("2: design places") << QByteArray("2") << 0;
    }

    void windowSizeIndexTwoKeepsTheDesign()
    {
        QFETCH(QByteArray, index);
        QFETCH(int, growth);
        QTemporaryDir dir;
        QFile settings(dir.filePath(u"user.reg"_s));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[Software\\VB and VBA Program Settings\\Veltrane\\Parlow6]\n\"WindowSizeIndex\"=\"" + index
                       + "\"\n");
        settings.close();
        qputenv("PARLOW6_USER_REGISTRY", settings.fileName().toLocal8Bit());
        const auto reset = qScopeGuard([] { qputenv("PARLOW6_USER_REGISTRY", QByteArray()); });
        ScreenFixture f;
        frmKensaku *form = f.open();
        const int width = form->grid()->width();
        form->resize(form->width() + 300, form->height());
        QCoreApplication::processEvents();
        QVERIFY2(qAbs(form->grid()->width() - width - growth) <= 1, qPrintable(QString::number(form->grid()->width())));
    }
};

QTEST_MAIN(tst_ReceiptList)
#include "tst_receiptlist.moc"
