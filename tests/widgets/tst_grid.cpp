// The grid: the screen's own writes, the operator's editing
// through the real delegate and validators, painting suspension, and whole
// rows moving when a lent list sorts.
#include "GridFixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <numeric>

using K = TestColumns;
using Keys = QList<SortKey>;

struct Write { int col; QVariant written; QString value, text; };
// typed: keys, or "space", "click", "header", "model:" and a text.
struct Edit { int col; QString typed, value; int changes; };
struct Batch { int guards; bool addRows; int dataChanges, resets; };

// Rows a screen lends the grid, sorted by the whole number in the first key's
// column, as the receipt list's orders are; the grid's own cells never sort.
class LentRows final : public SpreadData
{
public:
    int rowCount() const override { return int(m_rows.size()); }
    void resize(int rows) override { m_rows.resize(std::size_t(rows), QVariantList(K::ColumnCount)); }
    QVariant cell(int column, int row) const override { return m_rows[std::size_t(row)][column]; }
    bool setCell(int column, int row, const QVariant &value) override
    {
        m_rows[std::size_t(row)][column] = value;
        return true;
    }
    std::vector<int> sortedRows(int first, int last, const QList<SortKey> &keys) const override
    {
        std::vector<int> order(std::size_t(last - first + 1));
        std::iota(order.begin(), order.end(), first);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a, keys) < key(b, keys); });
        return order;
    }
    void reorder(int first, const std::vector<int> &order) override
    {
        const std::vector<QVariantList> rows = m_rows;
        for (std::size_t i = 0; i < order.size(); ++i)
            m_rows[std::size_t(first) + i] = rows[std::size_t(order[i])];
    }
    // A row's place by the keys; descending keys count down.
    qlonglong key(int row, const QList<SortKey> &keys) const
    {
        return cell(keys[0].column, row).toLongLong() * (keys[0].order == 2 ? -1 : 1);
    }

private:
    std::vector<QVariantList> m_rows;
};

