// The list's three dialogs, each opened the way the operator opens it, a
// whole round with the keyboard alone, and the public object as a host uses
// it: the login's level reaches the list, and Show() returns once it closes.
#include "ScreenFixture.h"

#include "component/clsParlow6dl.h"
#include "screens/history/frmRireki.h"

#include <QInputMethodEvent>
#include <QScrollBar>

using namespace Qt::StringLiterals;

struct DateEntry { QString typed, then, date; QStringList told; }; // date: in the box, or handed over
struct Kanri { QString before; int toggledRow; QString how, after; QStringList told; Ids listed, searched; };
struct Filter { int shop, method; Ids visible; };
struct Close { int level; QString closeBy; bool mayRegister; };

struct Login final : LoginInfo
{
    explicit Login(int userLevel) : level(qint16(userLevel)) {}
    QString FirstText() const override { return {}; }
    qint16 UserLevel() const override { return level; }
    QString SecondText() const override { return {}; }
    qint16 level;
};

class tst_Dialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bulkDateDialogChecksItsDate_data()
    {
        QTest::addColumn<DateEntry>("c");
        const QStringList refused{u"i"_s};
        QTest::newRow("six digits, this century") << DateEntry{u"140221"_s, u"Tab"_s, u"2014/02/21"_s, {}};
        // The list's payment-date cell holds 1900..2099; beyond, rows would get an amount and no date.
        QTest::newRow("a year the list cannot hold") << DateEntry{u"2104/01/01"_s, u"Tab"_s, {}, refused};
        QTest::newRow("upper arrow: the day after") << DateEntry{u"20141231"_s, u"arrow"_s, u"2015/01/01"_s, {}};
        QTest::newRow("登録 reads typed digits") << DateEntry{u"20140221"_s, u"登録"_s, u"2014/02/21"_s, {}};
        QTest::newRow("登録 on an empty box") << DateEntry{{}, u"登録"_s, TestDatabase::daysAgo(0), refused};
    }

    void bulkDateDialogChecksItsDate()
    {
        QFETCH(DateEntry, c);
        ScreenFixture f;
        frmKensaku *form = f.open();
        QPointer<frmAllSet> dialog = new frmAllSet(form, *form);
        ScreenFixture::activate(dialog);
        auto *box = dialog->findChild<QLineEdit *>();
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, c.typed);
        if (c.then == u"Tab"_s)
            QTest::keyClick(box, Qt::Key_Tab);
        else if (c.then == u"登録"_s)
            ScreenFixture::click(dialog, u"cmdEnter"_s);
        else
            dialog->findChild<QScrollBar *>()->triggerAction(QAbstractSlider::SliderSingleStepSub); // the upper arrow
        QTRY_COMPARE_WITH_TIMEOUT(dialog && dialog->isVisible() ? box->text() : form->pstrDate, c.date, 1000);
        QCOMPARE(f.shown, c.told);
    }

    void managedMethods_data()
    {
        QTest::addColumn<Kanri>("c");
        // The dialog's rows: Card, 代引, 銀行振込. Listed: as it closes, then after F1.
        const QStringList reload{u"?"_s};
        QTest::newRow("cleared box stored, list reloaded")
            << Kanri{{}, 2, u"OK"_s, u"代引"_s, reload, {1, 3, 4}, {1, 3, 4}};
        QTest::newRow("stored in other case, kept as listed")
            << Kanri{u"card"_s, 0, u"OK"_s, u"Card"_s, reload, {1, 2, 4}, {1, 2, 4}};
        QTest::newRow("no reload") << Kanri{{}, 2, u"OK, no reload"_s, u"代引"_s, reload, {1, 2, 3, 4}, {1, 3, 4}};
        QTest::newRow("Enter on the list stores nothing") << Kanri{{}, 2, u"Enter on the list"_s, {}, {}, {1, 2, 3, 4}, {1, 2, 3, 4}};
        QTest::newRow("ｷｬﾝｾﾙ") << Kanri{u"代引"_s, 2, u"ｷｬﾝｾﾙ"_s, u"代引"_s, {}, {1, 3, 4}, {1, 3, 4}};
        QTest::newRow("write refused")
            << Kanri{{}, 2, u"OK, refused"_s, {}, {u"!CONTROL is read-only today"_s}, {1, 2, 3, 4}, {1, 2, 3, 4}};
        QTest::newRow("read failed: closes unsaved")
            << Kanri{u"代引"_s, 0, u"OK, read failed"_s, u"代引"_s, {u"!"_s + FaultyConnection::lost()}, {1, 3, 4}, {1, 3, 4}};
    }

    void managedMethods()
    {
        QFETCH(Kanri, c);
        ScreenFixture f(ScreenFixture::WithOrders);
        f.db.setExempt(c.before);
        f.open(true);
        if (c.how.endsWith(u"refused"_s))
            f.db.exec(u"CREATE TRIGGER [keep] BEFORE UPDATE ON [CONTROL]"
                      " BEGIN SELECT RAISE(ABORT, 'CONTROL is read-only today'); END"_s);
        f.faulty->failExecute(c.how.endsWith(u"read failed"_s) ? 1 : 0);
        f.answer = c.how.endsWith(u"no reload"_s) ? QMessageBox::No : QMessageBox::Yes;
        f.whenActive<frmKanri>([&](frmKanri *dialog) {
            auto *grid = dialog->findChild<vaSpread *>();
            if (c.toggledRow)
                QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                                  grid->visualRect(grid->model()->index(c.toggledRow - 1, 0)).center());
            if (c.how.startsWith(u"Enter"_s)) {
                grid->setFocus();
                QTest::keyClick(grid, Qt::Key_Return);
            } else {
                ScreenFixture::click(dialog, c.how.startsWith(u"OK"_s) ? u"cmdEnter"_s : u"cmdCancel"_s);
            }
            if (dialog->isVisible()) // a refused write leaves it open
                dialog->reject();
        });
        f.form->kanriMenuItem()->trigger();
        QCOMPARE(f.db.scalar(u"SELECT [NYUKIN_NOMANAGE] FROM [CONTROL]"_s).toString(), c.after);
        QCOMPARE(f.shown, c.told);
        QCOMPARE(f.ids(), c.listed);
        f.press(Qt::Key_F1);
        QCOMPARE(f.ids(), c.searched);
    }

    void shownMethodAndMarks_data()
    {
        QTest::addColumn<Filter>("c");
        // The dialog offers the usable methods by name: 全て, Card, 代引, 銀行振込; the shops 全て, S01, S02.
        QTest::newRow("Card in either case") << Filter{0, 1, {3, 4}};
        QTest::newRow("shop in either case") << Filter{2, 0, {3, 4}};
        QTest::newRow("shop and method") << Filter{1, 3, {1}};
    }

    void shownMethodAndMarks()
    {
        QFETCH(Filter, c);
        ScreenFixture f(ScreenFixture::WithOrders);
        frmKensaku *form = f.open(true);
        form->shopCombo()->setCurrentIndex(c.shop);
        f.whenActive<frmDispSiharai>([&](frmDispSiharai *dialog) {
            dialog->findChild<QComboBox *>()->setCurrentIndex(c.method);
            ScreenFixture::click(dialog, u"cmdEnter"_s);
        });
        form->viewMenuItem()->trigger();
        QCOMPARE(f.ids(ScreenFixture::Visible), c.visible);

        // F5 and F6 touch the visible rows only.
        f.press(Qt::Key_F5);
        QCOMPARE(f.ids(ScreenFixture::Marked), c.visible);
        form->grid()->SetValue(frmKensaku::ColMark, -1, 1);
        f.press(Qt::Key_F6);
        QCOMPARE(f.ids(ScreenFixture::Marked).size(), 4 - c.visible.size());

        // Shift+F5 asks, then reloads every method into view.
        form->shopCombo()->setCurrentIndex(0);
        f.press(Qt::Key_F5, Qt::ShiftModifier);
        QCOMPARE(f.shown, QStringList{u"?"_s});
        QCOMPARE(f.ids(ScreenFixture::Visible), (Ids{1, 2, 3, 4}));
    }

    void wholeRoundByKeyboard()
    {
        ScreenFixture f(ScreenFixture::WithOrders);
        QLineEdit *from = f.open()->dateBox(0);
        // A ship date that is no date is refused before 表示 acts (a quick click
        // comes before the deferred check could run) and gets the focus back;
        // full-width digits from the input method are rewritten, and Enter moves on.
        from->setFocus();
        QTest::keyClicks(from, u"2014/02/30"_s);
        ScreenFixture::click(f.form, u"cmdSearch"_s);
        QCOMPARE(f.shown, QStringList{u"i"_s});
        QCOMPARE(f.form->grid()->MaxRows(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(from->hasFocus(), 1000);
        f.press(Qt::Key_A, Qt::ControlModifier);
        QInputMethodEvent typed;
        typed.setCommitString(u"２０１４／１／１"_s);
        QCoreApplication::sendEvent(from, &typed);
        f.press(Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!from->hasFocus(), 1000);
        QTRY_COMPARE_WITH_TIMEOUT(from->text(), u"2014/01/01"_s, 1000);
        f.press(Qt::Key_F1);
        f.press(Qt::Key_F5);

        // The method by type-ahead, the date typed over, then Enter until 登録.
        f.whenActive<frmAllSet>([&](frmAllSet *dialog) {
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, u"銀"_s, Qt::NoModifier);
            f.press(Qt::Key_Return);
            if (!QTest::qWaitFor([dialog] { return dialog->focusWidget() == dialog->findChild<QLineEdit *>(); }, 1000))
                return;
            f.press(Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(QApplication::focusWidget(), u"20140221"_s);
            for (int step = 0; step < 8 && dialog->isVisible(); ++step) {
                f.press(Qt::Key_Return);
                QTest::qWait(20);
            }
        });
        f.press(Qt::Key_F4);
        f.press(Qt::Key_F9);
        QCOMPARE(f.receipts(), QStringList{u"1 2014/02/21 1000 0"_s});
    }

    void showReturnsOnceClosed_data()
    {
        QTest::addColumn<Close>("c");
        QTest::newRow("level 0, 閉じる") << Close{0, u"閉じる"_s, false};
        QTest::newRow("level 1, F12") << Close{1, u"F12"_s, false};
        QTest::newRow("level 2, close box") << Close{2, u"close box"_s, true};
    }

    // Last: a Show() that never returns ends every event loop after it.
    // Each round gives every row today's date, presses 登録 and closes the list.
    void showReturnsOnceClosed()
    {
        QFETCH(Close, c);
        ScreenFixture f(ScreenFixture::WithOrders);
        clsParlow6dl parlow;
        parlow.setDbConnection(f.faulty);
        parlow.setLoginInfo(Login(c.level));
        bool hung = false; // a Show() that never returned would hang the whole run
        QTimer watchdog;
        watchdog.callOnTimeout(this, [&hung] { hung = true, QCoreApplication::exit(); });
        for (int round = 1; round <= 2; ++round) {
            bool kanri = !c.mayRegister;
            f.whenActive<frmKensaku>([&](frmKensaku *form) {
                f.form = form;
                // 入金管理, 取込 and 取消 change payments too: the same levels may use them.
                const frmRireki history(form, form->session());
                kanri = form->kanriMenuItem()->isEnabled() && form->importMenuItem()->isEnabled()
                        && history.findChild<QPushButton *>(u"cmdTakeBack"_s)->isEnabled();
                f.press(Qt::Key_F1);
                f.press(Qt::Key_F5);
                f.whenActive<frmAllSet>([](frmAllSet *dialog) { ScreenFixture::click(dialog, u"cmdEnter"_s); });
                f.press(Qt::Key_F4);
                f.press(Qt::Key_F9);
                if (c.closeBy == u"閉じる"_s)
                    QTest::mouseClick(form->button(12), Qt::LeftButton);
                else if (c.closeBy == u"F12"_s)
                    f.press(Qt::Key_F12);
                else
                    form->close();
            });
            watchdog.start(5000);
            parlow.Show();
            QVERIFY(!hung);
            QCOMPARE(kanri, c.mayRegister);
        }
        QCOMPARE(f.receipts().size(), c.mayRegister ? 4 : 0);
    }
};

QTEST_MAIN(tst_Dialogs)
#include "tst_dialogs.moc"
