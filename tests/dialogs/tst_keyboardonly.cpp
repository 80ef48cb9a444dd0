// An operator's round with the keyboard alone: ship dates, search, marks, the
// bulk date dialog's fields, and "登録" pressed with Enter.
#include "DialogFixture.h"

#include "widgets/grid/vaSpread.h"
#include "screens/dialogs/frmAllSet.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;
using F = DialogFixture;

class tst_KeyboardOnly : public QObject
{
    Q_OBJECT

private:
    static void enter() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }

private Q_SLOTS:
    void wholeRoundWithoutTheMouse()
    {
        F fixture;
        fixture.seedOrders(1000);
        frmKensaku *form = F::activate(fixture.owner.data());

        // Ship dates: Enter leaves a box, and the box rewrites its date.
        form->dateBox(0)->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(form->dateBox(0)->hasFocus(), 2000);
        QTest::keyClicks(form->dateBox(0), u"2014/1/1"_s);
        enter();
        QTRY_VERIFY_WITH_TIMEOUT(form->dateBox(1)->hasFocus(), 2000);
        QTRY_COMPARE_WITH_TIMEOUT(form->dateBox(0)->text(), u"2014/01/01"_s, 2000);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QCOMPARE(form->grid()->MaxRows(), 3);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);

        // The dialog: method by type-ahead, date typed, then Enter until "登録".
        QStringList visited;
        F::whenShown<frmAllSet>([&visited](frmAllSet *dialog) {
            auto *method = F::child<QComboBox>(dialog, u"cboSiharai"_s);
            QTRY_VERIFY_WITH_TIMEOUT(method->hasFocus(), 2000);
            QTest::sendKeyEvent(QTest::Click, method, Qt::Key_unknown, u"銀"_s, Qt::NoModifier);
            enter();
            auto *date = F::child<QLineEdit>(dialog, u"txtDate"_s);
            QTRY_VERIFY_WITH_TIMEOUT(date->hasFocus(), 2000);
            date->selectAll();
            QTest::keyClicks(date, u"20140221"_s);
            for (int step = 0; step < 8 && dialog->isVisible(); ++step) {
                QWidget *focus = QApplication::focusWidget();
                visited << (focus ? focus->objectName() : QString());
                enter();
                QTest::qWait(20);
            }
        });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4);
        QVERIFY2(visited.contains(u"cmdEnter"_s), qPrintable(visited.join(u","_s)));
        QCOMPARE(form->pstrDate, u"2014/02/21"_s);
        QCOMPARE(form->pstrSiharai, u"銀行振込"_s);

        // "登録" reached and pressed from the keyboard.
        QPushButton *update = form->button(9);
        F::activate(form);
        update->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(update->hasFocus(), 2000);
        enter();
        QCOMPARE(fixture.messageTexts(), QStringList());
        QCOMPARE(fixture.db.scalar(u"SELECT GROUP_CONCAT([ID] || ':' || [入金日] || ':' || [入金額], ',') "
                                   "FROM [CHUMON] WHERE [入金日] IS NOT NULL"_s)
                     .toString(),
                 u"1:2014/02/21:1000,3:2014/02/21:3000"_s);
    }
};

QTEST_MAIN(tst_KeyboardOnly)
#include "tst_keyboardonly.moc"
