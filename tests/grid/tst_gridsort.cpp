#include "GridFixture.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <functional>
#include <numeric>
#include <optional>

using namespace GridFixture;

using Keys = QList<vaSpread::SortKey>;
using Operation = std::function<void(vaSpread &)>;
Q_DECLARE_METATYPE(Operation)

// Sorting whole rows: key kinds, blanks, direction, stability, and the state
// that has to travel with each row.
class tst_GridSort final : public QObject
{
    Q_OBJECT

private:
    // Each row "mark|id|name|date", identified by its data-only column.
    static void fill(vaSpread &grid, const QStringList &rows)
    {
        grid.SetMaxRows(int(rows.size()));
        for (int row = 1; row <= rows.size(); ++row) {
            const QStringList cells = rows[row - 1].split(u'|');
            grid.SetValue(ColMark, row, cells[0]);
            grid.SetValue(ColId, row, cells[1]);
            grid.SetValue(ColName, row, cells[2]);
            grid.SetValue(ColPaidDate, row, cells[3]);
            grid.SetValue(ColShop, row, QString(QChar(u'a' + row - 1)));
        }
    }

    static QString order(const vaSpread &grid)
    {
        QString ids;
        for (int row = 1; row <= grid.MaxRows(); ++row)
            ids.append(grid.Value(ColShop, row));
        return ids;
    }

private Q_SLOTS:
    void sort_data();
    void sort();
    void matchesReferenceOrder_data();
    void matchesReferenceOrder();
    void rowStateTravels_data();
    void rowStateTravels();
    void rowsKeepTheirCellsAcrossSorts_data();
    void rowsKeepTheirCellsAcrossSorts();
    void currentCellFollowsItsRow();
};

void tst_GridSort::sort_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("row1");
    QTest::addColumn<int>("row2");
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<QString>("expected");

    const QStringList numbers = {u"0|5||"_s, u"0|||"_s, u"0|10||"_s, u"0|-2||"_s, u"0|||"_s, u"0|5||"_s};
    QTest::newRow("numbers ascending, blanks first")
        << numbers << 1 << 6 << Keys{{ColId, 1}} << u"bedafc"_s;
    QTest::newRow("numbers descending, blanks last, ties kept")
        << numbers << 1 << 6 << Keys{{ColId, 2}} << u"cafdbe"_s;
    QTest::newRow("texts by code point")
        << QStringList{u"0||b|"_s, u"0||B|"_s, u"0||ア|"_s, u"0||あ|"_s, u"0||a|"_s, u"0||Z|"_s, u"0|||"_s}
        << 1 << 7 << Keys{{ColName, 1}} << u"gbfeadc"_s;
    QTest::newRow("texts: beyond the basic plane after full-width letters")
        << QStringList{u"0||𠀋|"_s, u"0||Ａ|"_s, u"0||z|"_s} << 1 << 3 << Keys{{ColName, 1}} << u"cba"_s;
    QTest::newRow("dates, blanks first")
        << QStringList{u"0|||2014/02/21"_s, u"0|||"_s, u"0|||1999/12/31"_s, u"0|||2014/02/03"_s} << 1 << 4
        << Keys{{ColPaidDate, 1}} << u"bcda"_s;
    QTest::newRow("check boxes descending")
        << QStringList{u"0|||"_s, u"1|||"_s, u"0|||"_s, u"1|||"_s} << 1 << 4 << Keys{{ColMark, 2}} << u"bdac"_s;
    QTest::newRow("a fourth key is not used")
        << QStringList{u"0|1|a|2014/01/01"_s, u"0|1|a|2014/01/01"_s} << 1 << 2
        << Keys{{ColMark, 1}, {ColId, 1}, {ColName, 1}, {ColPaidDate, 2}, {ColShop, 2}} << u"ab"_s;
    QTest::newRow("only the given rows move")
        << QStringList{u"0|5||"_s, u"0|4||"_s, u"0|3||"_s, u"0|2||"_s, u"0|1||"_s} << 2 << 4
        << Keys{{ColId, 1}} << u"adcbe"_s;
    QTest::newRow("rows given high to low")
        << QStringList{u"0|2||"_s, u"0|1||"_s} << 2 << 1 << Keys{{ColId, 1}} << u"ba"_s;
    QTest::newRow("data-only column as key")
        << QStringList{u"0|1||"_s, u"0|2||"_s} << 1 << 2 << Keys{{ColShop, 2}} << u"ba"_s;
    QTest::newRow("key column out of range")
        << QStringList{u"0|2||"_s, u"0|1||"_s} << 1 << 2 << Keys{{42, 1}} << u"ab"_s;
}

void tst_GridSort::sort()
{
    QFETCH(QStringList, rows);
    QFETCH(int, row1);
    QFETCH(int, row2);
    QFETCH(Keys, keys);
    QFETCH(QString, expected);

    auto grid = makeGrid();
    attachTester(grid.get());
    fill(*grid, rows);
    grid->Sort(row1, row2, keys);
    QCOMPARE(order(*grid), expected);
}

