#pragma once

#include "TestDatabase.h"
#include "core/receipt/Session.h"
#include "core/settings/SuiteSettings.h"
#include "screens/dialogs/frmAllSet.h"
#include "screens/dialogs/frmDispSiharai.h"
#include "screens/dialogs/frmKanri.h"
#include "screens/receipt_list/frmKensaku.h"
#include "widgets/MessageService.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using Ids = QList<qint64>;

// A real connection that fails on cue, as a lost link would: the database
// underneath is real, only the moment is chosen.
class FaultyConnection final : public DbConnection
{
public:
    explicit FaultyConnection(std::shared_ptr<DbConnection> real) : m_real(std::move(real)) {}

    // The nth statement from now runs, then fails; 0 none.
    void failExecute(int nth) { m_countdown = nth; }
    bool failCommit = false;
    bool loseCommitAnswer = false;
    static QString lost() { return QStringLiteral("[ODBC] Communication link failure"); }

    std::unique_ptr<DbRecordset> Execute(const QString &statement) override
    {
        auto result = m_real->Execute(statement);
        if (m_countdown > 0 && --m_countdown == 0)
            throw DbError(lost());
        return result;
    }
    // The connection's own batch, as production runs it; no test counts into one.
    void ExecuteEach(const QString &statement, const QList<QVariantList> &rows) override
    {
        m_real->ExecuteEach(statement, rows);
    }
    SqlDialect Dialect() const override { return m_real->Dialect(); }
    void SetLockTimeout(int milliseconds) override { m_real->SetLockTimeout(milliseconds); }
    void BeginTrans() override { m_real->BeginTrans(); }
    void CommitTrans() override
    {
        if (failCommit)
            throw DbError(lost());
        m_real->CommitTrans();
        if (loseCommitAnswer) // committed, but the operator cannot know it
            throw DbError(QtSqlConnection::LostAtCommitMessage(), true);
    }
    void RollbackTrans() override { m_real->RollbackTrans(); }

private:
    std::shared_ptr<DbConnection> m_real;
    int m_countdown = 0;
};

// The receipt list on a real database (reached through `faulty`), shown and
// first-activated. Every message box is answered (questions with `answer`)
// and noted in `shown`: "?" a question, "i" information, "!" and the text an
// error. Every grid the list or its dialogs show is checked by
// QAbstractItemModelTester.
class ScreenFixture final : public QObject
{
public:
    enum Rows { All, Visible, Marked, Flagged };
    enum Seed { Empty, WithOrders };

    // WithOrders: shops S01 and S02; 銀行振込, 代引 and Card usable, 後払い not; orders
    // 1 銀行振込 1000 S01, 2 代引 2000 S01, 3 Card 1000.5 s02, 4 CARD 1001.5 S02.
    explicit ScreenFixture(Seed seed = Empty)
    {
        if (seed == WithOrders) {
            db.addShop(QStringLiteral("S01"), QStringLiteral("本店"));
            db.addShop(QStringLiteral("S02"), QStringLiteral("支店"));
            const QStringList orders =
                QStringLiteral("銀行振込 S01 1000,代引 S01 2000,Card s02 1000.5,CARD S02 1001.5").split(u',');
            for (int i = 0; i < 4; ++i) {
                const QStringList order = orders[i].split(u' ');
                // CARD is no method of its own; 後払い is one nobody may use.
                db.addPayment(i < 3 ? order[0] : QStringLiteral("後払い"), i < 3, i);
                db.addOrder({.id = i + 1, .billed = order[2].toDouble(), .method = order[0], .shopId = order[1]});
            }
        }
        // A parlow.ini of this test's own keeps lock waits short: a lock a
        // test did not take on purpose fails fast.
        setIni("[Parlow6]\nLockTimeout=0.1\n");
        store.connection = faulty;
        store.userLevel = 2;
        MessageService::SetHandler([this](const MessageService::Request &box) {
            const bool error = box.icon == QMessageBox::Critical || box.icon == QMessageBox::Warning;
            shown.append(error ? u'!' + box.text : QString(box.icon == QMessageBox::Question ? u'?' : u'i'));
            texts.append(box.text);
            return box.buttons.testFlag(QMessageBox::Yes) ? answer : QMessageBox::Ok;
        });
        qApp->installEventFilter(this);
    }

