// Rows loaded in bulk read back as the same rows written cell by cell, and
// keep doing so through sorting, editing, cutting and a second load.
#include "widgets/grid/SpreadLoader.h"
#include "widgets/grid/vaSpread.h"

#include <QAbstractItemModel>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;
using Kind = CellKind;

namespace {

using Load = std::function<void(SpreadLoader &)>;

// A column of the kind, a text column and a data-only one, under
// Qt's model tester.
void setColumns(vaSpread &grid, Kind kind)
{
    ColumnDef columnDef;
    columnDef.kind = kind;
    columnDef.grouping = kind == Kind::Number;
    grid.setColumns({columnDef, ColumnDef{}}, 1);
    if (!grid.model()->findChild<QAbstractItemModelTester *>())
        new QAbstractItemModelTester(grid.model(), QAbstractItemModelTester::FailureReportingMode::QtTest, grid.model());
}

// What a cell shows and holds, every way the screens read it.
QString describe(const vaSpread &grid, int col, int row)
{
    const auto integer = grid.Integer(col, row);
    return grid.Text(col, row) + u'|' + grid.Value(col, row) + u'|' + QString::number(grid.Number(col, row), 'g', 17)
           + u'|' + (integer ? QString::number(*integer) : u"-"_s);
}

} // namespace

