#include "GridFixture.h"

#include <QBrush>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

using namespace GridFixture;

// Cell writes, colours, hidden rows, row counts, painting suspension and
// column widths, all through the grid's own operations.
class tst_vaSpread final : public QObject
{
    Q_OBJECT

private:
    // Values of columns 2..4 of every row, "a|b|c" per row.
    static QStringList valuesOf(const vaSpread &grid)
    {
        QStringList rows;
        for (int row = 1; row <= grid.MaxRows(); ++row)
            rows.append(grid.Value(ColId, row) % u'|' % grid.Value(ColName, row) % u'|'
                        % grid.Value(ColBilled, row));
        return rows;
    }

private Q_SLOTS:
    void blockWrite_data();
    void blockWrite();
    void writeToEveryColumnFollowsEachKind();
    void numberText_data();
    void numberText();
    void dateWrite_data();
    void dateWrite();
    void checkBoxWrite_data();
    void checkBoxWrite();
    void textIsStoredAsGiven();
    void rowColours();
    void hiddenRows_data();
    void hiddenRows();
    void rowCountChanges_data();
    void rowCountChanges();
    void reDrawOffAnnouncesOnceWhenBackOn_data();
    void reDrawOffAnnouncesOnceWhenBackOn();
    void reDrawGuardNests();
    void paintingOnAnnouncesEachWriteOnce_data();
    void paintingOnAnnouncesEachWriteOnce();
    void columnWidths();
    void programmaticWritesRaiseNoChange();
};

void tst_vaSpread::blockWrite_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col2");
    QTest::addColumn<int>("row2");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("inner block") << 2 << 1 << 3 << 2 << QStringList{u"7|7|"_s, u"7|7|"_s, u"||"_s};
    QTest::newRow("corners reversed") << 4 << 3 << 3 << 2 << QStringList{u"||"_s, u"|7|7"_s, u"|7|7"_s};
    QTest::newRow("single cell") << 4 << 2 << 4 << 2 << QStringList{u"||"_s, u"||7"_s, u"||"_s};
    QTest::newRow("every row of a column") << 3 << -1 << 3 << -1 << QStringList{u"|7|"_s, u"|7|"_s, u"|7|"_s};
    QTest::newRow("every column of a row") << -1 << 2 << -1 << 2 << QStringList{u"||"_s, u"7|7|7"_s, u"||"_s};
    QTest::newRow("row past the end") << 2 << 1 << 2 << 4 << QStringList{u"||"_s, u"||"_s, u"||"_s};
    QTest::newRow("row 0 is the header") << 2 << 0 << 2 << 0 << QStringList{u"||"_s, u"||"_s, u"||"_s};
    QTest::newRow("column past the end") << 9 << 1 << 9 << 1 << QStringList{u"||"_s, u"||"_s, u"||"_s};
}

void tst_vaSpread::blockWrite()
{
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(int, col2);
    QFETCH(int, row2);
    QFETCH(QStringList, expected);

    auto grid = makeGrid();
    attachTester(grid.get());
    grid->SetMaxRows(3);
    grid->SetBlockValue(col, row, col2, row2, 7);
    QCOMPARE(valuesOf(*grid), expected);
}

void tst_vaSpread::writeToEveryColumnFollowsEachKind()
{
    auto grid = makeGrid();
    grid->SetMaxRows(2);
    grid->SetValue(ColPaidDate, 2, u"2014/02/21"_s);
    grid->SetValue(-1, 2, u"12"_s);
    // The check box reads a number, the date cell refuses one and goes
    // blank, the data-only column takes it as text.
    QCOMPARE(grid->Value(ColMark, 2), u"1"_s);
    QCOMPARE(grid->Value(ColPaidDate, 2), QString());
    QCOMPARE(grid->Value(ColShop, 2), u"12"_s);
    QCOMPARE(grid->Number(ColFlag, 2), 12.0);
    QCOMPARE(grid->Value(ColMark, 1), u"0"_s);
}