    void setIni(const QByteArray &content) const
    {
        QFile ini(settings.dataFolder() + QStringLiteral("/parlow.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(content);
    }

    ~ScreenFixture() override
    {
        if (form) // the list deletes itself once closed
            form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MessageService::SetHandler({});
    }

    frmKensaku *open(bool search = false)
    {
        form = new frmKensaku(session, settings);
        activate(form);
        if (search)
            press(Qt::Key_F1);
        return form;
    }

    static void activate(QWidget *window)
    {
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window);
        // qWaitForWindowActive returns before a dialog has the focus.
        QVERIFY(QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 2000));
    }

    static void click(QWidget *window, const QString &button)
    {
        QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
    }

    // A key to whatever has the focus, as the operator types it.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : form.data(), Qt::Key(key), modifiers);
    }

    // Runs drive once a Window is the active one (while the fixture lives);
    // a window it leaves open is closed a little later, so no modal loop hangs.
    template<typename Window>
    void whenActive(std::function<void(Window *)> drive)
    {
        auto *poll = new QTimer(this);
        connect(poll, &QTimer::timeout, poll, [poll, drive] {
            QPointer<Window> window = qobject_cast<Window *>(QApplication::activeWindow());
            if (!window)
                return;
            poll->deleteLater();
            poll->stop();
            drive(window);
            if (window)
                QTimer::singleShot(2000, window, &QWidget::close);
        });
        poll->start(10);
    }

    // Order ids in grid order; Flagged: waiting for 登録.
    Ids ids(Rows which = All) const
    {
        const vaSpread *grid = form->grid();
        const int column[] = {0, 0, frmKensaku::ColMark, frmKensaku::ColUpdateFlag};
        Ids found;
        for (int row = 1; row <= grid->MaxRows(); ++row) {
            if (!(which == Visible && grid->RowHidden(row)) && !(column[which] && !grid->Number(column[which], row)))
                found.append(qint64(grid->Number(frmKensaku::ColId, row)));
        }
        return found;
    }

    // "id 入金日 入金額 入金確認送信" of every order with anything paid.
    QStringList receipts() const
    {
        return db.scalar(QStringLiteral("SELECT GROUP_CONCAT([ID] || ' ' || IFNULL([入金日], '-') || ' ' || [入金額]"
                                        " || ' ' || [入金確認送信], ',') FROM (SELECT * FROM [CHUMON] WHERE [入金日]"
                                        " IS NOT NULL OR [入金額] <> 0 OR [入金確認送信] <> 0 ORDER BY [ID])"))
            .toString()
            .split(u',', Qt::SkipEmptyParts);
    }

    TestDatabase db{100}; // a lock a test did not take on purpose fails fast
    SuiteSettings settings{QFileInfo(db.path()).absolutePath()}; // the test's own data folder
    std::shared_ptr<FaultyConnection> faulty = std::make_shared<FaultyConnection>(db.connection());
    // The list's own state, apart from the component's.
    SessionStore store;
    Session session{store};
    QPointer<frmKensaku> form;
    QStringList shown;
    QStringList texts; // every box's own text, in order
    QMessageBox::StandardButton answer = QMessageBox::Yes;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *grid = event->type() == QEvent::Show ? qobject_cast<vaSpread *>(watched) : nullptr;
        if (grid && !grid->model()->findChild<QAbstractItemModelTester *>())
            new QAbstractItemModelTester(grid->model(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                         grid->model());
        return false;
    }
};
