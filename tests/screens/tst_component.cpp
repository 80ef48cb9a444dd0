// The public object as a host uses it: the login's level reaches the list,
// and Show() returns once the list is closed, each time it is called.
#include "ScreenFixture.h"

#include "component/clsParlow6dl.h"

using namespace Qt::StringLiterals;

struct Close { int level; QString closeBy; bool mayRegister; };

struct Login final : LoginInfo
{
    explicit Login(int userLevel) : level(qint16(userLevel)) {}
    QString FirstText() const override { return {}; }
    qint16 UserLevel() const override { return level; }
    QString SecondText() const override { return {}; }
    qint16 level;
};

class tst_Component : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showReturnsOnceClosed_data()
    {
        QTest::addColumn<Close>("c");
        QTest::newRow("level 0, 閉じる") << Close{0, u"閉じる"_s, false};
        QTest::newRow("level 1, F12") << Close{1, u"F12"_s, false};
        QTest::newRow("level 2, close box") << Close{2, u"close box"_s, true};
    }

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
            QElapsedTimer closed;
            f.whenActive<frmKensaku>([&](frmKensaku *form) {
                f.form = form;
                kanri = form->kanriMenuItem()->isEnabled();
                f.press(Qt::Key_F1);
                f.press(Qt::Key_F5);
                f.whenActive<frmAllSet>([](frmAllSet *dialog) { ScreenFixture::click(dialog, u"cmdEnter"_s); });
                f.press(Qt::Key_F4);
                f.press(Qt::Key_F9);
                closed.start();
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
            QVERIFY(closed.isValid() && closed.elapsed() < 500);
            QCOMPARE(kanri, c.mayRegister);
        }
        QCOMPARE(f.receipts().size(), c.mayRegister ? 4 : 0);
    }
};

QTEST_MAIN(tst_Component)
#include "tst_component.moc"