void tst_GridSort::matchesReferenceOrder_data()
{
    QTest::addColumn<Keys>("keys");

    QTest::newRow("texts ascending") << Keys{{ColName, 1}};
    QTest::newRow("texts descending") << Keys{{ColName, 2}};
    QTest::newRow("numbers ascending") << Keys{{ColId, 1}};
    QTest::newRow("numbers descending") << Keys{{ColId, 2}};
    QTest::newRow("dates descending") << Keys{{ColPaidDate, 2}};
    QTest::newRow("check, text, number") << Keys{{ColMark, 2}, {ColName, 1}, {ColId, 2}};
    QTest::newRow("date, number, text") << Keys{{ColPaidDate, 1}, {ColId, 1}, {ColName, 2}};
}

// Several hundred rows drawn from small sets, so that keys tie often and
// texts share long prefixes, against a plain stable sort of the same rows.
void tst_GridSort::matchesReferenceOrder()
{
    QFETCH(Keys, keys);

    const QStringList pieces = {u"2014/02/0"_s, u"2014/02/1"_s, u"顧客"_s, u"顧客顧客"_s, u"a"_s, u"ab"_s,
                                u"ab"_s + QChar(u'\0'), u"𠀋"_s, u"Ａ"_s, QString()};
    const QStringList numbers = {QString(), u"-1"_s, u"0"_s, u"0.5"_s, u"1"_s, u"10"_s, u"1e9"_s, u"-1e9"_s};
    const QStringList dates = {QString(), u"2014/02/21"_s, u"1999/12/31"_s, u"2099/12/31"_s};
    QRandomGenerator random(20140221);
    auto pick = [&](const QStringList &from) { return from[random.bounded(int(from.size()))]; };

    auto grid = makeGrid();
    attachTester(grid.get());
    const int rows = 600;
    // One announcement for the fill: the model tester walks the whole sheet
    // on every one.
    std::optional<ReDrawGuard> fill(grid.get());
    grid->SetMaxRows(rows);
    for (int row = 1; row <= rows; ++row) {
        QString name;
        for (int n = random.bounded(1, 5); n > 0; --n)
            name += pick(pieces);
        grid->SetValue(ColMark, row, random.bounded(2));
        grid->SetValue(ColId, row, pick(numbers));
        grid->SetValue(ColName, row, name);
        grid->SetValue(ColPaidDate, row, pick(dates));
        grid->SetValue(ColShop, row, row);
    }
    fill.reset();

    auto compare = [&](int col, int a, int b) {
        const QString x = grid->Value(col, a);
        const QString y = grid->Value(col, b);
        if (col == ColName) {
            const QList<uint> ux = x.toUcs4();
            const QList<uint> uy = y.toUcs4();
            return ux < uy ? -1 : (uy < ux ? 1 : 0);
        }
        if (x.isEmpty() || y.isEmpty())
            return int(!x.isEmpty()) - int(!y.isEmpty());
        if (col == ColPaidDate)
            return x < y ? -1 : (y < x ? 1 : 0);
        return x.toDouble() < y.toDouble() ? -1 : (y.toDouble() < x.toDouble() ? 1 : 0);
    };
    std::vector<int> expected(rows);
    std::iota(expected.begin(), expected.end(), 1);
    std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
        for (const vaSpread::SortKey &key : keys) {
            const int c = compare(key.column, a, b);
            if (c != 0)
                return key.order == 2 ? c > 0 : c < 0;
        }
        return false;
    });

    grid->Sort(1, rows, keys);
    QStringList sorted;
    QStringList wanted;
    for (int row = 1; row <= rows; ++row) {
        sorted.append(grid->Value(ColShop, row));
        wanted.append(QString::number(expected[std::size_t(row - 1)]));
    }
    QCOMPARE(sorted, wanted);
}

void tst_GridSort::rowStateTravels_data()
{
    QTest::addColumn<bool>("painting");
    QTest::newRow("painting on") << true;
    QTest::newRow("painting off") << false;
}

void tst_GridSort::rowStateTravels()
{
    QFETCH(bool, painting);

    auto grid = makeGrid();
    attachTester(grid.get());
    fill(*grid, {u"1|3|c|2014/01/03"_s, u"0|1|a|"_s, u"0|2|b|2014/01/02"_s});
    grid->SetText(ColPaidAmount, 1, 300);
    grid->SetText(ColFlag, 3, 1);
    grid->SetBackColor(1, Qt::yellow);
    grid->SetBackColor(3, QColor(255, 200, 200));
    grid->SetRowHidden(1, true);
    {
        std::optional<ReDrawGuard> guard;
        if (!painting)
            guard.emplace(grid.get());
        grid->Sort(1, 3, {{ColId, 1}});
    }

    QCOMPARE(order(*grid), u"bca"_s);
    QCOMPARE(grid->Value(ColMark, 3), u"1"_s);
    QCOMPARE(grid->Value(ColName, 3), u"c"_s);
    QCOMPARE(grid->Value(ColPaidDate, 3), u"2014/01/03"_s);
    QCOMPARE(grid->Value(ColPaidAmount, 3), u"300"_s);
    QCOMPARE(grid->Value(ColFlag, 2), u"1"_s);
    QCOMPARE(grid->BackColor(1), QColor());
    QCOMPARE(grid->BackColor(2), QColor(255, 200, 200));
    QCOMPARE(grid->BackColor(3), QColor(Qt::yellow));
    for (int row = 1; row <= 3; ++row) {
        QCOMPARE(grid->RowHidden(row), row == 3);
        QCOMPARE(grid->isRowHidden(row - 1), row == 3);
    }
    QCOMPARE(grid->model()->index(2, ColName - 1).data().toString(), u"c"_s);
}

