// Receipts entered by hand or by the bulk date and their registration, also
// when the database fails or refuses part way.
#include "ScreenFixture.h"

#include <QRadioButton>

using namespace Qt::StringLiterals;

struct Edit { int column; QString typed; QStringList receipts; };
struct Bulk { QString method; bool mail; QStringList receipts; }; // no method: cancelled
struct Fault { QString fault, told; };
struct Read { int statement; Ids listed; }; // counted from the opening

class tst_Registration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void handEditsAreRegistered_data()
    {
        QTest::addColumn<Edit>("c");
        QTest::newRow("入金日") << Edit{frmKensaku::ColPaidDate, u"2014/2/21"_s, {u"1 2014/02/21 0 1"_s}};
        QTest::newRow("入金額") << Edit{frmKensaku::ColPaidAmount, u"1500"_s, {u"1  1500 1"_s}};
        QTest::newRow("備考 is no receipt") << Edit{frmKensaku::ColRemarks, u"memo"_s, {}};
    }

    void handEditsAreRegistered()
    {
        QFETCH(Edit, c);
        ScreenFixture f;
        f.addOrders();
        vaSpread *grid = f.open()->grid();
        f.press(Qt::Key_F1);
        // The cell's own editor, typed into and confirmed.
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, c.column - 1));
        f.press(Qt::Key_F2);
        QWidget *editor = QApplication::focusWidget();
        f.press(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, c.typed);
        f.press(Qt::Key_Tab);
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() != editor, 1000);
        f.press(Qt::Key_F9);
        QCOMPARE(f.receipts(), c.receipts);
        QCOMPARE(f.ids(ScreenFixture::Flagged), Ids());
    }

    void bulkDateFillsMarkedRows_data()
    {
        QTest::addColumn<Bulk>("c");
        // Every order but the first is marked.
        QTest::newRow("one method in either case, halves to even")
            << Bulk{u"Card"_s, false, {u"3 2014/02/21 1000 0"_s, u"4 2014/02/21 1002 0"_s}};
        QTest::newRow("全て with the mail")
            << Bulk{u"全て"_s, true, {u"2 2014/02/21 2000 1"_s, u"3 2014/02/21 1000 1"_s, u"4 2014/02/21 1002 1"_s}};
        QTest::newRow("cancelled") << Bulk{{}, true, {}};
    }

    void bulkDateFillsMarkedRows()
    {
        QFETCH(Bulk, c);
        ScreenFixture f;
        f.addOrders();
        f.open();
        f.press(Qt::Key_F1);
        f.press(Qt::Key_F5);
        f.form->grid()->SetValue(frmKensaku::ColMark, 1, 0);
        f.whenActive<frmAllSet>([&](frmAllSet *dialog) {
            auto *date = dialog->findChild<QLineEdit *>();
            date->setFocus();
            date->selectAll();
            QTest::keyClicks(date, u"20140221"_s);
            dialog->findChild<QComboBox *>()->setCurrentText(c.method);
            if (c.mail)
                QTest::mouseClick(dialog->findChildren<QRadioButton *>().first(), Qt::LeftButton);
            ScreenFixture::click(dialog, c.method.isEmpty() ? u"cmdCancel"_s : u"cmdEnter"_s);
        });
        f.press(Qt::Key_F4);
        f.press(Qt::Key_F9);
        QCOMPARE(f.receipts(), c.receipts);
    }

    void failedRegistrationKeepsEverything_data()
    {
        QTest::addColumn<Fault>("c");
        const QString lost = u"!"_s + FaultyConnection::lost();
        QTest::newRow("refused by the database") << Fault{u"refused"_s, u"!入金できません"_s};
        QTest::newRow("locked by another connection") << Fault{u"locked"_s, u"!database is locked"_s};
        QTest::newRow("lost at the first UPDATE") << Fault{u"1"_s, lost};
        QTest::newRow("lost at the last UPDATE") << Fault{u"4"_s, lost};
        QTest::newRow("lost at the commit") << Fault{u"commit"_s, lost};
    }

    void failedRegistrationKeepsEverything()
    {
        QFETCH(Fault, c);
        ScreenFixture f;
        f.addOrders();
        auto faulty = std::make_shared<FaultyConnection>(f.db.connection());
        gdbConnection = faulty;
        auto other = QtSqlConnection::openSqlite(f.db.path(), 0);
        f.open();
        f.press(Qt::Key_F1);
        f.press(Qt::Key_F5);
        f.whenActive<frmAllSet>([](frmAllSet *dialog) { ScreenFixture::click(dialog, u"cmdEnter"_s); });
        f.press(Qt::Key_F4); // today, every method

        if (c.fault == u"refused"_s)
            f.db.exec(u"CREATE TRIGGER [refuse] BEFORE UPDATE ON [CHUMON] WHEN NEW.[ID] = 3"
                      " BEGIN SELECT RAISE(ABORT, '入金できません'); END"_s);
        if (c.fault == u"locked"_s)
            other->Execute(u"BEGIN EXCLUSIVE"_s)->Close();
        faulty->failCommit = c.fault == u"commit"_s;
        faulty->failExecute(c.fault.toInt());
        f.press(Qt::Key_F9);
        other.reset(); // its lock goes with it
        QCOMPARE(f.shown, QStringList{c.told});
        QCOMPARE(f.receipts(), QStringList());
        QCOMPARE(f.ids(ScreenFixture::Flagged), (Ids{1, 2, 3, 4}));

        // Once the cause is gone, the same 登録 writes every row.
        f.db.exec(u"DROP TRIGGER IF EXISTS [refuse]"_s);
        faulty->failCommit = false;
        f.press(Qt::Key_F9);
        QCOMPARE(f.receipts().filter(u' ' + TestDatabase::daysAgo(0) + u' ').size(), 4);
        QCOMPARE(f.ids(ScreenFixture::Flagged), Ids());
    }

    void failedReadsAreTold_data()
    {
        QTest::addColumn<Read>("c");
        // The opening reads four lists; 代引 (order 2) is exempt.
        QTest::newRow("shop list at opening") << Read{1, {1, 2, 3, 4}};
        QTest::newRow("exempt list at opening") << Read{2, {1, 2, 3, 4}};
        QTest::newRow("search") << Read{5, {}};
    }

    void failedReadsAreTold()
    {
        QFETCH(Read, c);
        ScreenFixture f;
        f.addOrders();
        f.db.setExempt(u"代引"_s);
        auto faulty = std::make_shared<FaultyConnection>(f.db.connection());
        gdbConnection = faulty;
        faulty->failExecute(c.statement);
        f.open();
        f.press(Qt::Key_F1);
        QCOMPARE(f.shown, QStringList{u"!"_s + FaultyConnection::lost()});
        QCOMPARE(f.ids(), c.listed);
    }
};

QTEST_MAIN(tst_Registration)
#include "tst_registration.moc"
