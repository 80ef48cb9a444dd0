// Receipts entered by hand or by the bulk date, and their registration,
// also when the database fails or refuses part way.
#include "FaultyConnection.h"
#include "ScreenFixture.h"

#include "core/data/QtSqlConnection.h"
#include "core/receipt/SharedState.h"
#include "screens/dialogs/frmAllSet.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;
using Ids = QList<qint64>;

namespace {

void confirm(QDialog *dialog)
{
    QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdEnter"_s), Qt::LeftButton);
}

} // namespace

class tst_Registration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void handEditsAreRegistered_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("receipts");
        const QString untouched = u"- 0 0"_s;
        QTest::newRow("入金日") << int(frmKensaku::ColPaidDate) << u"2014/2/21"_s
                             << QStringList{u"2014/02/21 0 1"_s, untouched};
        QTest::newRow("入金額") << int(frmKensaku::ColPaidAmount) << u"1500"_s << QStringList{u" 1500 1"_s, untouched};
        QTest::newRow("備考 is no receipt") << int(frmKensaku::ColRemarks) << u"memo"_s
                                          << QStringList{untouched, untouched};
    }

    void handEditsAreRegistered()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QStringList, receipts);
        ScreenFixture f;
        f.db.addOrder({.id = 1, .shipDate = TestDatabase::daysAgo(1)});
        f.db.addOrder({.id = 2, .shipDate = TestDatabase::daysAgo(1)});
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
        QCOMPARE(f.shown(), QStringList());
    }

    void bulkDateFillsMarkedRows_data()
    {
        QTest::addColumn<QString>("method"); // empty: cancelled
        QTest::addColumn<bool>("mail");
        QTest::addColumn<Ids>("marked");
        QTest::addColumn<QStringList>("receipts");
        // Orders: 1 Card 1000.5, 2 CARD 1001.5, 3 銀行振込 2000, 4 Card 500; all but 4 marked.
        const QString none = u"- 0 0"_s;
        QTest::newRow("one method in either case, halves to even")
            << u"Card"_s << false << Ids{3}
            << QStringList{u"2014/02/21 1000 0"_s, u"2014/02/21 1002 0"_s, none, none};
        QTest::newRow("全て with the mail")
            << u"全て"_s << true << Ids{}
            << QStringList{u"2014/02/21 1000 1"_s, u"2014/02/21 1002 1"_s, u"2014/02/21 2000 1"_s, none};
        QTest::newRow("cancelled") << u""_s << true << Ids{1, 2, 3} << QStringList{none, none, none, none};
    }

    void bulkDateFillsMarkedRows()
    {
        QFETCH(QString, method);
        QFETCH(bool, mail);
        QFETCH(Ids, marked);
        QFETCH(QStringList, receipts);
        ScreenFixture f;
        f.db.addPayment(u"Card"_s, 1, 1);
        f.db.addPayment(u"銀行振込"_s, 1, 2);
        const QString methods[] = {u"Card"_s, u"CARD"_s, u"銀行振込"_s, u"Card"_s};
        const double billed[] = {1000.5, 1001.5, 2000, 500};
        for (int i = 0; i < 4; ++i)
            f.db.addOrder({.id = i + 1, .billed = billed[i], .method = methods[i], .shipDate = TestDatabase::daysAgo(1)});
        frmKensaku *form = f.open();
        f.press(Qt::Key_F1);
        f.press(Qt::Key_F5);
        form->grid()->SetValue(frmKensaku::ColMark, 4, 0);

        f.whenModal<frmAllSet>([&](frmAllSet *dialog) {
            auto *date = dialog->findChild<QLineEdit *>();
            date->setFocus();
            date->selectAll();
            QTest::keyClicks(date, u"20140221"_s);
            dialog->findChild<QComboBox *>()->setCurrentText(method);
            if (mail)
                QTest::mouseClick(dialog->findChildren<QRadioButton *>().first(), Qt::LeftButton);
            if (method.isEmpty())
                QTest::keyClick(date, Qt::Key_Escape);
            else
                confirm(dialog);
        });
        f.press(Qt::Key_F4);
        QCOMPARE(f.ids(ScreenFixture::Marked), marked);
        f.press(Qt::Key_F9);
        QCOMPARE(f.receipts(), receipts);
        QCOMPARE(f.shown(), QStringList());
    }

    void failedRegistrationKeepsEverything_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("told");
        const QString lost = u"!"_s + FaultyConnection::lost();
        QTest::newRow("refused by the database") << u"refused"_s << u"!入金できません"_s;
        QTest::newRow("locked by another connection") << u"locked"_s << u"!database is locked"_s;
        QTest::newRow("lost at the first UPDATE") << u"1"_s << lost;
        QTest::newRow("lost at the last UPDATE") << u"3"_s << lost;
        QTest::newRow("lost at the commit") << u"commit"_s << lost;
    }

    void failedRegistrationKeepsEverything()
    {
        QFETCH(QString, fault);
        QFETCH(QString, told);
        ScreenFixture f;
        for (int id = 1; id <= 3; ++id)
            f.db.addOrder({.id = id, .billed = 1000 * id, .shipDate = TestDatabase::daysAgo(1)});
        auto faulty = std::make_shared<FaultyConnection>(f.db.connection());
        gdbConnection = faulty;
        auto other = QtSqlConnection::openSqlite(f.db.path(), 0);
        f.open();
        f.press(Qt::Key_F1);
        f.press(Qt::Key_F5);
        f.whenModal<frmAllSet>(confirm); // today, every method
        f.press(Qt::Key_F4);

        if (fault == u"refused"_s)
            f.db.exec(u"CREATE TRIGGER [refuse] BEFORE UPDATE ON [CHUMON] WHEN NEW.[ID] = 2"
                      " BEGIN SELECT RAISE(ABORT, '入金できません'); END"_s);
        else if (fault == u"locked"_s)
            other->Execute(u"BEGIN EXCLUSIVE"_s)->Close();
        else if (fault == u"commit"_s)
            faulty->failCommit = true;
        else
            faulty->failExecute(fault.toInt());
        f.press(Qt::Key_F9);
        other.reset(); // its lock goes with it
        QCOMPARE(f.shown(), QStringList{told});
        QCOMPARE(f.receipts(), QStringList(3, u"- 0 0"_s));
        QCOMPARE(f.ids(ScreenFixture::Flagged), (Ids{1, 2, 3}));

        // Once the cause is gone, the same 登録 writes every row.
        f.db.exec(u"DROP TRIGGER IF EXISTS [refuse]"_s);
        faulty->failCommit = false;
        f.press(Qt::Key_F9);
        const QString today = TestDatabase::daysAgo(0);
        QCOMPARE(f.receipts(), (QStringList{today + u" 1000 0"_s, today + u" 2000 0"_s, today + u" 3000 0"_s}));
        QCOMPARE(f.ids(ScreenFixture::Flagged), Ids());
        QCOMPARE(f.shown().size(), 1);
    }

    void failedReadsAreTold_data()
    {
        QTest::addColumn<bool>("atOpening");
        QTest::addColumn<int>("statement");
        QTest::addColumn<int>("move");
        QTest::addColumn<Ids>("listed");
        // Order 6 is paid by an exempt method.
        QTest::newRow("shop list at opening") << true << 1 << 0 << Ids{1, 2, 3, 4, 5, 6};
        QTest::newRow("exempt list at opening") << true << 2 << 0 << Ids{1, 2, 3, 4, 5, 6};
        QTest::newRow("search") << false << 1 << 0 << Ids{};
        QTest::newRow("search, after four rows") << false << 1 << 4 << Ids{1, 2, 3, 4};
    }

    void failedReadsAreTold()
    {
        QFETCH(bool, atOpening);
        QFETCH(int, statement);
        QFETCH(int, move);
        QFETCH(Ids, listed);
        ScreenFixture f;
        f.db.addPayment(u"銀行振込"_s, 1, 1);
        f.db.addPayment(u"代引"_s, 1, 2);
        f.db.setExempt(u"代引"_s);
        for (int id = 1; id <= 6; ++id)
            f.db.addOrder({.id = id, .method = id == 6 ? u"代引"_s : u"銀行振込"_s, .shipDate = TestDatabase::daysAgo(1)});
        auto faulty = std::make_shared<FaultyConnection>(f.db.connection());
        gdbConnection = faulty;
        if (atOpening)
            faulty->failExecute(statement, move);
        f.open();
        if (!atOpening)
            faulty->failExecute(statement, move);
        f.press(Qt::Key_F1);
        QCOMPARE(f.shown(), QStringList{u"!"_s + FaultyConnection::lost()});
        QCOMPARE(f.ids(), listed);
        if (!atOpening) {
            f.press(Qt::Key_F1);
            QCOMPARE(f.ids(), (Ids{1, 2, 3, 4, 5}));
        }
    }
};

QTEST_MAIN(tst_Registration)
#include "tst_registration.moc"