void tst_GridSort::rowsKeepTheirCellsAcrossSorts_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QStringList>("expected"); // by id: "id name colour hidden"

    const QStringList untouched = {u"1 n1 . ."_s, u"2 n2 . ."_s, u"3 n3 . ."_s, u"4 n4 . ."_s};
    // The rows are in the order 4 3 2 1 when the operation runs.
    QTest::newRow("one cell") << Operation([](vaSpread &g) { g.SetValue(ColName, 2, u"w"_s); })
                              << QStringList{u"1 n1 . ."_s, u"2 n2 . ."_s, u"3 w . ."_s, u"4 n4 . ."_s};
    QTest::newRow("block of two rows")
        << Operation([](vaSpread &g) { g.SetBlockValue(ColName, 3, ColName, 2, u"w"_s); })
        << QStringList{u"1 n1 . ."_s, u"2 w . ."_s, u"3 w . ."_s, u"4 n4 . ."_s};
    QTest::newRow("whole column") << Operation([](vaSpread &g) { g.SetValue(ColName, -1, u"w"_s); })
                                  << QStringList{u"1 w . ."_s, u"2 w . ."_s, u"3 w . ."_s, u"4 w . ."_s};
    QTest::newRow("colour of one row") << Operation([](vaSpread &g) { g.SetBackColor(1, Qt::yellow); })
                                       << QStringList{u"1 n1 . ."_s, u"2 n2 . ."_s, u"3 n3 . ."_s, u"4 n4 y ."_s};
    QTest::newRow("colour of every row")
        << Operation([](vaSpread &g) { g.SetBackColor(-1, Qt::yellow); })
        << QStringList{u"1 n1 y ."_s, u"2 n2 y ."_s, u"3 n3 y ."_s, u"4 n4 y ."_s};
    QTest::newRow("one row hidden") << Operation([](vaSpread &g) { g.SetRowHidden(4, true); })
                                    << QStringList{u"1 n1 . h"_s, u"2 n2 . ."_s, u"3 n3 . ."_s, u"4 n4 . ."_s};
    QTest::newRow("cut to two rows and grown back")
        << Operation([](vaSpread &g) {
               g.SetMaxRows(2);
               g.SetMaxRows(4);
           })
        << QStringList{u"  . ."_s, u"  . ."_s, u"3 n3 . ."_s, u"4 n4 . ."_s};
    QTest::newRow("grown by a row") << Operation([](vaSpread &g) { g.SetMaxRows(5); })
                                    << (QStringList{u"  . ."_s} + untouched);
    QTest::newRow("sorted again by name")
        << Operation([](vaSpread &g) { g.Sort(1, 4, {{ColName, 2}}); }) << untouched;
}

// A sorted sheet keeps each row's cells together under every later write.
void tst_GridSort::rowsKeepTheirCellsAcrossSorts()
{
    QFETCH(Operation, operation);
    QFETCH(QStringList, expected);

    auto grid = makeGrid();
    attachTester(grid.get());
    grid->SetMaxRows(4);
    for (int row = 1; row <= 4; ++row) {
        grid->SetValue(ColId, row, row);
        grid->SetValue(ColName, row, u"n%1"_s.arg(row));
    }
    grid->Sort(1, 4, {{ColId, 2}});
    operation(*grid);
    grid->Sort(1, grid->MaxRows(), {{ColId, 1}});

    QStringList rows;
    for (int row = 1; row <= grid->MaxRows(); ++row) {
        rows.append(grid->Value(ColId, row) % u' ' % grid->Value(ColName, row) % u' '
                    % (grid->BackColor(row) == QColor(Qt::yellow) ? u'y' : u'.') % u' '
                    % (grid->RowHidden(row) ? u'h' : u'.'));
        QCOMPARE(grid->isRowHidden(row - 1), grid->RowHidden(row));
    }
    QCOMPARE(rows, expected);
}

void tst_GridSort::currentCellFollowsItsRow()
{
    auto grid = makeGrid();
    attachTester(grid.get());
    fill(*grid, {u"0|3|c|"_s, u"0|1|a|"_s, u"0|2|b|"_s});
    grid->setCurrentIndex(grid->model()->index(0, ColName - 1));
    grid->Sort(1, 3, {{ColId, 1}});
    QCOMPARE(grid->currentIndex().row(), 2);
    QCOMPARE(grid->currentIndex().data().toString(), u"c"_s);
}

QTEST_MAIN(tst_GridSort)
#include "tst_gridsort.moc"
