// The public object as a host uses it: the login's level reaches the list,
// and Show() returns once the list is closed, each time it is called.
#include "ScreenFixture.h"

#include "component/clsParlow6dl.h"
#include "screens/dialogs/frmAllSet.h"

#include <QAction>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

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
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("closeBy");
        QTest::addColumn<bool>("mayRegister");
        QTest::newRow("level 0, 閉じる") << 0 << u"閉じる"_s << false;
        QTest::newRow("level 1, F12") << 1 << u"F12"_s << false;
        QTest::newRow("level 2, close box") << 2 << u"close box"_s << true;
    }

    void showReturnsOnceClosed()
    {
        QFETCH(int, level);
        QFETCH(QString, closeBy);
        QFETCH(bool, mayRegister);
        ScreenFixture f;
        f.addOrders();
        clsParlow6dl parlow;
        parlow.setDbConnection(f.db.connection());
        parlow.setLoginInfo(Login(level));
        // A Show() that never returned would hang the whole run.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout, this, [] { QCoreApplication::exit(); });

        for (int round = 1; round <= 2; ++round) {
            bool kanri = !mayRegister;
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
                f.whenModal<frmAllSet>([](frmAllSet *dialog) { dialog->findChild<QPushButton *>(u"cmdEnter"_s)->click(); });
                f.press(Qt::Key_F4);
                f.press(Qt::Key_F9);
                closed.start();
                if (closeBy == u"閉じる"_s)
                    QTest::mouseClick(f.form->button(12), Qt::LeftButton);
                else if (closeBy == u"F12"_s)
                    f.press(Qt::Key_F12);
                else
                    f.form->close();
            });
            poll->start(10);
            watchdog.start(5000);
            parlow.Show();
            QVERIFY2(watchdog.isActive(), "Show() did not return");
            QVERIFY(closed.isValid() && closed.elapsed() < 500);
            QCOMPARE(kanri, mayRegister);
        }
        QCOMPARE(f.receipts().size(), mayRegister ? 4 : 0);
    }
};

QTEST_MAIN(tst_Component)
#include "tst_component.moc"