void tst_vaSpread::numberText_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");

    QTest::newRow("grouped millions") << int(ColBilled) << QVariant(1234567.0) << u"1234567"_s << u"1,234,567"_s
                                      << 1234567.0;
    QTest::newRow("ungrouped column") << int(ColId) << QVariant(1234567) << u"1234567"_s << u"1234567"_s
                                      << 1234567.0;
    QTest::newRow("whole double shows no decimals") << int(ColBilled) << QVariant(5000.0) << u"5000"_s
                                                    << u"5,000"_s << 5000.0;
    QTest::newRow("three digits stay ungrouped") << int(ColBilled) << QVariant(999) << u"999"_s << u"999"_s
                                                 << 999.0;
    QTest::newRow("negative with fraction") << int(ColBilled) << QVariant(-1234.5) << u"-1234.5"_s
                                            << u"-1,234.5"_s << -1234.5;
    QTest::newRow("largest amount") << int(ColBilled) << QVariant(9999999999.0) << u"9999999999"_s
                                    << u"9,999,999,999"_s << 9999999999.0;
    QTest::newRow("binary noise hidden") << int(ColBilled) << QVariant(0.1 + 0.2) << u"0.3"_s << u"0.3"_s
                                         << 0.1 + 0.2;
    QTest::newRow("grouped text read") << int(ColBilled) << QVariant(u"12,345"_s) << u"12345"_s << u"12,345"_s
                                       << 12345.0;
    QTest::newRow("text with blanks") << int(ColId) << QVariant(u" 42 "_s) << u"42"_s << u"42"_s << 42.0;
    QTest::newRow("negative three digits") << int(ColBilled) << QVariant(-100) << u"-100"_s << u"-100"_s
                                           << -100.0;
    QTest::newRow("negative zero") << int(ColBilled) << QVariant(-0.0) << u"0"_s << u"0"_s << 0.0;
    QTest::newRow("full-width text") << int(ColBilled) << QVariant(u"－１，２３４．５"_s) << u"-1234.5"_s
                                     << u"-1,234.5"_s << -1234.5;
    QTest::newRow("infinity is blank") << int(ColBilled) << QVariant(u"inf"_s) << QString() << QString() << 0.0;
    QTest::newRow("trailing words are blank") << int(ColId) << QVariant(u"12abc"_s) << QString() << QString()
                                              << 0.0;
    QTest::newRow("zero is not blank") << int(ColBilled) << QVariant(0) << u"0"_s << u"0"_s << 0.0;
    QTest::newRow("empty text is blank") << int(ColBilled) << QVariant(QString()) << QString() << QString() << 0.0;
    QTest::newRow("not a number is blank") << int(ColBilled) << QVariant(u"abc"_s) << QString() << QString() << 0.0;
}

void tst_vaSpread::numberText()
{
    QFETCH(int, col);
    QFETCH(QVariant, written);
    QFETCH(QString, value);
    QFETCH(QString, text);
    QFETCH(double, number);

    auto grid = makeGrid();
    grid->SetMaxRows(1);
    grid->SetText(col, 1, 77);
    grid->SetText(col, 1, written);
    QCOMPARE(grid->Value(col, 1), value);
    QCOMPARE(grid->Text(col, 1), text);
    QCOMPARE(grid->Number(col, 1), number);
    QCOMPARE(grid->model()->index(0, col - 1).data().toString(), text);
}

