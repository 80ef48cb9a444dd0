// The receipt list's controls, first activation, user levels and keys.
#include "ScreenFixture.h"

#include "widgets/grid/vaSpread.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

class tst_ReceiptList : public QObject
{
    Q_OBJECT

private:
    static void seed(TestDatabase &db)
    {
        db.addShop(u"S01"_s, u"本店"_s);
        db.addShop(u"S02"_s, QVariant());
        db.addPayment(u"銀行振込"_s, 1, 2);
        db.addPayment(u"代金引換"_s, 1, 1);
        db.addPayment(u"後払い"_s, 0, 3);
        db.setExempt(u"代金引換"_s);
        TestDatabase::Order order;
        order.id = 1;
        order.shipDate = TestDatabase::daysAgo(3);
        db.addOrder(order);
    }

private Q_SLOTS:
    void controlsAsDesigned()
    {
        ScreenFixture fixture;
        frmKensaku *form = fixture.open();
        QCOMPARE(form->windowTitle(), u"入金対象一覧"_s);

        const QStringList captions = {u"表示"_s, u""_s, u""_s, u"入金日"_s, u"全選択"_s, u"全解除"_s,
                                      u""_s, u""_s, u"登録"_s, u""_s, u""_s, u"閉じる"_s};
        const QStringList anchors = {u"LEFTBOTTOM"_s, u"LEFTBOTTOM"_s, u"LEFTBOTTOM"_s, u"LEFTBOTTOM"_s,
                                     u"BOTTOM"_s, u"BOTTOM"_s, u"BOTTOM"_s, u"BOTTOM"_s,
                                     u"RIGHTBOTTOM"_s, u"RIGHTBOTTOM"_s, u"RIGHTBOTTOM"_s, u"RIGHTBOTTOM"_s};
        for (int key = 1; key <= 12; ++key) {
            QCOMPARE(form->button(key)->text(), captions.at(key - 1));
            QCOMPARE(form->button(key)->property("Tag").toString(), anchors.at(key - 1));
        }
        QCOMPARE(form->findChildren<QLabel *>(u"Label1"_s).size(), 3);
        QCOMPARE(form->findChildren<QLineEdit *>(u"txtDate"_s).size(), 2);
        QCOMPARE(form->dateBox(1)->property("Index").toInt(), 1);
        QCOMPARE(form->grid()->objectName(), u"sprNyukin"_s);
        QCOMPARE(QString::fromLatin1(form->grid()->metaObject()->className()), u"vaSpread"_s);
        QCOMPARE(form->grid()->MaxCols(), 14);
        QCOMPARE(form->grid()->property("Tag").toString(), u"LEFTRIGHTTOPBOTTOM"_s);

        const auto menus = form->menuBar()->actions();
        QCOMPARE(menus.size(), 2);
        QCOMPARE(menus.at(0)->text(), u"設定"_s);
        QCOMPARE(menus.at(1)->text(), u"表示"_s);
        QCOMPARE(form->kanriMenuItem()->text(), u"入金管理..."_s);
        QCOMPARE(form->viewMenuItem()->text(), u"支払方法"_s);
    }

    void firstActivationLoadsLists()
    {
        ScreenFixture fixture;
        seed(fixture.db);
        frmKensaku *form = fixture.open();

        QCOMPARE(form->dateBox(0)->text(), QString());
        QCOMPARE(form->dateBox(1)->text(), QDate::currentDate().toString(u"yyyy/MM/dd"_s));
        QCOMPARE(form->shopCombo()->count(), 3);
        QCOMPARE(form->shopCombo()->currentText(), u"全て"_s);
        QCOMPARE(form->shopCombo()->itemText(1), u"S01 / 本店"_s);
        QCOMPARE(form->shopCombo()->itemText(2), u"S02 / "_s);
        QCOMPARE(form->grid()->MaxRows(), 0);
        QCOMPARE(form->pstrSiharaiString, u"代金引換\t銀行振込"_s);
        QCOMPARE(gstrSiharaiTable.size(), 3);
        QCOMPARE(gstrSiharaiTable.at(0).method, u"代金引換"_s);
        QCOMPARE(gstrSiharaiTable.at(0).managed, u"0"_s);
        QCOMPARE(gstrSiharaiTable.at(1).managed, u"1"_s);
        QCOMPARE(gstrSiharaiTable.at(2).okMax, u"0"_s);
        QCOMPARE(gintSiharaiIndex, qint16(-1));
        QCOMPARE(form->sortColumn(), 2);
        QCOMPARE(form->sortOrder(), 1);
        QVERIFY(fixture.messages.isEmpty());
    }

