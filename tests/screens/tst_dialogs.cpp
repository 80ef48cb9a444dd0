// The list's three dialogs, each opened the way the operator opens it, and a
// whole round with the keyboard alone.
#include "FaultyConnection.h"
#include "ScreenFixture.h"

#include "core/receipt/SharedState.h"
#include "screens/dialogs/frmAllSet.h"
#include "screens/dialogs/frmDispSiharai.h"
#include "screens/dialogs/frmKanri.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

using namespace Qt::StringLiterals;
using Ids = QList<qint64>;

class tst_Dialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bulkDateDialogChecksItsDate_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("then");
        QTest::addColumn<QString>("date"); // in the box, or handed to the list
        QTest::addColumn<QStringList>("told");
        const QStringList none, refused{u"i"_s};
        QTest::newRow("eight digits") << u"20140221"_s << u"Tab"_s << u"2014/02/21"_s << none;
        QTest::newRow("six digits, this century") << u"140221"_s << u"Tab"_s << u"2014/02/21"_s << none;
        QTest::newRow("four digits") << u"0221"_s << u"Tab"_s << u""_s << refused;
        QTest::newRow("no such day") << u"20140230"_s << u"Tab"_s << u""_s << refused;
        QTest::newRow("upper arrow: the day after") << u"20141231"_s << u"up"_s << u"2015/01/01"_s << none;
        QTest::newRow("lower arrow: the day before") << u"2014/03/01"_s << u"down"_s << u"2014/02/28"_s << none;
        QTest::newRow("登録 reads typed digits") << u"20140221"_s << u"登録"_s << u"2014/02/21"_s << none;
        QTest::newRow("登録 on an empty box") << u""_s << u"登録"_s << TestDatabase::daysAgo(0) << refused;
    }

    void bulkDateDialogChecksItsDate()
    {
        QFETCH(QString, typed);
        QFETCH(QString, then);
        QFETCH(QString, date);
        QFETCH(QStringList, told);
        ScreenFixture f;
        frmKensaku *form = f.open();
        QPointer<frmAllSet> dialog = new frmAllSet(form, *form);
        ScreenFixture::activate(dialog);
        auto *box = dialog->findChild<QLineEdit *>();
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, typed);
        if (then == u"Tab"_s)
            QTest::keyClick(box, Qt::Key_Tab);
        else if (then == u"登録"_s)
            QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdEnter"_s), Qt::LeftButton);
        else
            dialog->findChild<QScrollBar *>()->triggerAction(then == u"up"_s ? QAbstractSlider::SliderSingleStepSub
                                                                             : QAbstractSlider::SliderSingleStepAdd);
        QTRY_COMPARE_WITH_TIMEOUT(dialog && dialog->isVisible() ? box->text() : form->pstrDate, date, 1000);
        QCOMPARE(f.shown(), told);
    }

    void managedMethods_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("toggled");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<Ids>("listed");
        const QStringList reload{u"?"_s};
        QTest::newRow("cleared box stored, list reloaded")
            << u""_s << u"代引"_s << u"OK"_s << u"代引"_s << reload << Ids{1, 3, 4};
        QTest::newRow("stored in other case, stored as listed")
            << u"card"_s << u""_s << u"OK"_s << u"Card"_s << reload << Ids{1, 2, 4};
        QTest::newRow("no reload") << u""_s << u"代引"_s << u"OK, no reload"_s << u"代引"_s << reload << Ids{1, 2, 3, 4};
        QTest::newRow("ｷｬﾝｾﾙ") << u"代引"_s << u"代引"_s << u"ｷｬﾝｾﾙ"_s << u"代引"_s << QStringList() << Ids{1, 3, 4};
        QTest::newRow("write refused") << u""_s << u"代引"_s << u"OK, refused"_s << u""_s
                                       << QStringList{u"!CONTROL is read-only today"_s} << Ids{1, 2, 3, 4};
        QTest::newRow("read failed: closes unsaved") << u"代引"_s << u""_s << u"OK, read failed"_s << u"代引"_s
                                                    << QStringList{u"!"_s + FaultyConnection::lost()} << Ids{1, 3, 4};
    }

    void managedMethods()
    {
        QFETCH(QString, before);
        QFETCH(QString, toggled);
        QFETCH(QString, how);
        QFETCH(QString, after);
        QFETCH(QStringList, told);
        QFETCH(Ids, listed);
        ScreenFixture f;
        f.addOrders();
        f.db.setExempt(before);
        auto faulty = std::make_shared<FaultyConnection>(f.db.connection());
        gdbConnection = faulty;
        frmKensaku *form = f.open();
        f.press(Qt::Key_F1);
        if (how.endsWith(u"refused"_s))
            f.db.exec(u"CREATE TRIGGER [keep] BEFORE UPDATE ON [CONTROL]"
                      " BEGIN SELECT RAISE(ABORT, 'CONTROL is read-only today'); END"_s);
        faulty->failExecute(how.endsWith(u"read failed"_s) ? 1 : 0);
        f.answer = how.endsWith(u"no reload"_s) ? QMessageBox::No : QMessageBox::Yes;

        f.whenModal<frmKanri>([&](frmKanri *dialog) {
            auto *grid = dialog->findChild<vaSpread *>();
            for (int row = 1; row <= grid->MaxRows(); ++row) {
                if (grid->Text(frmKanri::ColMethod, row) == toggled)
                    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                                      grid->visualRect(grid->model()->index(row - 1, 0)).center());
            }
            const bool ok = how.startsWith(u"OK"_s);
            QTest::mouseClick(dialog->findChild<QPushButton *>(ok ? u"cmdEnter"_s : u"cmdCancel"_s), Qt::LeftButton);
            if (dialog->isVisible()) // a refused write leaves it open
                dialog->reject();
        });
        form->kanriMenuItem()->trigger();
        QCOMPARE(f.db.scalar(u"SELECT [NYUKIN_NOMANAGE] FROM [CONTROL]"_s).toString(), after);
        QCOMPARE(f.shown(), told);
        QCOMPARE(f.ids(), listed);
    }

    void shownMethodAndMarks_data()
    {
        QTest::addColumn<int>("shop");
        QTest::addColumn<int>("method");
        QTest::addColumn<Ids>("visible");
        QTest::newRow("全て") << 0 << 0 << Ids{1, 2, 3, 4};
        QTest::newRow("Card in either case") << 0 << 1 << Ids{3, 4};
        QTest::newRow("shop in either case") << 2 << 0 << Ids{3, 4};
        QTest::newRow("shop and method") << 1 << 3 << Ids{1};
    }

    void shownMethodAndMarks()
    {
        QFETCH(int, shop);
        QFETCH(int, method);
        QFETCH(Ids, visible);
        ScreenFixture f;
        f.addOrders();
        frmKensaku *form = f.open();
        f.press(Qt::Key_F1);
        form->shopCombo()->setCurrentIndex(shop);
        QStringList offered;
        f.whenModal<frmDispSiharai>([&](frmDispSiharai *dialog) {
            auto *combo = dialog->findChild<QComboBox *>();
            for (int i = 0; i < combo->count(); ++i)
                offered << combo->itemText(i);
            combo->setCurrentIndex(method);
            QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdEnter"_s), Qt::LeftButton);
        });
        form->viewMenuItem()->trigger();
        QCOMPARE(offered, (QStringList{u"全て"_s, u"Card"_s, u"代引"_s, u"銀行振込"_s}));
        QCOMPARE(f.ids(ScreenFixture::Visible), visible);

        // F5 and F6 touch the visible rows only.
        f.press(Qt::Key_F5);
        QCOMPARE(f.ids(ScreenFixture::Marked), visible);
        form->grid()->SetValue(frmKensaku::ColMark, -1, 1);
        f.press(Qt::Key_F6);
        Ids hidden = f.ids();
        hidden.removeIf([&](qint64 id) { return visible.contains(id); });
        QCOMPARE(f.ids(ScreenFixture::Marked), hidden);

        // Shift+F5 asks, then reloads every method into view.
        form->shopCombo()->setCurrentIndex(0);
        f.press(Qt::Key_F5, Qt::ShiftModifier);
        QCOMPARE(f.shown(), QStringList{u"?"_s});
        QCOMPARE(f.ids(ScreenFixture::Visible), (Ids{1, 2, 3, 4}));
    }

    void wholeRoundByKeyboard()
    {
        ScreenFixture f;
        f.addOrders();
        frmKensaku *form = f.open();
        // Enter leaves a ship-date box, which rewrites its date.
        form->dateBox(0)->setFocus();
        QTest::keyClicks(form->dateBox(0), u"2014/1/1"_s);
        f.press(Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(form->dateBox(1)->hasFocus(), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(form->dateBox(0)->text(), u"2014/01/01"_s, 1000);
        f.press(Qt::Key_F1);
        f.press(Qt::Key_F5);

        // The method by type-ahead, the date typed over, then Enter until 登録.
        QStringList visited;
        f.whenModal<frmAllSet>([&](frmAllSet *dialog) {
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, u"銀"_s, Qt::NoModifier);
            f.press(Qt::Key_Return);
            if (!QTest::qWaitFor([dialog] { return dialog->focusWidget() == dialog->findChild<QLineEdit *>(); }, 1000))
                return;
            f.press(Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(QApplication::focusWidget(), u"20140221"_s);
            for (int step = 0; step < 8 && dialog->isVisible(); ++step) {
                visited << QApplication::focusWidget()->objectName();
                f.press(Qt::Key_Return);
                QTest::qWait(20);
            }
        });
        f.press(Qt::Key_F4);
        QVERIFY2(visited.contains(u"cmdEnter"_s), qPrintable(visited.join(u',')));
        f.press(Qt::Key_F9);
        QCOMPARE(f.shown(), QStringList());
        QCOMPARE(f.receipts(), QStringList{u"1 2014/02/21 1000 0"_s});
    }
};

QTEST_MAIN(tst_Dialogs)
#include "tst_dialogs.moc"