void tst_vaSpread::dateWrite_data()
{
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<QString>("stored");

    QTest::newRow("date text") << QVariant(u"2014/02/21"_s) << u"2014/02/21"_s;
    QTest::newRow("one-digit month and day") << QVariant(u"2014/2/3"_s) << u"2014/02/03"_s;
    QTest::newRow("first day") << QVariant(u"1900/01/01"_s) << u"1900/01/01"_s;
    QTest::newRow("last day") << QVariant(u"2099/12/31"_s) << u"2099/12/31"_s;
    QTest::newRow("full-width") << QVariant(u"２０１４／０２／２１"_s) << u"2014/02/21"_s;
    QTest::newRow("date value") << QVariant(QDate(2014, 2, 21)) << u"2014/02/21"_s;
    QTest::newRow("leap day") << QVariant(u"2000/02/29"_s) << u"2000/02/29"_s;
    QTest::newRow("blanks around") << QVariant(u" 2014/02/21 "_s) << u"2014/02/21"_s;
    QTest::newRow("day before range") << QVariant(u"1899/12/31"_s) << QString();
    QTest::newRow("day after range") << QVariant(u"2100/01/01"_s) << QString();
    QTest::newRow("no such day") << QVariant(u"2014/02/30"_s) << QString();
    QTest::newRow("not a leap year") << QVariant(u"2100/02/29"_s) << QString();
    QTest::newRow("digits only") << QVariant(u"20140221"_s) << QString();
    QTest::newRow("two-digit year") << QVariant(u"14/02/21"_s) << QString();
    QTest::newRow("quote") << QVariant(u"2014/02/21'"_s) << QString();
    QTest::newRow("three-digit month") << QVariant(u"2014/002/01"_s) << QString();
    QTest::newRow("five-digit year") << QVariant(u"02014/02/01"_s) << QString();
    QTest::newRow("empty part") << QVariant(u"2014//01"_s) << QString();
    QTest::newRow("four parts") << QVariant(u"2014/02/01/01"_s) << QString();
    QTest::newRow("sign") << QVariant(u"2014/+2/01"_s) << QString();
    QTest::newRow("date outside range") << QVariant(QDate(2100, 1, 1)) << QString();
    QTest::newRow("words") << QVariant(u"abc"_s) << QString();
    QTest::newRow("number") << QVariant(20140221) << QString();
    QTest::newRow("empty") << QVariant(QString()) << QString();
}

void tst_vaSpread::dateWrite()
{
    QFETCH(QVariant, written);
    QFETCH(QString, stored);

    auto grid = makeGrid();
    grid->SetMaxRows(2);
    grid->SetText(ColPaidDate, 1, u"2000/01/01"_s);
    // Whatever was there before, a refused date leaves the cell empty.
    grid->SetText(ColPaidDate, 1, written);
    QCOMPARE(grid->Value(ColPaidDate, 1), stored);
    QCOMPARE(grid->Text(ColPaidDate, 1), stored);
    grid->SetValue(ColPaidDate, -1, written);
    QCOMPARE(grid->Text(ColPaidDate, 2), stored);
}

void tst_vaSpread::checkBoxWrite_data()
{
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<QString>("value");

    QTest::newRow("1") << QVariant(1) << u"1"_s;
    QTest::newRow("0") << QVariant(0) << u"0"_s;
    QTest::newRow("text 1") << QVariant(u"1"_s) << u"1"_s;
    QTest::newRow("text 0") << QVariant(u"0"_s) << u"0"_s;
    QTest::newRow("true") << QVariant(true) << u"1"_s;
    QTest::newRow("other number") << QVariant(-1.0) << u"1"_s;
    QTest::newRow("empty") << QVariant(QString()) << u"0"_s;
    QTest::newRow("words") << QVariant(u"yes"_s) << u"0"_s;
}

void tst_vaSpread::checkBoxWrite()
{
    QFETCH(QVariant, written);
    QFETCH(QString, value);

    auto grid = makeGrid();
    grid->SetMaxRows(1);
    grid->SetValue(ColMark, 1, written);
    QCOMPARE(grid->Value(ColMark, 1), value);
    QCOMPARE(grid->Number(ColMark, 1), value.toDouble());
    const int state = grid->model()->index(0, ColMark - 1).data(Qt::CheckStateRole).toInt();
    QCOMPARE(state, value == u"1"_s ? int(Qt::Checked) : int(Qt::Unchecked));
}

void tst_vaSpread::textIsStoredAsGiven()
{
    auto grid = makeGrid();
    grid->SetMaxRows(1);
    // The length limit is the editor's; a programmatic write loses nothing.
    const QString longName = u"株式会社ながいなまえの会社です"_s;
    grid->SetText(ColName, 1, longName);
    QCOMPARE(grid->Text(ColName, 1), longName);
    grid->SetText(ColName, 1, 2.5);
    QCOMPARE(grid->Value(ColName, 1), u"2.5"_s);
}