    void userLevelGatesRegistering_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("0") << 0 << false;
        QTest::newRow("1") << 1 << false;
        QTest::newRow("2") << 2 << true;
        QTest::newRow("3") << 3 << true;
        QTest::newRow("-1") << -1 << true;
    }

    void userLevelGatesRegistering()
    {
        QFETCH(int, level);
        QFETCH(bool, enabled);
        ScreenFixture fixture(static_cast<qint16>(level));
        seed(fixture.db);
        frmKensaku *form = fixture.open();
        QCOMPARE(form->button(9)->isEnabled(), enabled);
        QCOMPARE(form->kanriMenuItem()->isEnabled(), enabled);

        // F9 on a disabled button is swallowed and writes nothing.
        fixture.search();
        QCOMPARE(form->grid()->MaxRows(), 1);
        form->grid()->SetText(frmKensaku::ColPaidDate, 1, u"2014/02/21"_s);
        form->grid()->SetText(frmKensaku::ColPaidAmount, 1, 1000);
        form->grid()->SetValue(frmKensaku::ColUpdateFlag, 1, 1);
        QTest::keyClick(form->grid(), Qt::Key_F9);
        QCOMPARE(fixture.db.scalar(u"SELECT [入金額] FROM [CHUMON] WHERE [ID] = 1"_s).toInt(),
                 enabled ? 1000 : 0);
    }

    void listLoadFailureIsReported()
    {
        // No tables at all: the shop list fails at the first activation.
        ScreenFixture fixture;
        fixture.db.exec(u"DROP TABLE [SHOP]"_s);
        frmKensaku *form = fixture.open();
        QCOMPARE(fixture.messages.size(), 1);
        QVERIFY2(fixture.messages.at(0).text.contains(u"SHOP"_s), qPrintable(fixture.messages.at(0).text));
        QCOMPARE(fixture.messages.at(0).title, u"入金対象一覧"_s);
        QCOMPARE(fixture.messages.at(0).icon, QMessageBox::Critical);
        QCOMPARE(form->dateBox(1)->text(), QDate::currentDate().toString(u"yyyy/MM/dd"_s));
    }

    void shiftF5AsksBeforeReloading_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("reloaded");
        QTest::newRow("no") << int(QMessageBox::No) << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
        QTest::newRow("yes") << int(QMessageBox::Yes) << Qt::KeyboardModifiers(Qt::ShiftModifier) << true;
        QTest::newRow("ctrl+shift yes")
            << int(QMessageBox::Yes) << Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::ControlModifier) << true;
    }

    void shiftF5AsksBeforeReloading()
    {
        QFETCH(int, answer);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, reloaded);
        ScreenFixture fixture;
        seed(fixture.db);
        frmKensaku *form = fixture.open();
        gintSiharaiIndex = 0;
        fixture.nextAnswer = QMessageBox::StandardButton(answer);

        QTest::keyClick(form->grid(), Qt::Key_F5, modifiers);
        QCOMPARE(fixture.messageTexts(), QStringList{u"ﾃﾞｰﾀの再読み込みを行いますか？"_s});
        QCOMPARE(fixture.messages.at(0).title, u"入金対象一覧"_s);
        QCOMPARE(form->grid()->MaxRows(), reloaded ? 1 : 0);
        QCOMPARE(gintSiharaiIndex, qint16(reloaded ? -1 : 0));
        // F5 alone would have marked rows; shift with F5 never does.
        if (reloaded)
            QCOMPARE(form->grid()->Value(frmKensaku::ColMark, 1), u"0"_s);
    }

    void functionKeysNeedNoModifier_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("rows");
        QTest::newRow("F1") << Qt::KeyboardModifiers(Qt::NoModifier) << 1;
        QTest::newRow("Ctrl+F1") << Qt::KeyboardModifiers(Qt::ControlModifier) << 0;
        QTest::newRow("Alt+F1") << Qt::KeyboardModifiers(Qt::AltModifier) << 0;
    }

    void functionKeysNeedNoModifier()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, rows);
        ScreenFixture fixture;
        seed(fixture.db);
        frmKensaku *form = fixture.open();
        QTest::keyClick(form->dateBox(0), Qt::Key_F1, modifiers);
        QCOMPARE(form->grid()->MaxRows(), rows);
        QVERIFY(fixture.messages.isEmpty());
    }

    void markKeys()
    {
        ScreenFixture fixture;
        seed(fixture.db);
        frmKensaku *form = fixture.open();
        fixture.search();
        QTest::keyClick(form->grid(), Qt::Key_F5);
        QCOMPARE(form->grid()->Value(frmKensaku::ColMark, 1), u"1"_s);
        QTest::keyClick(form->grid(), Qt::Key_F6);
        QCOMPARE(form->grid()->Value(frmKensaku::ColMark, 1), u"0"_s);
    }

    void closePathsUnload_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("button") << u"button"_s;
        QTest::newRow("F12") << u"F12"_s;
        QTest::newRow("close box") << u"close box"_s;
    }

    void closePathsUnload()
    {
        QFETCH(QString, path);
        ScreenFixture fixture;
        seed(fixture.db);
        frmKensaku *form = fixture.open();
        QSignalSpy unloaded(form, &frmKensaku::unloaded);
        if (path == u"button"_s)
            QTest::mouseClick(form->button(12), Qt::LeftButton);
        else if (path == u"F12"_s)
            QTest::keyClick(form->dateBox(0), Qt::Key_F12);
        else
            form->close();
        QCOMPARE(unloaded.size(), 1);
        QVERIFY(fixture.form.isNull() || fixture.form->unloadedFlg);
        QTRY_VERIFY_WITH_TIMEOUT(fixture.form.isNull(), 2000);
    }
};

QTEST_MAIN(tst_ReceiptList)
#include "tst_receiptlist.moc"