class TestGridLoad final : public QObject
{
    Q_OBJECT

private slots:
    void loadedAsWritten_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QVariant>("written"); // what SetText is given
        QTest::addColumn<Load>("load");        // the loader's way of the same value
        const QDate day(2014, 2, 3);
        const auto rows = [&](Kind kind, const QString &name) {
            const int k = int(kind);
            QTest::addRow("%s: shared text", qPrintable(name)) << k << QVariant(u"1,234"_s)
                                                               << Load([](SpreadLoader &l) { l.setText(1, u"1,234"_s); });
            QTest::addRow("%s: own text", qPrintable(name)) << k << QVariant(u"１２"_s)
                                                            << Load([](SpreadLoader &l) { l.copyText(1, u"１２"); });
            QTest::addRow("%s: empty text", qPrintable(name)) << k << QVariant(QString())
                                                              << Load([](SpreadLoader &l) { l.copyText(1, u""); });
            QTest::addRow("%s: own text appended", qPrintable(name))
                << k << QVariant(u"1,234.5"_s)
                << Load([](SpreadLoader &l) { l.copyAppended(1, [](QString &to) { to += u"1,234.5"; }); });
            QTest::addRow("%s: nothing appended", qPrintable(name))
                << k << QVariant(QString()) << Load([](SpreadLoader &l) { l.copyAppended(1, [](QString &) {}); });
            QTest::addRow("%s: fraction", qPrintable(name)) << k << QVariant(1234.5)
                                                            << Load([](SpreadLoader &l) { l.setNumber(1, 1234.5); });
            QTest::addRow("%s: integer beyond 2^53", qPrintable(name))
                << k << QVariant(qlonglong(9007199254740993)) << Load([](SpreadLoader &l) { l.setInteger(1, 9007199254740993); });
            QTest::addRow("%s: date", qPrintable(name)) << k << QVariant(u"2014/02/03"_s)
                                                        << Load([day](SpreadLoader &l) { l.setDate(1, day); });
            QTest::addRow("%s: date before 1900", qPrintable(name))
                << k << QVariant(u"1899/12/31"_s) << Load([](SpreadLoader &l) { l.setDate(1, QDate(1899, 12, 31)); });
            QTest::addRow("%s: no date", qPrintable(name)) << k << QVariant(QString())
                                                           << Load([](SpreadLoader &l) { l.setDate(1, std::nullopt); });
        };
        rows(Kind::Text, u"text"_s);
        rows(Kind::Number, u"number"_s);
        rows(Kind::Integer, u"integer"_s);
        rows(Kind::Date, u"date"_s);
        rows(Kind::CheckBox, u"check box"_s);
    }

    void loadedAsWritten()
    {
        QFETCH(int, kind);
        QFETCH(QVariant, written);
        QFETCH(Load, load);
        vaSpread byCell;
        vaSpread loaded;
        setColumns(byCell, Kind(kind));
        setColumns(loaded, Kind(kind));
        byCell.SetMaxRows(2);
        byCell.SetText(1, 2, written);
        {
            SpreadLoader loader(&loaded);
            loader.addRow();
            loader.addRow();
            load(loader);
        }
        QCOMPARE(loaded.MaxRows(), 2);
        QCOMPARE(loaded.model()->rowCount(), 2);
        QCOMPARE(describe(loaded, 1, 2), describe(byCell, 1, 2));
        QCOMPARE(describe(loaded, 1, 1), describe(byCell, 1, 1));
    }

    void loadedTextsThroughSortEditCutAndReload()
    {
        vaSpread grid;
        setColumns(grid, Kind::Text);
        const QStringList names{u"山田"_s, u"伊藤"_s, u"𠮷田"_s, u"阿部"_s, u"山田太郎"_s, u"佐藤"_s};
        // As the search loads: replacing whatever the grid held.
        const auto loadNames = [&](qsizetype count) {
            SpreadLoader loader(&grid, SpreadLoader::Mode::Replace);
            for (qsizetype i = 0; i < count; ++i) {
                loader.addRow();
                loader.copyText(1, names.at(i));
                loader.setText(2, QString::number(i));
            }
        };
        const auto column = [&](int col) {
            QStringList texts;
            for (int row = 1; row <= grid.MaxRows(); ++row)
                texts.append(grid.Value(col, row));
            return texts;
        };
        loadNames(names.size());
        QCOMPARE(column(1), names);

        // The row's other cells travel with its text.
        grid.Sort(1, grid.MaxRows(), {{1, 1}});
        QStringList sorted = names;
        std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
            return QStringView(a).toUcs4() < QStringView(b).toUcs4();
        });
        QCOMPARE(column(1), sorted);
        for (int row = 1; row <= grid.MaxRows(); ++row)
            QCOMPARE(grid.Value(2, row), QString::number(names.indexOf(grid.Value(1, row))));

        // An operator's edit replaces the loaded text; its neighbours keep theirs.
        QVERIFY(grid.model()->setData(grid.model()->index(1, 0), u"編集"_s, Qt::EditRole));
        sorted[1] = u"編集"_s;
        QCOMPARE(column(1), sorted);

        // Cutting the last sorted row puts the storage back in row order first.
        grid.SetMaxRows(grid.MaxRows() - 1);
        sorted.removeLast();
        QCOMPARE(column(1), sorted);
        for (int row = 1; row <= grid.MaxRows(); ++row) {
            if (grid.Value(1, row) != u"編集"_s)
                QCOMPARE(grid.Value(2, row), QString::number(names.indexOf(grid.Value(1, row))));
        }

        // A shorter second load leaves nothing of the first behind.
        loadNames(2);
        QCOMPARE(column(1), names.mid(0, 2));
        grid.SetMaxRows(4);
        QCOMPARE(column(1), (QStringList{names.at(0), names.at(1), QString(), QString()}));
        QCOMPARE(column(2), (QStringList{u"0"_s, u"1"_s, QString(), QString()}));
    }

    void sharedTextsAreKnownByContent_data()
    {
        QTest::addColumn<bool>("newStringPerRow"); // as an ODBC result hands them out
        QTest::addColumn<int>("col");
        QTest::newRow("one string per value") << false << 1;
        QTest::newRow("a new string per row") << true << 1;
        QTest::newRow("a new string per row, data-only column") << true << 3;
    }

    void sharedTextsAreKnownByContent()
    {
        QFETCH(bool, newStringPerRow);
        QFETCH(int, col);
        vaSpread grid;
        setColumns(grid, Kind::Text);
        const QStringList methods{u"銀行振込"_s, u"代金引換"_s, u"クレジットカード"_s};
        constexpr int Rows = 3000;
        const auto load = [&] {
            SpreadLoader loader(&grid, SpreadLoader::Mode::Replace);
            for (int row = 0; row < Rows; ++row) {
                loader.addRow();
                const QString &method = methods.at(row * 7 % methods.size());
                // A copy of its own: the characters live elsewhere each time.
                loader.setText(col, newStringPerRow ? QString(method.constData(), method.size()) : method);
            }
        };
        load();
        QCOMPARE(grid.SharedTexts(col), methods.size());
        for (const int row : {1, 2, 3, 1500, Rows})
            QCOMPARE(grid.Value(col, row), methods.at((row - 1) * 7 % methods.size()));
        // A second search keeps no entry of the first.
        load();
        QCOMPARE(grid.SharedTexts(col), methods.size());
    }

};

QTEST_MAIN(TestGridLoad)
#include "tst_gridload.moc"
