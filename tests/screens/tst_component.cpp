// The public object as a host uses it: the login's level reaches the list,
// and Show() returns once the list is closed, each time it is called.
#include "ScreenFixture.h"

#include "component/clsParlow6dl.h"

using namespace Qt::StringLiterals;

namespace {

struct Close { int level; QString closeBy; bool mayRegister; };

class Login final : public LoginInfo
{
public:
    explicit Login(int level) : m_level(qint16(level)) {}
    QString FirstText() const override { return u"first"_s; }
    qint16 UserLevel() const override { return m_level; }
    QString SecondText() const override { return u"second"_s; }

private:
    qint16 m_level;
};

} // namespace

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

    void showReturnsOnceClosed()
    {
        QFETCH(Close, c);
        ScreenFixture f;
        f.addOrders();
        clsParlow6dl parlow;
        parlow.setDbConnection(f.db.connection());
        parlow.setLoginInfo(Login(c.level));
        // A Show() that never returned would hang the whole run.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, this, [] { QCoreApplication::exit(); });

        for (int round = 1; round <= 2; ++round) {
            bool kanri = !c.mayRegister;
            QElapsedTimer closed;
            auto *poll = new QTimer(this);
            connect(poll, &QTimer::timeout, this, [&, poll] {
                f.form = qobject_cast<frmKensaku *>(QApplication::activeWindow());
                if (!f.form)
                    return;
                poll->deleteLater();
                poll->stop();
                kanri = f.form->kanriMenuItem()->isEnabled();
                f.press(Qt::Key_F1); // every row gets today's date, then 登録
                f.press(Qt::Key_F5);
                f.whenModal<frmAllSet>([](frmAllSet *dialog) { ScreenFixture::click(dialog, u"cmdEnter"_s); });
                f.press(Qt::Key_F4);
                f.press(Qt::Key_F9);
                closed.start();
                if (c.closeBy == u"閉じる"_s)
                    QTest::mouseClick(f.form->button(12), Qt::LeftButton);
                else if (c.closeBy == u"F12"_s)
                    f.press(Qt::Key_F12);
                else
                    f.form->close();
            });
            poll->start(10);
            watchdog.start(5000);
            parlow.Show();
            QVERIFY2(watchdog.isActive(), "Show() did not return");
            QVERIFY(closed.isValid() && closed.elapsed() < 500);
            QCOMPARE(kanri, c.mayRegister);
        }
        QCOMPARE(f.receipts().size(), c.mayRegister ? 4 : 0);
    }
};

QTEST_MAIN(tst_Component)
#include "tst_component.moc"
