// Marking, sorting, bulk dates, registering and the ship-date boxes.
#include "ScreenFixture.h"

#include "widgets/grid/vaSpread.h"
#include "screens/receipt_list/ReceiptColors.h"
#include "core/data/Rounding.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

using Order = TestDatabase::Order;

Order order(qint64 id, const QString &method, int shippedDaysAgo, const QVariant &billed = 1000)
{
    Order o;
    o.id = id;
    o.method = method;
    o.shipDate = TestDatabase::daysAgo(shippedDaysAgo);
    o.billed = billed;
    return o;
}

int rowOf(const vaSpread *grid, qint64 id)
{
    for (int row = 1; row <= grid->MaxRows(); ++row) {
        if (grid->Number(frmKensaku::ColId, row) == id)
            return row;
    }
    return 0;
}

QList<qint64> idsInGridOrder(const vaSpread *grid)
{
    QList<qint64> ids;
    for (int row = 1; row <= grid->MaxRows(); ++row)
        ids.append(static_cast<qint64>(grid->Number(frmKensaku::ColId, row)));
    return ids;
}

} // namespace

class tst_ReceiptEditing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headerClicksSortAndKeepColours()
    {
        ScreenFixture fixture;
        fixture.db.addOrder(order(1, u"b"_s, 40, 300));
        fixture.db.addOrder(order(2, u"a"_s, 20, 100));
        fixture.db.addOrder(order(3, u"c"_s, 1, 200));
        fixture.db.addOrder(order(4, u"d"_s, 15, 400));
        frmKensaku *form = fixture.open();
        fixture.search();
        vaSpread *grid = form->grid();
        QCOMPARE(idsInGridOrder(grid), (QList<qint64>{1, 2, 3, 4}));

        auto colours = [&] {
            return QList<QColor>{grid->BackColor(rowOf(grid, 1)), grid->BackColor(rowOf(grid, 2)),
                                 grid->BackColor(rowOf(grid, 3)), grid->BackColor(rowOf(grid, 4))};
        };
        const QList<QColor> expected{ReceiptColors::Pink, ReceiptColors::Yellow, ReceiptColors::White,
                                     ReceiptColors::Yellow};

        Q_EMIT grid->Click(frmKensaku::ColId, 0); // same column: reverses
        QCOMPARE(idsInGridOrder(grid), (QList<qint64>{4, 3, 2, 1}));
        QCOMPARE(colours(), expected);

        Q_EMIT grid->Click(frmKensaku::ColBilled, 0); // other column: keeps the order
        QCOMPARE(form->sortOrder(), 2);
        QCOMPARE(idsInGridOrder(grid), (QList<qint64>{4, 1, 3, 2}));
        QCOMPARE(colours(), expected);

        Q_EMIT grid->Click(frmKensaku::ColMethod, 3); // a data row does not sort
        QCOMPARE(idsInGridOrder(grid), (QList<qint64>{4, 1, 3, 2}));
        QCOMPARE(form->sortColumn(), int(frmKensaku::ColBilled));

        Q_EMIT grid->Click(frmKensaku::ColBilled, 0);
        QCOMPARE(idsInGridOrder(grid), (QList<qint64>{2, 3, 1, 4}));
        QCOMPARE(colours(), expected);
    }

    void editingDateOrAmountFlagsTheRow_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("flagged");
        QTest::newRow("入金日") << int(frmKensaku::ColPaidDate) << u"2014/2/21"_s << u"2014/02/21"_s << true;
        QTest::newRow("入金額") << int(frmKensaku::ColPaidAmount) << u"1500"_s << u"1500"_s << true;
        QTest::newRow("備考") << int(frmKensaku::ColRemarks) << u"memo"_s << u"memo"_s << false;
    }

    void editingDateOrAmountFlagsTheRow()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(bool, flagged);
        ScreenFixture fixture;
        fixture.db.addOrder(order(1, u"a"_s, 1));
        frmKensaku *form = fixture.open();
        fixture.search();
        vaSpread *grid = form->grid();

        // A real edit: the cell's own editor, typed into and confirmed.
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, column - 1));
        QTest::keyClick(grid, Qt::Key_F2);
        QWidget *editor = QApplication::focusWidget();
        QVERIFY(editor && editor != grid);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Tab);
        QTRY_COMPARE_WITH_TIMEOUT(grid->Value(column, 1), stored, 2000);

        const QString expected = flagged ? u"1"_s : QString();
        QCOMPARE(grid->Value(frmKensaku::ColUpdateFlag, 1), expected);
        QCOMPARE(grid->Value(frmKensaku::ColMailFlag, 1), expected);
    }

    void selectAllTouchesVisibleRowsOnly()
    {
        ScreenFixture fixture;
        for (int id = 1; id <= 3; ++id)
            fixture.db.addOrder(order(id, u"a"_s, 1));
        frmKensaku *form = fixture.open();
        fixture.search();
        vaSpread *grid = form->grid();
        grid->SetValue(frmKensaku::ColMark, 2, 1);
        grid->SetRowHidden(2, true);
        grid->SetRowHidden(3, true);
        form->cmdAllSelect_Click();
        QCOMPARE(grid->Value(frmKensaku::ColMark, 1), u"1"_s);
        QCOMPARE(grid->Value(frmKensaku::ColMark, 3), u"0"_s);
        form->cmdAllEject_Click();
        QCOMPARE(grid->Value(frmKensaku::ColMark, 1), u"0"_s);
        QCOMPARE(grid->Value(frmKensaku::ColMark, 2), u"1"_s);
    }

    void bulkApplyToOneMethod()
    {
        ScreenFixture fixture;
        fixture.db.addOrder(order(1, u"銀行振込"_s, 1, 1000.5));
        fixture.db.addOrder(order(2, u"代金引換"_s, 1, 2000));
        fixture.db.addOrder(order(3, u"銀行振込"_s, 1, 1001.5));
        fixture.db.addOrder(order(4, u"銀行振込"_s, 1, 500));
        frmKensaku *form = fixture.open();
        fixture.search();
        vaSpread *grid = form->grid();
        for (int id : {1, 2, 3})
            grid->SetValue(frmKensaku::ColMark, rowOf(grid, id), 1);

        form->pstrSiharai = u"銀行振込"_s;
        form->pstrDate = u"2014/02/21"_s;
        form->pbytMailSet = 0;
        form->ApplyDateToMatching();

        const int r1 = rowOf(grid, 1), r2 = rowOf(grid, 2), r3 = rowOf(grid, 3), r4 = rowOf(grid, 4);
        QCOMPARE(grid->Number(frmKensaku::ColPaidAmount, r1), 1000.0); // half to even
        QCOMPARE(grid->Number(frmKensaku::ColPaidAmount, r3), 1002.0);
        QCOMPARE(grid->Text(frmKensaku::ColPaidDate, r1), u"2014/02/21"_s);
        QCOMPARE(grid->Value(frmKensaku::ColUpdateFlag, r1), u"1"_s);
        QCOMPARE(grid->Value(frmKensaku::ColMailFlag, r1), QString());
        QCOMPARE(grid->Value(frmKensaku::ColMark, r1), u"0"_s);
        // Another method's marked row stays marked and untouched.
        QCOMPARE(grid->Value(frmKensaku::ColMark, r2), u"1"_s);
        QCOMPARE(grid->Text(frmKensaku::ColPaidDate, r2), QString());
        QCOMPARE(grid->Value(frmKensaku::ColUpdateFlag, r2), QString());
        // An unmarked row of the method is not filled.
        QCOMPARE(grid->Value(frmKensaku::ColUpdateFlag, r4), QString());
    }

    void bulkApplyToAllMethodsFillsHiddenRows()
    {
        ScreenFixture fixture;
        fixture.db.addOrder(order(1, u"銀行振込"_s, 1, 100));
        fixture.db.addOrder(order(2, u"代金引換"_s, 1, 200));
        frmKensaku *form = fixture.open();
        fixture.search();
        vaSpread *grid = form->grid();
        grid->SetValue(frmKensaku::ColMark, -1, 1);
        grid->SetRowHidden(2, true);
        form->pstrDate = u"2014/03/01"_s;
        form->pbytMailSet = 1;
        form->ApplyDateToAllMarked();
        for (int row : {1, 2}) {
            QCOMPARE(grid->Text(frmKensaku::ColPaidDate, row), u"2014/03/01"_s);
            QCOMPARE(grid->Value(frmKensaku::ColMailFlag, row), u"1"_s);
        }
        QCOMPARE(grid->Value(frmKensaku::ColMark, 1), u"0"_s);
        QCOMPARE(grid->Value(frmKensaku::ColMark, 2), u"1"_s); // hidden: keeps its mark
    }

    void registerWritesFlaggedRowsInOneTransaction()
    {
        ScreenFixture fixture;
        fixture.db.addOrder(order(1, u"a"_s, 1, 5000));
        fixture.db.addOrder(order(2, u"a"_s, 1, 3000));
        fixture.db.addOrder(order(3, u"a"_s, 1, 7000));
        frmKensaku *form = fixture.open();
        fixture.search();
        vaSpread *grid = form->grid();
        grid->SetText(frmKensaku::ColPaidDate, 1, u"2014/02/21"_s);
        grid->SetText(frmKensaku::ColPaidAmount, 1, 5000);
        Q_EMIT grid->Change(frmKensaku::ColPaidDate, 1); // hand edit: update and mail
        grid->SetText(frmKensaku::ColPaidDate, 2, u"2014/02/22"_s);
        grid->SetText(frmKensaku::ColPaidAmount, 2, 2999.5);
        grid->SetValue(frmKensaku::ColUpdateFlag, 2, 1);
        grid->SetRowHidden(2, true); // hidden rows are registered too

        QTest::keyClick(grid, Qt::Key_F9);
        QCOMPARE(fixture.messageTexts(), QStringList());
        QCOMPARE(fixture.db.scalar(u"SELECT [入金日] || '|' || [入金額] || '|' || [入金確認送信] FROM [CHUMON] WHERE [ID] = 1"_s)
                     .toString(),
                 u"2014/02/21|5000|1"_s);
        QCOMPARE(fixture.db.scalar(u"SELECT [入金日] || '|' || [入金額] || '|' || [入金確認送信] FROM [CHUMON] WHERE [ID] = 2"_s)
                     .toString(),
                 u"2014/02/22|3000|0"_s);
        QVERIFY(fixture.db.scalar(u"SELECT [入金日] FROM [CHUMON] WHERE [ID] = 3"_s).isNull());
        // Only the update flags are cleared.
        QCOMPARE(grid->Number(frmKensaku::ColUpdateFlag, 1), 0.0);
        QCOMPARE(grid->Number(frmKensaku::ColUpdateFlag, 2), 0.0);
        QCOMPARE(grid->Value(frmKensaku::ColMailFlag, 1), u"1"_s);
        QCOMPARE(grid->MaxRows(), 3);
    }

    void refusedRowRollsBackTheWholeRegistration()
    {
        ScreenFixture fixture;
        fixture.db.addOrder(order(1, u"a"_s, 1, 100));
        fixture.db.addOrder(order(2, u"a"_s, 1, 200));
        fixture.db.addOrder(order(3, u"a"_s, 1, 300));
        fixture.db.exec(u"CREATE TRIGGER refuse BEFORE UPDATE ON [CHUMON] WHEN NEW.[ID] = 2 "
                        "BEGIN SELECT RAISE(ABORT, '入金できません'); END"_s);
        frmKensaku *form = fixture.open();
        fixture.search();
        vaSpread *grid = form->grid();
        for (int row = 1; row <= 3; ++row) {
            grid->SetText(frmKensaku::ColPaidDate, row, u"2014/02/21"_s);
            grid->SetText(frmKensaku::ColPaidAmount, row, row * 100);
            grid->SetValue(frmKensaku::ColUpdateFlag, row, 1);
        }
        form->cmdUpdate_Click();
        QCOMPARE(fixture.messages.size(), 1);
        QVERIFY2(fixture.messages.at(0).text.contains(u"入金できません"_s), qPrintable(fixture.messages.at(0).text));
        QCOMPARE(fixture.messages.at(0).icon, QMessageBox::Critical);
        QCOMPARE(fixture.db.scalar(u"SELECT COUNT(*) FROM [CHUMON] WHERE [入金日] IS NOT NULL"_s).toInt(), 0);
        for (int row = 1; row <= 3; ++row)
            QCOMPARE(grid->Value(frmKensaku::ColUpdateFlag, row), u"1"_s);

        // Once the cause is gone, the same "登録" writes everything once.
        fixture.db.exec(u"DROP TRIGGER refuse"_s);
        form->cmdUpdate_Click();
        QCOMPARE(fixture.messages.size(), 1);
        QCOMPARE(fixture.db.scalar(u"SELECT SUM([入金額]) FROM [CHUMON] WHERE [入金日] = '2014/02/21'"_s).toInt(),
                 600);
    }

    void registerWithNothingFlaggedIsSilent()
    {
        ScreenFixture fixture;
        fixture.db.addOrder(order(1, u"a"_s, 1));
        frmKensaku *form = fixture.open();
        fixture.search();
        form->cmdUpdate_Click();
        QVERIFY(fixture.messages.isEmpty());
        QVERIFY(fixture.db.scalar(u"SELECT [入金日] FROM [CHUMON]"_s).isNull());
    }

    void shipDateBoxesValidate_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("refused");
        QTest::newRow("short month and day") << u"2014/2/3"_s << u"2014/02/03"_s << false;
        QTest::newRow("blanks around") << u"  2014/12/31 "_s << u"2014/12/31"_s << false;
        QTest::newRow("empty") << u""_s << u""_s << false;
        QTest::newRow("blanks only") << u"   "_s << u"   "_s << false;
        QTest::newRow("text") << u"abc"_s << u"abc"_s << true;
        QTest::newRow("no such day") << u"2014/02/30"_s << u"2014/02/30"_s << true;
    }

    void shipDateBoxesValidate()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(bool, refused);
        ScreenFixture fixture;
        frmKensaku *form = fixture.open();
        QLineEdit *from = form->dateBox(0);
        from->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(from->hasFocus(), 2000);
        from->setText(typed);
        QTest::keyClick(from, Qt::Key_Tab);
        QTRY_COMPARE_WITH_TIMEOUT(from->text(), shown, 2000);
        if (refused) {
            QTRY_COMPARE_WITH_TIMEOUT(fixture.messageTexts().join(u"|"_s), u"日付を入力してください。"_s, 2000);
            QCOMPARE(fixture.messages.at(0).icon, QMessageBox::Information);
            QCOMPARE(fixture.messages.at(0).title, u"入金対象一覧"_s);
            QTRY_VERIFY_WITH_TIMEOUT(from->hasFocus(), 2000);
        } else {
            QTest::qWait(50);
            QCOMPARE(fixture.messageTexts(), QStringList());
            QVERIFY(!from->hasFocus());
        }
    }
};

QTEST_MAIN(tst_ReceiptEditing)
#include "tst_receiptediting.moc"
