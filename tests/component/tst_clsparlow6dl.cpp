// The public object as a host uses it: connection, login, Show and its return.
#include "TestDatabase.h"
#include "widgets/MessageService.h"
#include "core/receipt/SharedState.h"
#include "component/clsParlow6dl.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

class FakeLogin final : public LoginInfo
{
public:
    explicit FakeLogin(qint16 level, bool levelFails = false) : m_level(level), m_levelFails(levelFails) {}
    QString FirstText() const override { return u"first"_s; }
    qint16 UserLevel() const override
    {
        if (m_levelFails)
            throw std::runtime_error("login service unavailable");
        return m_level;
    }
    QString SecondText() const override { return u"second"_s; }

private:
    qint16 m_level;
    bool m_levelFails;
};

QWidget *openReceiptList()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == u"frmKensaku"_s && window->isVisible())
            return window;
    }
    return nullptr;
}

// Runs action on the receipt list once Show() has it up.
void whenShown(const std::function<void(QWidget *)> &action)
{
    auto *poll = new QTimer(qApp);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, qApp, [poll, action] {
        QWidget *window = openReceiptList();
        if (!window)
            return;
        poll->deleteLater();
        poll->stop();
        action(window);
    });
    poll->start();
}

} // namespace

class tst_ClsParlow6dl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        MessageService::SetHandler([this](const MessageService::Request &request) {
            m_messages.append(request.text);
            return QMessageBox::Ok;
        });
        m_messages.clear();
    }

    void cleanup()
    {
        MessageService::SetHandler({});
        gdbConnection.reset();
        gintUserLevel = 0;
    }

    void showReturnsOnEveryClosePath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("閉じる") << u"button"_s;
        QTest::newRow("F12") << u"F12"_s;
        QTest::newRow("close box") << u"close box"_s;
    }

    void showReturnsOnEveryClosePath()
    {
        QFETCH(QString, path);
        TestDatabase db;
        clsParlow6dl parlow;
        parlow.setDbConnection(db.connection());
        parlow.setLoginInfo(FakeLogin(2));

        QElapsedTimer sinceClose;
        bool closed = false;
        whenShown([&](QWidget *window) {
            sinceClose.start();
            closed = true;
            if (path == u"button"_s)
                window->findChild<QPushButton *>(u"cmdClose"_s)->click();
            else if (path == u"F12"_s)
                QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_F12);
            else
                window->close();
        });
        parlow.Show();
        QVERIFY(closed);
        QVERIFY2(sinceClose.elapsed() < 100, qPrintable(QString::number(sinceClose.elapsed())));
        QTRY_VERIFY_WITH_TIMEOUT(!openReceiptList(), 2000);
    }

    void showCanBeCalledAgain()
    {
        TestDatabase db;
        clsParlow6dl parlow;
        parlow.setDbConnection(db.connection());
        for (int round = 0; round < 2; ++round) {
            bool shown = false;
            whenShown([&](QWidget *window) {
                shown = true;
                window->close();
            });
            parlow.Show();
            QVERIFY(shown);
        }
    }

    void hostWindowsStayResponsive()
    {
        TestDatabase db;
        clsParlow6dl parlow;
        parlow.setDbConnection(db.connection());
        QPushButton hostButton(u"host"_s);
        hostButton.show();
        int hostClicks = 0;
        connect(&hostButton, &QPushButton::clicked, this, [&] { ++hostClicks; });
        whenShown([&](QWidget *window) {
            QTimer::singleShot(0, &hostButton, [&] { hostButton.click(); });
            QTimer::singleShot(20, window, [window] { window->close(); });
        });
        parlow.Show();
        QCOMPARE(hostClicks, 1);
    }

    void userLevelReachesTheScreen_data()
    {
        QTest::addColumn<bool>("setLogin");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("never set") << false << 0 << false;
        QTest::newRow("1") << true << 1 << false;
        QTest::newRow("2") << true << 2 << true;
    }

    void userLevelReachesTheScreen()
    {
        QFETCH(bool, setLogin);
        QFETCH(int, level);
        QFETCH(bool, enabled);
        TestDatabase db;
        clsParlow6dl parlow;
        parlow.setDbConnection(db.connection());
        if (setLogin)
            parlow.setLoginInfo(FakeLogin(static_cast<qint16>(level)));
        bool updateEnabled = !enabled;
        bool kanriEnabled = !enabled;
        whenShown([&](QWidget *window) {
            QTRY_VERIFY_WITH_TIMEOUT(window->isActiveWindow(), 2000);
            updateEnabled = window->findChild<QPushButton *>(u"cmdUpdate"_s)->isEnabled();
            kanriEnabled = window->findChild<QAction *>(u"mnuKanri"_s)->isEnabled();
            window->close();
        });
        parlow.Show();
        QCOMPARE(updateEnabled, enabled);
        QCOMPARE(kanriEnabled, enabled);
    }

    void failingLoginReadKeepsWhatWasCopied()
    {
        clsParlow6dl parlow;
        parlow.setLoginInfo(FakeLogin(3));
        gstrLoginSecondText.clear();
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, parlow.setLoginInfo(FakeLogin(1, true)));
        QCOMPARE(gstrLoginSecondText, u"second"_s);
        QCOMPARE(gintUserLevel, qint16(3));
    }

    void destroyingAnyObjectReleasesTheConnection()
    {
        TestDatabase db;
        clsParlow6dl second;
        {
            clsParlow6dl first;
            first.setDbConnection(db.connection());
        }
        QVERIFY(!gdbConnection);

        // The screen still opens; its list load reports the missing connection.
        whenShown([](QWidget *window) { QTimer::singleShot(0, window, [window] { window->close(); }); });
        second.Show();
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(!m_messages.at(0).isEmpty());
    }

private:
    QStringList m_messages;
};

QTEST_MAIN(tst_ClsParlow6dl)
#include "tst_clsparlow6dl.moc"
