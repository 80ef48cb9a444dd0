// Database failures in the middle of the receipt list's work: another process
// holding the lock, a connection lost between statements or while reading,
// and a refused write from the management dialog.
#include "FaultyConnection.h"
#include "ScreenFixture.h"

#include "screens/dialogs/frmKanri.h"

#include <QAbstractItemView>
#include <QAction>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

using Order = TestDatabase::Order;

constexpr int OrderCount = 3;
const QString PaidDate = u"2014/02/21"_s;

// Orders 1..count, unpaid, and a log of every update the database takes.
void fillOrders(TestDatabase &db, int count)
{
    for (int id = 1; id <= count; ++id) {
        Order o;
        o.id = id;
        o.shipDate = TestDatabase::daysAgo(id);
        o.billed = 1000 * id;
        db.addOrder(o);
    }
    db.exec(u"CREATE TABLE [UPDATES] ([ID] INTEGER)"_s);
    db.exec(u"CREATE TRIGGER [count_updates] AFTER UPDATE ON [CHUMON]"
            " BEGIN INSERT INTO [UPDATES] VALUES (NEW.[ID]); END"_s);
}

// Every row gets a receipt, as the bulk date would give it.
void enterReceipts(vaSpread *grid)
{
    for (int row = 1; row <= grid->MaxRows(); ++row) {
        grid->SetText(frmKensaku::ColPaidDate, row, PaidDate);
        grid->SetText(frmKensaku::ColPaidAmount, row, grid->Number(frmKensaku::ColBilled, row));
        grid->SetValue(frmKensaku::ColUpdateFlag, row, 1);
        grid->SetValue(frmKensaku::ColMailFlag, row, 1);
    }
}

QStringList updateFlags(const vaSpread *grid)
{
    QStringList flags;
    for (int row = 1; row <= grid->MaxRows(); ++row)
        flags.append(grid->Value(frmKensaku::ColUpdateFlag, row));
    return flags;
}

qint64 count(const TestDatabase &db, const QString &query)
{
    return db.scalar(query).toLongLong();
}

qint64 paidRows(const TestDatabase &db)
{
    return count(db, u"SELECT COUNT(*) FROM [CHUMON] WHERE [入金日] IS NOT NULL OR [入金額] <> 0"
                     " OR [入金確認送信] <> 0"_s);
}

// Stored exactly once: each order updated once, with its own amount.
void verifyWrittenOnce(const TestDatabase &db)
{
    QCOMPARE(count(db, u"SELECT COUNT(*) FROM [UPDATES]"_s), qint64(OrderCount));
    QCOMPARE(count(db, u"SELECT COUNT(DISTINCT [ID]) FROM [UPDATES]"_s), qint64(OrderCount));
    QCOMPARE(count(db, u"SELECT COUNT(*) FROM [CHUMON] WHERE [入金日] = '2014/02/21'"
                       " AND [入金額] = [請求額] AND [入金確認送信] = 1"_s),
             qint64(OrderCount));
}

const QStringList AllFlagged{u"1"_s, u"1"_s, u"1"_s};
const QStringList NoneFlagged{u"0"_s, u"0"_s, u"0"_s};

} // namespace

