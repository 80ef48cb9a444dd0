#pragma once

#include "widgets/grid/vaSpread.h"

#include <QAbstractItemModelTester>

#include <memory>

using namespace Qt::StringLiterals;

// A grid of every cell kind, laid out as the screens lay out theirs, and one
// data-only column: the widgets' own tests need no screen for it.
struct TestColumns
{
    enum Column {
        ColMark = 1,   // check box
        ColId,         // integer
        ColName,       // text of up to 50
        ColBilled,     // number, grouped
        ColPaidDate,   // date
        ColPaidAmount, // yen from 0, grouped
        ColRemarks,    // text of up to 10
        ColShopId,     // data-only
        ColumnEnd,
        ColumnCount = ColumnEnd - 1
    };
    static constexpr int DataOnlyColumns = ColumnCount - ColShopId + 1;

    static QList<ColumnDef> displayed()
    {
        using Kind = CellKind;
        return {{.header = u" "_s, .width = 2.87, .kind = Kind::CheckBox},
                {.header = u"No."_s, .width = 3.87, .kind = Kind::Integer},
                {.header = u"氏名"_s, .width = 16.87, .kind = Kind::Text, .maxLength = 50},
                {.header = u"請求額"_s, .width = 8.5, .kind = Kind::Number, .grouping = true},
                {.header = u"入金日"_s, .width = 8.0, .kind = Kind::Date},
                {.header = u"入金額"_s, .width = 7.37, .kind = Kind::Yen, .minimum = 0, .grouping = true},
                {.header = u"備考"_s, .width = 8.25, .kind = Kind::Text, .maxLength = 10}};
    }
};

// With Qt's model tester failing the test on any broken model contract.
inline std::unique_ptr<vaSpread> makeTestGrid(int rows, QWidget *parent = nullptr)
{
    auto grid = std::make_unique<vaSpread>(parent);
    grid->setColumns(TestColumns::displayed(), TestColumns::DataOnlyColumns);
    new QAbstractItemModelTester(grid->model(), QAbstractItemModelTester::FailureReportingMode::QtTest, grid.get());
    grid->SetMaxRows(rows);
    return grid;
}