class tst_Grid final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writes_data()
    {
        QTest::addColumn<Write>("c");
        const int date = K::ColPaidDate, paid = K::ColPaidAmount;
        QTest::newRow("check box from a number") << Write{int(K::ColMark), QVariant(-1.0), u"1"_s, u"1"_s};
        QTest::newRow("grouped number") << Write{int(K::ColBilled), QVariant(1234567.0), u"1234567"_s, u"1,234,567"_s};
        QTest::newRow("ungrouped number") << Write{int(K::ColId), QVariant(u"1234567"_s), u"1234567"_s, u"1234567"_s};
        // The range is the operator's; the screen's own writes are stored.
        QTest::newRow("amount below zero") << Write{paid, QVariant(-5), u"-5"_s, u"-5"_s};
        QTest::newRow("yen from text") << Write{paid, QVariant(u"１,２３４.５"_s), u"1234"_s, u"1,234"_s};
        QTest::newRow("date") << Write{date, QVariant(u"2014/2/3"_s), u"2014/02/03"_s, u"2014/02/03"_s};
        QTest::newRow("no such date is blank") << Write{date, QVariant(u"2099/12/32"_s), {}, {}};
        const QString remark = u"0123456789AB"_s;
        QTest::newRow("text past the editor's length") << Write{int(K::ColRemarks), QVariant(remark), remark, remark};
        QTest::newRow("data-only column") << Write{int(K::ColShopId), QVariant(42), u"42"_s, u"42"_s};
    }

    void writes()
    {
        QFETCH(Write, c);
        const int col = c.col;
        auto grid = makeTestGrid(3);
        QSignalSpy change(grid.get(), &vaSpread::Change);
        const QVariant before = col == K::ColPaidDate ? QVariant(u"2000/01/01"_s) : QVariant(1);
        grid->SetValue(col, -1, before);
        grid->SetBlockValue(col, 3, col, 2, c.written);
        QCOMPARE(grid->Value(col, 1), before.toString());
        for (int row = 2; row <= 3; ++row) {
            QCOMPARE(grid->Value(col, row), c.value);
            QCOMPARE(grid->Text(col, row), c.text);
            if (col <= grid->MaxCols() && col != K::ColMark)
                QCOMPARE(grid->model()->index(row - 1, col - 1).data().toString(), c.text);
        }
        QCOMPARE(change.count(), 0);
    }

    void editing_data()
    {
        QTest::addColumn<Edit>("c");
        // Row 2 holds 2014/01/10 and 100 before each row.
        const int amount = K::ColPaidAmount, date = K::ColPaidDate;
        QTest::newRow("amount: no minus below zero") << Edit{amount, u"-5"_s, u"5"_s, 1};
        QTest::newRow("amount: no digit past the maximum") << Edit{amount, u"99999999999"_s, u"9999999999"_s, 1};
        QTest::newRow("amount: a fraction to even yen") << Edit{amount, u"12.5"_s, u"12"_s, 1};
        QTest::newRow("amount blanked") << Edit{amount, u" "_s, {}, 1};
        QTest::newRow("amount below zero handed to the model") << Edit{amount, u"model:-1"_s, u"100"_s, 0};
        QTest::newRow("date: no such day is refused") << Edit{date, u"2099/12/32"_s, u"2014/01/10"_s, 0};
        QTest::newRow("date: no such day handed to the model") << Edit{date, u"model:2099/12/32"_s, u"2014/01/10"_s, 0};
        QTest::newRow("remarks cut to the column's length")
            << Edit{int(K::ColRemarks), u"ABCDEFGHIJKLMNO"_s, u"ABCDEFGHIJ"_s, 1};
        QTest::newRow("check box: Space") << Edit{int(K::ColMark), u"space"_s, u"1"_s, 1};
        QTest::newRow("check box: click beside the box") << Edit{int(K::ColMark), u"click"_s, u"1"_s, 1};
        QTest::newRow("header click") << Edit{int(K::ColBilled), u"header"_s, {}, 0};
    }

    void editing()
    {
        QFETCH(Edit, c);
        const auto [col, typed, value, changes] = c;
        auto grid = makeTestGrid(3);
        grid->resize(1200, 300);
        grid->SetValue(K::ColPaidDate, 2, u"2014/01/10"_s);
        grid->SetValue(K::ColPaidAmount, 2, 100);
        grid->show();
        QVERIFY(QTest::qWaitForWindowActive(grid.get()));
        // The date column, eight units wide, shows a whole date in the grid's font.
        QVERIFY(grid->columnWidth(K::ColPaidDate - 1) > grid->fontMetrics().horizontalAdvance(u"2014/02/21"_s));
        QSignalSpy change(grid.get(), &vaSpread::Change);
        QSignalSpy click(grid.get(), &vaSpread::Click);
        const QModelIndex cell = grid->model()->index(1, col - 1);
        const QRect rect = grid->visualRect(cell);
        grid->setCurrentIndex(cell);

        if (typed == u"space") {
            QTest::keyClick(grid.get(), Qt::Key_Space);
        } else if (typed == u"click") {
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(rect.left() + 2, rect.center().y()));
        } else if (typed == u"header") {
            QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(rect.center().x(), 5));
        } else if (typed.startsWith(u"model:")) {
            QVERIFY(!grid->model()->setData(cell, typed.mid(6)));
        } else {
            QTest::keyClicks(grid.get(), typed.left(1)); // the first key opens the editor, replacing the value
            QPointer<QLineEdit> editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
            QVERIFY(editor);
            QTest::keyClicks(editor, typed.mid(1));
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

    void suspensionAnnouncesOnce_data()
    {
        QTest::addColumn<Batch>("c");
        QTest::newRow("painting on: every write") << Batch{0, false, 30, 0};
        QTest::newRow("suspended values") << Batch{1, false, 1, 0};
        QTest::newRow("rows added under nested guards") << Batch{2, true, 0, 1};
    }

    void suspensionAnnouncesOnce()
    {
        QFETCH(Batch, c);
        const auto [guards, addRows, dataChanges, resets] = c;
        auto grid = makeTestGrid(10);
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
        inner.reset(); // the inner guard of a nested batch must not resume painting
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

    void sortMovesWholeRows_data()
    {
        QTest::addColumn<Keys>("keys");
        QTest::addColumn<bool>("suspended");
        QTest::newRow("numbers descending") << Keys{{K::ColId, 2}} << false;
        QTest::newRow("while suspended") << Keys{{K::ColBilled, 1}} << true;
    }

    // The lent list puts its rows in order; the grid's colours, hidden rows
    // and current cell go with them. Keys drawn from small sets tie often.
    void sortMovesWholeRows()
    {
        QFETCH(Keys, keys);
        QFETCH(bool, suspended);
        QRandomGenerator random(20140221);
        const int rows = 600;
        LentRows lent; // outlives the grid
        auto grid = makeTestGrid(0);
        grid->lendRows(&lent);
        std::optional<ReDrawGuard> fill(grid.get()); // the model tester walks the sheet on every announcement
        grid->SetMaxRows(rows);
        for (int row = 1; row <= rows; ++row) {
            grid->SetValue(K::ColMark, row, random.bounded(2));
            grid->SetValue(K::ColId, row, random.bounded(-1, 5));
            grid->SetValue(K::ColBilled, row, random.bounded(4));
            grid->SetValue(K::ColShopId, row, row);
            if (row % 3 == 0)
                grid->SetBackColor(row, QColor(255, 200, row % 256));
        }
        fill.reset();
        for (int row = 7; row <= rows; row += 7)
            grid->SetRowHidden(row, true); // painting on: the view follows row by row
        auto rowState = [&](int row) -> QString {
            QString state;
            for (const int col : {K::ColMark, K::ColId, K::ColBilled, K::ColShopId})
                state += grid->Value(col, row) + u'|';
            const QColor color = grid->BackColor(row);
            return state + (color.isValid() ? color.name() : u"white"_s) + (grid->RowHidden(row) ? u"h"_s : u"."_s)
                   + (grid->isRowHidden(row - 1) ? u"h"_s : u"."_s);
        };
        QStringList before; // by the number in the data-only column
        for (int row = 1; row <= rows; ++row)
            before += rowState(row);

        grid->setCurrentIndex(grid->model()->index(99, 0));
        if (suspended)
            fill.emplace(grid.get());
        grid->Sort(1, rows, keys);
        fill.reset();
        // Whole rows, in the key's order, ties in their old order.
        const QList<SortKey> zeroBased{{keys[0].column - 1, keys[0].order}};
        QStringList sorted, expected;
        for (int row = 1; row <= rows; ++row) {
            sorted += rowState(row);
            expected += before[grid->Value(K::ColShopId, row).toInt() - 1];
            const auto place = [&](int at) {
                return std::pair(lent.key(at - 1, zeroBased), grid->Value(K::ColShopId, at).toInt());
            };
            QVERIFY(row == 1 || place(row - 1) < place(row));
        }
        QCOMPARE(sorted, expected);
        if (!suspended) // a reset forgets the current cell
            QCOMPARE(grid->Value(K::ColShopId, grid->currentIndex().row() + 1), u"100"_s);
    }
};

QTEST_MAIN(tst_Grid)
#include "tst_grid.moc"
