// The receipt list's grid: programmatic writes, the operator's editing
// through the real delegate and validators, painting suspension, hidden rows.
#include "GridFixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

using K = frmKensaku;

class tst_Grid final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writes_data();
    void writes();
    void editing_data();
    void editing();
    void suspensionAnnouncesOnce_data();
    void suspensionAnnouncesOnce();
    void hiddenRows_data();
    void hiddenRows();
};

void tst_Grid::writes_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("check box from a number") << int(K::ColMark) << QVariant(-1.0) << u"1"_s << u"1"_s;
    QTest::newRow("check box from words") << int(K::ColMark) << QVariant(u"yes"_s) << u"0"_s << u"0"_s;
    QTest::newRow("grouped number") << int(K::ColBilled) << QVariant(1234567.0) << u"1234567"_s << u"1,234,567"_s;
    QTest::newRow("ungrouped number") << int(K::ColId) << QVariant(u"1234567"_s) << u"1234567"_s << u"1234567"_s;
    QTest::newRow("number from words is blank") << int(K::ColPaidAmount) << QVariant(u"abc"_s) << QString()
                                                << QString();
    // Programmatic writes are the screen's own: no range applies.
    QTest::newRow("amount below zero") << int(K::ColPaidAmount) << QVariant(-5) << u"-5"_s << u"-5"_s;
    QTest::newRow("date") << int(K::ColPaidDate) << QVariant(u"2014/2/3"_s) << u"2014/02/03"_s << u"2014/02/03"_s;
    QTest::newRow("no such date is blank") << int(K::ColPaidDate) << QVariant(u"2099/12/32"_s) << QString()
                                           << QString();
    QTest::newRow("text beyond the editor's length") << int(K::ColRemarks) << QVariant(u"0123456789AB"_s)
                                                     << u"0123456789AB"_s << u"0123456789AB"_s;
    QTest::newRow("data-only column") << int(K::ColShopId) << QVariant(42) << u"42"_s << u"42"_s;
}

void tst_Grid::writes()
{
    QFETCH(int, col);
    QFETCH(QVariant, written);
    QFETCH(QString, value);
    QFETCH(QString, text);

    auto grid = makeReceiptGrid(3);
    QSignalSpy change(grid.get(), &vaSpread::Change);
    grid->SetBlockValue(col, 3, col, 2, written);
    for (int row = 2; row <= 3; ++row) {
        QCOMPARE(grid->Value(col, row), value);
        QCOMPARE(grid->Text(col, row), text);
        if (col <= grid->MaxCols() && col != K::ColMark)
            QCOMPARE(grid->model()->index(row - 1, col - 1).data().toString(), text);
    }
    QCOMPARE(grid->Value(col, 1), col == K::ColMark ? u"0"_s : QString());
    QCOMPARE(change.count(), 0);
}

void tst_Grid::editing_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed"); // "space", "click", "header", "model:<text>" or keys
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("changes");

    // Row 2 holds 2014/01/10 and 100 before each row.
    QTest::newRow("amount") << int(K::ColPaidAmount) << u"12345"_s << u"12345"_s << 1;
    QTest::newRow("amount: no minus below zero") << int(K::ColPaidAmount) << u"-5"_s << u"5"_s << 1;
    QTest::newRow("amount: no digit past the maximum") << int(K::ColPaidAmount) << u"99999999999"_s
                                                       << u"9999999999"_s << 1;
    QTest::newRow("amount emptied") << int(K::ColPaidAmount) << QString() << QString() << 1;
    QTest::newRow("amount below zero handed to the model") << int(K::ColPaidAmount) << u"model:-1"_s << u"100"_s
                                                           << 0;
    QTest::newRow("date") << int(K::ColPaidDate) << u"2014/2/3"_s << u"2014/02/03"_s << 1;
    QTest::newRow("date: no such day is refused") << int(K::ColPaidDate) << u"2099/12/32"_s << u"2014/01/10"_s << 0;
    QTest::newRow("date: unfinished is refused") << int(K::ColPaidDate) << u"2014/02"_s << u"2014/01/10"_s << 0;
    QTest::newRow("date: no such day handed to the model") << int(K::ColPaidDate) << u"model:2099/12/32"_s
                                                           << u"2014/01/10"_s << 0;
    QTest::newRow("remarks cut to the column's length") << int(K::ColRemarks) << u"ABCDEFGHIJKLMNO"_s
                                                        << u"ABCDEFGHIJ"_s << 1;
    QTest::newRow("check box: Space") << int(K::ColMark) << u"space"_s << u"1"_s << 1;
    QTest::newRow("check box: click beside the box") << int(K::ColMark) << u"click"_s << u"1"_s << 1;
    QTest::newRow("header click") << int(K::ColBilled) << u"header"_s << QString() << 0;
}

