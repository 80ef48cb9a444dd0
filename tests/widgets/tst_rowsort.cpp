// Sorting the receipt list's grid against a plain stable sort of the same
// rows, and everything a row carries going with it.
#include "GridFixture.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <numeric>

using K = frmKensaku;
using Keys = QList<vaSpread::SortKey>;

class tst_RowSort final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matchesStableReference_data();
    void matchesStableReference();
};

void tst_RowSort::matchesStableReference_data()
{
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<int>("row1");
    QTest::addColumn<int>("row2");
    QTest::addColumn<bool>("suspended");

    QTest::newRow("texts ascending") << Keys{{K::ColName, 1}} << 1 << 600 << false;
    QTest::newRow("texts descending") << Keys{{K::ColName, 2}} << 1 << 600 << false;
    QTest::newRow("numbers descending") << Keys{{K::ColId, 2}} << 1 << 600 << false;
    QTest::newRow("check, text, number") << Keys{{K::ColMark, 2}, {K::ColName, 1}, {K::ColId, 2}} << 1 << 600
                                         << false;
    QTest::newRow("date, number, text; middle rows given high to low")
        << Keys{{K::ColPaidDate, 1}, {K::ColBilled, 1}, {K::ColName, 2}} << 550 << 51 << false;
    QTest::newRow("dates descending while suspended") << Keys{{K::ColPaidDate, 2}} << 1 << 600 << true;
}

// Rows drawn from small sets, so keys tie often and texts share long
// prefixes; texts mix characters on both sides of the surrogate range.
void tst_RowSort::matchesStableReference()
{
    QFETCH(Keys, keys);
    QFETCH(int, row1);
    QFETCH(int, row2);
    QFETCH(bool, suspended);

    const QStringList pieces = {u"顧客"_s, u"顧客顧客"_s, u"a"_s, u"ab"_s, u"ab"_s + QChar(u'\0'), u"𠀋"_s, u"Ａ"_s,
                                u"ｱ"_s, QString()};
    const QStringList numbers = {QString(), u"-1"_s, u"0"_s, u"0.5"_s, u"10"_s, u"-1e9"_s};
    const QStringList dates = {QString(), u"2014/02/21"_s, u"1999/12/31"_s, u"2099/12/31"_s};
    QRandomGenerator random(20140221);
    auto pick = [&](const QStringList &from) { return from[random.bounded(int(from.size()))]; };

    const int rows = 600;
    auto grid = makeReceiptGrid(0);
    std::optional<ReDrawGuard> fill(grid.get()); // the model tester walks the sheet on every announcement
    grid->SetMaxRows(rows);
    for (int row = 1; row <= rows; ++row) {
        QString name;
        for (int n = random.bounded(1, 5); n > 0; --n)
            name += pick(pieces);
        grid->SetValue(K::ColMark, row, random.bounded(2));
        grid->SetValue(K::ColId, row, pick(numbers));
        grid->SetValue(K::ColName, row, name);
        grid->SetValue(K::ColBilled, row, pick(numbers));
        grid->SetValue(K::ColPaidDate, row, pick(dates));
        grid->SetValue(K::ColShopId, row, row);
        if (row % 3 == 0)
            grid->SetBackColor(row, QColor(255, 200, row % 256));
        grid->SetRowHidden(row, row % 7 == 0);
    }
    fill.reset();
    auto rowState = [&](int row) -> QString {
        QString state;
        for (const int col : {K::ColMark, K::ColId, K::ColName, K::ColBilled, K::ColPaidDate, K::ColShopId})
            state += grid->Value(col, row) + u'|';
        const QColor color = grid->BackColor(row);
        return state + (color.isValid() ? color.name() : u"white"_s) + (grid->RowHidden(row) ? u"h"_s : u"."_s)
               + (grid->isRowHidden(row - 1) ? u"h"_s : u"."_s);
    };
    auto compare = [&](int col, int a, int b) {
        const QString x = grid->Value(col, a), y = grid->Value(col, b);
        if (col == K::ColName) // code-point order
            return x.toUcs4() < y.toUcs4() ? -1 : (y.toUcs4() < x.toUcs4() ? 1 : 0);
        if (x.isEmpty() || y.isEmpty())
            return int(!x.isEmpty()) - int(!y.isEmpty());
        if (col == K::ColPaidDate)
            return x.compare(y);
        return x.toDouble() < y.toDouble() ? -1 : (y.toDouble() < x.toDouble() ? 1 : 0);
    };
    std::vector<int> order(rows);
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin() + std::min(row1, row2) - 1, order.begin() + std::max(row1, row2),
                     [&](int a, int b) {
                         for (const vaSpread::SortKey &key : keys) {
                             const int c = compare(key.column, a, b);
                             if (c != 0)
                                 return key.order == 2 ? c > 0 : c < 0;
                         }
                         return false;
                     });
    QStringList expected;
    for (const int row : order)
        expected += rowState(row);

    {
        std::optional<ReDrawGuard> guard;
        if (suspended)
            guard.emplace(grid.get());
        grid->Sort(row1, row2, keys);
    }
    QStringList sorted;
    for (int row = 1; row <= rows; ++row)
        sorted += rowState(row);
    QCOMPARE(sorted, expected);

    // Cut and grown again, the sorted rows kept stay whole and the rest come back blank.
    grid->SetMaxRows(rows / 2);
    grid->SetMaxRows(rows);
    for (int row = 1; row <= rows; ++row)
        QCOMPARE(rowState(row), row <= rows / 2 ? expected[row - 1] : u"0||||||white.."_s);
}

QTEST_MAIN(tst_RowSort)
#include "tst_rowsort.moc"