class tst_Faults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(u"sqlite3"_s).isEmpty())
            QSKIP("the sqlite3 shell is needed to hold a lock from another process");
    }

    void cleanup()
    {
        gstrSiharaiTable.clear();
        gblnSiharaiLoaded = false;
        gintSiharaiIndex = -1;
    }

    void lockHeldByAnotherProcess_data()
    {
        QTest::addColumn<QString>("lock");
        QTest::addColumn<bool>("commits");
        QTest::newRow("exclusive, then committed") << u"BEGIN EXCLUSIVE;"_s << true;
        QTest::newRow("write lock, then the process dies") << u"BEGIN IMMEDIATE;"_s << false;
    }

    void lockHeldByAnotherProcess()
    {
        QFETCH(QString, lock);
        QFETCH(bool, commits);
        ScreenFixture fixture;
        fillOrders(fixture.db, OrderCount);
        // The component's own connection gives up quickly.
        gdbConnection = QtSqlConnection::openSqlite(fixture.db.path(), 200);
        frmKensaku *form = fixture.open();
        fixture.search();
        vaSpread *grid = form->grid();
        QCOMPARE(grid->MaxRows(), OrderCount);
        enterReceipts(grid);

        QProcess other;
        other.start(u"sqlite3"_s, {fixture.db.path()});
        QVERIFY(other.waitForStarted(2000));
        other.write(lock.toUtf8() + "\n");
        // Held once a writer of our own cannot get in.
        const auto probe = QtSqlConnection::openSqlite(fixture.db.path(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                try {
                    probe->Execute(u"UPDATE [CONTROL] SET [NYUKIN_NOMANAGE] = NULL"_s)->Close();
                    return false;
                } catch (const DbError &) {
                    return true;
                }
            }(),
            2000);

        QTest::keyClick(grid, Qt::Key_F9);
        QCOMPARE(fixture.messages.size(), 1);
        QVERIFY2(fixture.messages.first().text.contains(u"database is locked"_s),
                 qPrintable(fixture.messages.first().text));
        QCOMPARE(fixture.messages.first().icon, QMessageBox::Critical);
        QCOMPARE(updateFlags(grid), AllFlagged);

        if (commits) {
            other.write("COMMIT;\n");
            other.closeWriteChannel();
            QVERIFY(other.waitForFinished(2000));
        } else {
            other.kill();
            QVERIFY(other.waitForFinished(2000));
        }
        QCOMPARE(paidRows(fixture.db), qint64(0));
        QCOMPARE(count(fixture.db, u"SELECT COUNT(*) FROM [UPDATES]"_s), qint64(0));

        QTest::keyClick(grid, Qt::Key_F9);
        QCOMPARE(fixture.messages.size(), 1);
        verifyWrittenOnce(fixture.db);
        QCOMPARE(updateFlags(grid), NoneFlagged);
    }

    void connectionLostWhileRegistering_data()
    {
        QTest::addColumn<int>("failingUpdate");
        QTest::addColumn<bool>("failingCommit");
        QTest::newRow("first update") << 1 << false;
        QTest::newRow("second update") << 2 << false;
        QTest::newRow("last update") << OrderCount << false;
        QTest::newRow("commit") << 0 << true;
    }

    void connectionLostWhileRegistering()
    {
        QFETCH(int, failingUpdate);
        QFETCH(bool, failingCommit);
        ScreenFixture fixture;
        fillOrders(fixture.db, OrderCount);
        auto faulty = std::make_shared<FaultyConnection>(fixture.db.connection());
        gdbConnection = faulty;
        frmKensaku *form = fixture.open();
        fixture.search();
        vaSpread *grid = form->grid();
        QCOMPARE(grid->MaxRows(), OrderCount);
        enterReceipts(grid);

        faulty->failExecuteAfterRunning(u"UPDATE [CHUMON]"_s, failingUpdate);
        faulty->failCommit(failingCommit);
        QTest::keyClick(grid, Qt::Key_F9);
        QCOMPARE(fixture.messageTexts(), QStringList{FaultyConnection::lostText()});
        QCOMPARE(updateFlags(grid), AllFlagged);
        // Whatever ran before the loss was rolled back with it.
        QCOMPARE(paidRows(fixture.db), qint64(0));
        QCOMPARE(count(fixture.db, u"SELECT COUNT(*) FROM [UPDATES]"_s), qint64(0));

        faulty->heal();
        QTest::keyClick(grid, Qt::Key_F9);
        QCOMPARE(fixture.messages.size(), 1);
        verifyWrittenOnce(fixture.db);
        QCOMPARE(updateFlags(grid), NoneFlagged);
    }

    void readFailsDuringSearch_data()
    {
        QTest::addColumn<int>("failingMove");
        QTest::addColumn<int>("rowsKept");
        QTest::newRow("at the statement") << 0 << 0;
        QTest::newRow("after the first row") << 1 << 1;
        QTest::newRow("after four rows") << 4 << 4;
    }

    void readFailsDuringSearch()
    {
        QFETCH(int, failingMove);
        QFETCH(int, rowsKept);
        ScreenFixture fixture;
        fillOrders(fixture.db, 6);
        auto faulty = std::make_shared<FaultyConnection>(fixture.db.connection());
        gdbConnection = faulty;
        frmKensaku *form = fixture.open();
        QVERIFY(fixture.messages.isEmpty());

        faulty->failReadOf(u"FROM [CHUMON]"_s, failingMove);
        fixture.search();
        vaSpread *grid = form->grid();
        QCOMPARE(fixture.messageTexts(), QStringList{FaultyConnection::lostText()});
        QCOMPARE(fixture.messages.first().icon, QMessageBox::Critical);
        QCOMPARE(grid->MaxRows(), rowsKept);
        // The rows kept are whole: read in id order, each with its own amount.
        for (int row = 1; row <= rowsKept; ++row)
            QCOMPARE(grid->Number(frmKensaku::ColBilled, row), 1000.0 * grid->Number(frmKensaku::ColId, row));

        faulty->heal();
        fixture.search();
        QCOMPARE(grid->MaxRows(), 6);
        QCOMPARE(fixture.messages.size(), 1);
    }

    void managementWriteRefused()
    {
        ScreenFixture fixture;
        fixture.db.addPayment(u"銀行振込"_s, 1, 1);
        fixture.db.addPayment(u"代引"_s, 1, 2);
        fixture.db.setExempt(u"代引"_s);
        fixture.db.exec(u"CREATE TRIGGER [keep] BEFORE UPDATE ON [CONTROL]"
                        " BEGIN SELECT RAISE(ABORT, 'CONTROL is read-only today'); END"_s);
        frmKensaku *form = fixture.open();
        const QList<SiharaiEntry> tableBefore = gstrSiharaiTable;
        QCOMPARE(tableBefore.size(), 2);

        // Clears the first box and confirms; the refused dialog is then cancelled.
        bool driven = false;
        bool stayedOpen = false;
        auto *timer = new QTimer(form);
        connect(timer, &QTimer::timeout, form, [&, timer] {
            auto *dialog = qobject_cast<frmKanri *>(QApplication::activeModalWidget());
            if (!dialog || QApplication::activeWindow() != dialog)
                return;
            timer->stop();
            auto *grid = dialog->findChild<vaSpread *>(u"sprPayment"_s);
            auto *enter = dialog->findChild<QPushButton *>(u"cmdEnter"_s);
            if (grid && enter) {
                grid->SetValue(frmKanri::ColManaged, 1, 0);
                enter->click();
                driven = true;
                stayedOpen = dialog->isVisible();
            }
            dialog->reject();
        });
        timer->start(10);
        QTimer::singleShot(3000, form, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        form->kanriMenuItem()->trigger();

        QVERIFY(driven);
        QVERIFY(stayedOpen);
        QCOMPARE(fixture.messageTexts(), QStringList{u"CONTROL is read-only today"_s});
        QCOMPARE(fixture.db.scalar(u"SELECT [NYUKIN_NOMANAGE] FROM [CONTROL]"_s).toString(), u"代引"_s);
        QCOMPARE(gstrSiharaiTable.size(), tableBefore.size());
        for (qsizetype i = 0; i < tableBefore.size(); ++i) {
            QCOMPARE(gstrSiharaiTable.at(i).method, tableBefore.at(i).method);
            QCOMPARE(gstrSiharaiTable.at(i).managed, tableBefore.at(i).managed);
        }
        QCOMPARE(form->pbytRefresh, quint8(0));
    }
};

QTEST_MAIN(tst_Faults)
#include "tst_faults.moc"