void tst_vaSpread::rowColours()
{
    auto grid = makeGrid();
    attachTester(grid.get());
    grid->SetMaxRows(3);
    const QColor yellow(255, 255, 0);
    const QColor pink(255, 200, 200);
    auto painted = [&](int row, int col) {
        return grid->model()->index(row - 1, col - 1).data(Qt::BackgroundRole).value<QBrush>().color();
    };

    QCOMPARE(grid->BackColor(1), QColor());
    QCOMPARE(painted(1, ColName), QColor(Qt::white));

    grid->SetBackColor(2, yellow);
    QCOMPARE(grid->BackColor(2), yellow);
    QCOMPARE(grid->BackColor(1), QColor());
    QCOMPARE(painted(2, ColMark), yellow);
    QCOMPARE(painted(2, ColPaidAmount), yellow);

    grid->SetBackColor(-1, pink);
    for (int row = 1; row <= 3; ++row)
        QCOMPARE(grid->BackColor(row), pink);

    grid->SetBackColor(3, QColor());
    QCOMPARE(grid->BackColor(3), QColor());
    QCOMPARE(painted(3, ColName), QColor(Qt::white));
    // White set on purpose is a colour, not "not set".
    grid->SetBackColor(1, Qt::white);
    QCOMPARE(grid->BackColor(1), QColor(Qt::white));
    QCOMPARE(grid->BackColor(0), QColor());
    QCOMPARE(grid->BackColor(4), QColor());
}

void tst_vaSpread::hiddenRows_data()
{
    QTest::addColumn<bool>("painting");
    QTest::newRow("painting on") << true;
    QTest::newRow("painting off") << false;
}

void tst_vaSpread::hiddenRows()
{
    QFETCH(bool, painting);

    auto grid = makeGrid();
    attachTester(grid.get());
    grid->SetMaxRows(5);
    auto hiddenState = [&] {
        QString model;
        QString view;
        for (int row = 1; row <= grid->MaxRows(); ++row) {
            model.append(grid->RowHidden(row) ? u'h' : u'.');
            view.append(grid->isRowHidden(row - 1) ? u'h' : u'.');
        }
        return std::pair{model, view};
    };

    {
        std::optional<ReDrawGuard> guard;
        if (!painting)
            guard.emplace(grid.get());
        grid->SetRowHidden(2, true);
        grid->SetRowHidden(4, true);
        QCOMPARE(hiddenState().first, u".h.h."_s);
    }
    QCOMPARE(hiddenState(), std::pair(u".h.h."_s, u".h.h."_s));

    {
        std::optional<ReDrawGuard> guard;
        if (!painting)
            guard.emplace(grid.get());
        grid->SetRowHidden(-1, false);
    }
    QCOMPARE(hiddenState(), std::pair(u"....."_s, u"....."_s));

    {
        std::optional<ReDrawGuard> guard;
        if (!painting)
            guard.emplace(grid.get());
        grid->SetRowHidden(-1, true);
        grid->SetRowHidden(3, false);
    }
    QCOMPARE(hiddenState(), std::pair(u"hh.hh"_s, u"hh.hh"_s));
}

void tst_vaSpread::rowCountChanges_data()
{
    QTest::addColumn<int>("shrinkTo");
    QTest::addColumn<bool>("painting");

    QTest::newRow("emptied") << 0 << true;
    QTest::newRow("emptied, painting off") << 0 << false;
    QTest::newRow("cut to one row") << 1 << true;
    QTest::newRow("cut to one row, painting off") << 1 << false;
}

