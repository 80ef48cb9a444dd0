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
        const auto column = [](const QString &header, double width, CellKind kind) {
            ColumnDef def;
            def.header = header;
            def.width = width;
            def.kind = kind;
            return def;
        };
        ColumnDef name = column(u"氏名"_s, 16.87, CellKind::Text);
        name.maxLength = 50;
        ColumnDef billed = column(u"請求額"_s, 8.5, CellKind::Number);
        billed.grouping = true;
        ColumnDef paid = column(u"入金額"_s, 7.37, CellKind::Yen);
        paid.minimum = 0;
        paid.grouping = true;
        ColumnDef remarks = column(u"備考"_s, 8.25, CellKind::Text);
        remarks.maxLength = 10;
        return {column(u" "_s, 2.87, CellKind::CheckBox), column(u"No."_s, 3.87, CellKind::Integer), name, billed,
                column(u"入金日"_s, 8.0, CellKind::Date), paid, remarks};
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
