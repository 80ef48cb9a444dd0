// Receipts entered by hand or by the bulk date and their registration, also
// when the database fails or refuses part way.
#include "FaultyConnection.h"
#include "ScreenFixture.h"

#include "core/receipt/SharedState.h"
#include "screens/dialogs/frmAllSet.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;
using Ids = QList<qint64>;

class tst_Registration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void handEditsAreRegistered_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("receipts");
        QTest::newRow("入金日") << int(frmKensaku::ColPaidDate) << u"2014/2/21"_s << QStringList{u"1 2014/02/21 0 1"_s};
        QTest::newRow("入金額") << int(frmKensaku::ColPaidAmount) << u"1500"_s << QStringList{u"1  1500 1"_s};
        QTest::newRow("備考 is no receipt") << int(frmKensaku::ColRemarks) << u"memo"_s << QStringList();
    }

    void handEditsAreRegistered()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QStringList, receipts);
        ScreenFixture f;
        f.addOrders();
        vaSpread *grid = f.open()->grid();
        f.press(Qt::Key_F1);
        // The cell's own editor, typed into and confirmed.
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, column - 1));
        f.press(Qt::Key_F2);
        QWidget *editor = QApplication::focusWidget();
        f.press(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, typed);
        f.press(Qt::Key_Tab);
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() != editor, 1000);
        f.press(Qt::Key_F9);
        QCOMPARE(f.receipts(), receipts);
        QCOMPARE(f.ids(ScreenFixture::Flagged), Ids());
    }

    void bulkDateFillsMarkedRows_data()
    {
        QTest::addColumn<QString>("method"); // empty: cancelled
        QTest::addColumn<bool>("mail");
        QTest::addColumn<QStringList>("receipts");
        // Every order but the first is marked.
        QTest::newRow("one method in either case, halves to even")
            << u"Card"_s << false << QStringList{u"3 2014/02/21 1000 0"_s, u"4 2014/02/21 1002 0"_s};
        QTest::newRow("全て with the mail") << u"全て"_s << true << QStringList{
            u"2 2014/02/21 2000 1"_s, u"3 2014/02/21 1000 1"_s, u"4 2014/02/21 1002 1"_s};
        QTest::newRow("cancelled") << u""_s << true << QStringList();
    }

    void bulkDateFillsMarkedRows()
    {
        QFETCH(QString, method);
        QFETCH(bool, mail);
        QFETCH(QStringList, receipts);
        ScreenFixture f;
        f.addOrders();
        f.open();
        f.press(Qt::Key_F1);
        f.press(Qt::Key_F5);
        f.form->grid()->SetValue(frmKensaku::ColMark, 1, 0);
        f.whenModal<frmAllSet>([&](frmAllSet *dialog) {
            auto *date = dialog->findChild<QLineEdit *>();
            date->setFocus();
            date->selectAll();
            QTest::keyClicks(date, u"20140221"_s);
            dialog->findChild<QComboBox *>()->setCurrentText(method);
            if (mail)
                QTest::mouseClick(dialog->findChildren<QRadioButton *>().first(), Qt::LeftButton);
            QTest::mouseClick(dialog->findChild<QPushButton *>(method.isEmpty() ? u"cmdCancel"_s : u"cmdEnter"_s),
                              Qt::LeftButton);
        });
        f.press(Qt::Key_F4);
        f.press(Qt::Key_F9);
        QCOMPARE(f.receipts(), receipts);
    }

    void failedRegistrationKeepsEverything_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("told");
        const QString lost = u"!"_s + FaultyConnection::lost();
        QTest::newRow("refused by the database") << u"refused"_s << u"!入金できません"_s;
        QTest::newRow("locked by another connection") << u"locked"_s << u"!database is locked"_s;
        QTest::newRow("lost at the first UPDATE") << u"1"_s << lost;
        QTest::newRow("lost at the last UPDATE") << u"4"_s << lost;
        QTest::newRow("lost at the commit") << u"commit"_s << lost;
    }

    void failedRegistrationKeepsEverything()
    {
        QFETCH(QString, fault);
        QFETCH(QString, told);
        ScreenFixture f;
        f.addOrders();
        auto faulty = std::make_shared<FaultyConnection>(f.db.connection());
        gdbConnection = faulty;
        auto other = QtSqlConnection::openSqlite(f.db.path(), 0);
        f.open();
        f.press(Qt::Key_F1);
        f.press(Qt::Key_F5);
        f.whenModal<frmAllSet>([](frmAllSet *dialog) { dialog->findChild<QPushButton *>(u"cmdEnter"_s)->click(); });
        f.press(Qt::Key_F4); // today, every method

        if (fault == u"refused"_s)
            f.db.exec(u"CREATE TRIGGER [refuse] BEFORE UPDATE ON [CHUMON] WHEN NEW.[ID] = 3"
                      " BEGIN SELECT RAISE(ABORT, '入金できません'); END"_s);
        else if (fault == u"locked"_s)
            other->Execute(u"BEGIN EXCLUSIVE"_s)->Close();
        else
            faulty->failCommit = fault == u"commit"_s;
        faulty->failExecute(fault.toInt());
        f.press(Qt::Key_F9);
        other.reset(); // its lock goes with it
        QCOMPARE(f.shown(), QStringList{told});
        QCOMPARE(f.receipts(), QStringList());
        QCOMPARE(f.ids(ScreenFixture::Flagged), (Ids{1, 2, 3, 4}));

        // Once the cause is gone, the same 登録 writes every row.
        f.db.exec(u"DROP TRIGGER IF EXISTS [refuse]"_s);
        faulty->failCommit = false;
        f.press(Qt::Key_F9);
        QCOMPARE(f.receipts().filter(u' ' + TestDatabase::daysAgo(0) + u' ').size(), 4);
        QCOMPARE(f.ids(ScreenFixture::Flagged), Ids());
        QCOMPARE(f.shown().size(), 1);
    }

    void failedReadsAreTold_data()
    {
        QTest::addColumn<bool>("atOpening");
        QTest::addColumn<int>("statement");
        QTest::addColumn<int>("move");
        QTest::addColumn<Ids>("listed");
        // 代引 (order 2) is exempt.
        QTest::newRow("shop list at opening") << true << 1 << 0 << Ids{1, 2, 3, 4};
        QTest::newRow("exempt list at opening") << true << 2 << 0 << Ids{1, 2, 3, 4};
        QTest::newRow("search") << false << 1 << 0 << Ids{};
        QTest::newRow("search, after three rows") << false << 1 << 3 << Ids{1, 3};
    }

    void failedReadsAreTold()
    {
        QFETCH(bool, atOpening);
        QFETCH(int, statement);
        QFETCH(int, move);
        QFETCH(Ids, listed);
        ScreenFixture f;
        f.addOrders();
        f.db.setExempt(u"代引"_s);
        auto faulty = std::make_shared<FaultyConnection>(f.db.connection());
        gdbConnection = faulty;
        faulty->failExecute(atOpening ? statement : 0, move);
        f.open();
        faulty->failExecute(atOpening ? 0 : statement, move);
        f.press(Qt::Key_F1);
        QCOMPARE(f.shown(), QStringList{u"!"_s + FaultyConnection::lost()});
        QCOMPARE(f.ids(), listed);
        f.press(Qt::Key_F1);
        QCOMPARE(f.ids(), atOpening ? listed : (Ids{1, 3, 4}));
    }
};

QTEST_MAIN(tst_Registration)
#include "tst_registration.moc"