void tst_vaSpread::rowCountChanges()
{
    QFETCH(int, shrinkTo);
    QFETCH(bool, painting);

    auto grid = makeGrid();
    attachTester(grid.get());
    {
        std::optional<ReDrawGuard> guard;
        if (!painting)
            guard.emplace(grid.get());
        grid->SetMaxRows(3);
        for (int col = 1; col <= ColShop; ++col)
            grid->SetValue(col, -1, 1);
        grid->SetText(ColPaidDate, -1, u"2014/02/21"_s);
        grid->SetBackColor(-1, Qt::yellow);
        grid->SetRowHidden(-1, true);

        grid->SetMaxRows(shrinkTo);
        QCOMPARE(grid->MaxRows(), shrinkTo);
        grid->SetMaxRows(3);
    }

    QCOMPARE(grid->model()->rowCount(), 3);
    for (int row = 1; row <= 3; ++row) {
        const bool kept = row <= shrinkTo;
        QCOMPARE(grid->Value(ColMark, row), kept ? u"1"_s : u"0"_s);
        QCOMPARE(grid->Value(ColId, row), kept ? u"1"_s : QString());
        QCOMPARE(grid->Value(ColName, row), kept ? u"1"_s : QString());
        QCOMPARE(grid->Value(ColPaidDate, row), kept ? u"2014/02/21"_s : QString());
        QCOMPARE(grid->Value(ColShop, row), kept ? u"1"_s : QString());
        QCOMPARE(grid->BackColor(row), kept ? QColor(Qt::yellow) : QColor());
        QCOMPARE(grid->RowHidden(row), kept);
        QCOMPARE(grid->isRowHidden(row - 1), kept);
    }
}

void tst_vaSpread::reDrawOffAnnouncesOnceWhenBackOn_data()
{
    QTest::addColumn<bool>("addRows");
    QTest::addColumn<int>("resets");
    QTest::addColumn<int>("dataChanges");

    QTest::newRow("rows added") << true << 1 << 0;
    QTest::newRow("values only") << false << 0 << 1;
}

void tst_vaSpread::reDrawOffAnnouncesOnceWhenBackOn()
{
    QFETCH(bool, addRows);
    QFETCH(int, resets);
    QFETCH(int, dataChanges);

    auto grid = makeGrid();
    attachTester(grid.get());
    grid->SetMaxRows(10);
    QSignalSpy changed(grid->model(), &QAbstractItemModel::dataChanged);
    QSignalSpy reset(grid->model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserted(grid->model(), &QAbstractItemModel::rowsInserted);

    grid->SetReDraw(false);
    QVERIFY(!grid->ReDraw());
    QVERIFY(!grid->updatesEnabled());
    const int rows = addRows ? 200 : 10;
    for (int row = 1; row <= rows; ++row) {
        if (addRows)
            grid->SetMaxRows(row + 10);
        grid->SetText(ColName, row, u"name"_s);
        grid->SetText(ColBilled, row, row);
        grid->SetBackColor(row, Qt::yellow);
    }
    QCOMPARE(changed.count(), 0);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(inserted.count(), 0);

    grid->SetReDraw(true);
    QVERIFY(grid->updatesEnabled());
    QCOMPARE(reset.count(), resets);
    QCOMPARE(changed.count(), dataChanges);
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(grid->model()->rowCount(), grid->MaxRows());
    if (dataChanges == 1) {
        // One announcement covers every cell written.
        const auto topLeft = changed.at(0).at(0).value<QModelIndex>();
        const auto bottomRight = changed.at(0).at(1).value<QModelIndex>();
        QVERIFY(topLeft.row() == 0 && topLeft.column() == 0);
        QVERIFY(bottomRight.row() == rows - 1 && bottomRight.column() == grid->MaxCols() - 1);
    }
    QCOMPARE(grid->model()->index(rows - 1, ColBilled - 1).data().toString(), QString::number(rows));
}

void tst_vaSpread::reDrawGuardNests()
{
    auto grid = makeGrid();
    {
        const ReDrawGuard outer(grid.get());
        {
            const ReDrawGuard inner(grid.get());
            QVERIFY(!grid->ReDraw());
        }
        QVERIFY(!grid->ReDraw());
    }
    QVERIFY(grid->ReDraw());
}

void tst_vaSpread::paintingOnAnnouncesEachWriteOnce_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<int>("lastRow");

    QTest::newRow("one cell") << int(ColName) << 3 << 2 << 2;
    QTest::newRow("whole column") << int(ColBilled) << -1 << 0 << 4;
}