void tst_Grid::editing()
{
    QFETCH(int, col);
    QFETCH(QString, typed);
    QFETCH(QString, value);
    QFETCH(int, changes);

    auto grid = makeReceiptGrid(3);
    grid->resize(1200, 300);
    grid->SetValue(K::ColPaidDate, 2, u"2014/01/10"_s);
    grid->SetValue(K::ColPaidAmount, 2, 100);
    grid->show();
    QVERIFY(QTest::qWaitForWindowActive(grid.get()));
    QSignalSpy change(grid.get(), &vaSpread::Change);
    QSignalSpy click(grid.get(), &vaSpread::Click);
    const QModelIndex cell = grid->model()->index(1, col - 1);
    const QRect rect = grid->visualRect(cell);
    grid->setFocus();
    grid->setCurrentIndex(cell);

    if (typed == u"space") {
        QTest::keyClick(grid.get(), Qt::Key_Space);
    } else if (typed == u"click") {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(rect.left() + 2, rect.center().y()));
    } else if (typed == u"header") {
        QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(rect.center().x(), grid->horizontalHeader()->height() / 2));
    } else if (typed.startsWith(u"model:")) {
        QVERIFY(!grid->model()->setData(cell, typed.mid(6)));
    } else {
        QTest::keyClick(grid.get(), Qt::Key_F2);
        QPointer<QLineEdit> editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Delete);
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        // A refused text keeps the editor open for the operator to put right.
        QCOMPARE(editor && editor->isVisible(), changes == 0);
    }
    QCOMPARE(grid->Value(col, 2), value);
    QCOMPARE(change.count(), changes);
    if (changes > 0)
        QCOMPARE(change.at(0), QVariantList({col, 2}));
    if (typed == u"click" || typed == u"header")
        QCOMPARE(click.value(0), QVariantList({col, typed == u"click" ? 2 : 0}));
}

void tst_Grid::suspensionAnnouncesOnce_data()
{
    QTest::addColumn<int>("guards");
    QTest::addColumn<bool>("addRows");
    QTest::addColumn<int>("dataChanges");
    QTest::addColumn<int>("resets");

    QTest::newRow("painting on: every write") << 0 << false << 30 << 0;
    QTest::newRow("suspended values") << 1 << false << 1 << 0;
    QTest::newRow("rows added under nested guards") << 2 << true << 0 << 1;
}

void tst_Grid::suspensionAnnouncesOnce()
{
    QFETCH(int, guards);
    QFETCH(bool, addRows);
    QFETCH(int, dataChanges);
    QFETCH(int, resets);

    auto grid = makeReceiptGrid(10);
    QSignalSpy changed(grid->model(), &QAbstractItemModel::dataChanged);
    QSignalSpy reset(grid->model(), &QAbstractItemModel::modelReset);
    std::optional<ReDrawGuard> outer, inner;
    if (guards > 0)
        outer.emplace(grid.get());
    if (guards > 1)
        inner.emplace(grid.get());
    for (int row = 1; row <= 10; ++row) {
        if (addRows)
            grid->SetMaxRows(10 + row);
        grid->SetValue(K::ColName, row, u"顧客"_s);
        grid->SetValue(K::ColBilled, row, row);
        grid->SetBackColor(row, Qt::yellow);
    }
    // The inner guard of a nested batch must not resume painting.
    inner.reset();
    QCOMPARE(changed.count() + reset.count(), guards > 0 ? 0 : dataChanges);
    outer.reset();
    QVERIFY(grid->ReDraw() && grid->updatesEnabled());
    QCOMPARE(changed.count(), dataChanges);
    QCOMPARE(reset.count(), resets);
    QCOMPARE(grid->model()->rowCount(), grid->MaxRows());
    if (guards == 1) {
        QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), grid->model()->index(0, 0));
        QCOMPARE(changed.at(0).at(1).value<QModelIndex>(), grid->model()->index(9, grid->MaxCols() - 1));
    }
}

void tst_Grid::hiddenRows_data()
{
    QTest::addColumn<bool>("suspended");
    QTest::newRow("painting on") << false;
    QTest::newRow("suspended") << true;
}

void tst_Grid::hiddenRows()
{
    QFETCH(bool, suspended);

    auto grid = makeReceiptGrid(5);
    auto hidden = [&]() -> QString {
        QString model, view;
        for (int row = 1; row <= grid->MaxRows(); ++row) {
            model += grid->RowHidden(row) ? u'h' : u'.';
            view += grid->isRowHidden(row - 1) ? u'h' : u'.';
        }
        return model + u'|' + view;
    };
    {
        std::optional<ReDrawGuard> guard;
        if (suspended)
            guard.emplace(grid.get());
        grid->SetRowHidden(-1, true);
        grid->SetRowHidden(3, false);
        grid->SetBackColor(2, Qt::yellow);
    }
    QCOMPARE(hidden(), u"hh.hh|hh.hh"_s);
    // Rows cut off come back blank when the sheet grows again.
    grid->SetMaxRows(2);
    grid->SetMaxRows(4);
    QCOMPARE(hidden(), u"hh..|hh.."_s);
    QCOMPARE(grid->BackColor(2), QColor(Qt::yellow));
    QCOMPARE(grid->BackColor(3), QColor());
}

QTEST_MAIN(tst_Grid)
#include "tst_grid.moc"