void tst_vaSpread::paintingOnAnnouncesEachWriteOnce()
{
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(int, firstRow);
    QFETCH(int, lastRow);

    auto grid = makeGrid();
    attachTester(grid.get());
    grid->SetMaxRows(5);
    QSignalSpy changed(grid->model(), &QAbstractItemModel::dataChanged);
    grid->SetValue(col, row, 3);
    QCOMPARE(changed.count(), 1);
    const auto topLeft = changed.at(0).at(0).value<QModelIndex>();
    const auto bottomRight = changed.at(0).at(1).value<QModelIndex>();
    QCOMPARE(topLeft.row(), firstRow);
    QCOMPARE(bottomRight.row(), lastRow);
    QCOMPARE(topLeft.column(), col - 1);
    QCOMPARE(bottomRight.column(), col - 1);

    // Data-only columns have nothing on screen to refresh.
    grid->SetValue(ColShop, row, u"S1"_s);
    QCOMPARE(changed.count(), 1);
}

void tst_vaSpread::columnWidths()
{
    auto grid = makeGrid();
    attachTester(grid.get());
    QCOMPARE(grid->MaxCols(), 7);
    QCOMPARE(grid->model()->columnCount(), 7);
    QVERIFY(grid->CharWidth() > 0);

    QCOMPARE(grid->ColWidth(ColName), 16.87);
    QCOMPARE(grid->columnWidth(ColName - 1), qRound(16.87 * grid->CharWidth()));
    QCOMPARE(grid->ColWidth(0), 0.0);
    QVERIFY(grid->ColWidth(ColBilled) > 0); // laid out without a width
    QVERIFY(grid->isColumnHidden(ColFlag - 1));
    QVERIFY(!grid->isColumnHidden(ColPaidAmount - 1));

    grid->SetColWidth(ColName, 10);
    QCOMPARE(grid->ColWidth(ColName), 10.0);
    QCOMPARE(grid->columnWidth(ColName - 1), qRound(10 * grid->CharWidth()));
    grid->SetColWidth(ColName, 0);
    QVERIFY(grid->isColumnHidden(ColName - 1));
    QCOMPARE(grid->ColWidth(ColName), 0.0);
    grid->SetColWidth(ColName, 5);
    QVERIFY(!grid->isColumnHidden(ColName - 1));

    // Scaling every column, the row header included, as the layout does.
    for (int col = 0; col <= grid->MaxCols(); ++col)
        grid->SetColWidth(col, grid->ColWidth(col) * 0.5);
    QCOMPARE(grid->ColWidth(ColName), 2.5);
    QCOMPARE(grid->ColWidth(ColFlag), 0.0);
    QVERIFY(grid->isColumnHidden(ColFlag - 1));

    // An operator dragging a column edge changes what the screens read.
    grid->horizontalHeader()->resizeSection(ColId - 1, qRound(6 * grid->CharWidth()));
    QCOMPARE(qRound(grid->ColWidth(ColId)), 6);
    QCOMPARE(grid->ColWidth(ColShop), 0.0);
}

void tst_vaSpread::programmaticWritesRaiseNoChange()
{
    auto grid = makeGrid();
    QSignalSpy change(grid.get(), &vaSpread::Change);
    grid->SetMaxRows(4);
    grid->SetValue(ColMark, -1, 1);
    grid->SetText(ColPaidDate, 2, u"2014/02/21"_s);
    grid->SetText(ColPaidAmount, 2, 5000);
    grid->SetBlockValue(ColFlag, 1, ColFlag, 4, 0);
    grid->SetBackColor(-1, Qt::yellow);
    grid->SetRowHidden(3, true);
    grid->Sort(1, 4, {{ColPaidAmount, 2}});
    {
        const ReDrawGuard guard(grid.get());
        grid->SetText(ColName, 1, u"x"_s);
    }
    QCOMPARE(change.count(), 0);
}

QTEST_MAIN(tst_vaSpread)
#include "tst_vaspread.moc"
