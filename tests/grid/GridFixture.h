#pragma once

#include "widgets/grid/vaSpread.h"

#include <QAbstractItemModelTester>

#include <memory>

using namespace Qt::StringLiterals;

// A grid laid out like the receipt list, in miniature: one column of each
// kind the screens use, a hidden flag column and one data-only column.
namespace GridFixture {

enum Column {
    ColMark = 1,   // check box
    ColId,         // number, no grouping
    ColName,       // text, at most 10 characters
    ColBilled,     // number, grouped
    ColPaidDate,   // date
    ColPaidAmount, // number from 0, grouped
    ColFlag,       // number, hidden
    ColShop,       // data only
};

inline std::unique_ptr<vaSpread> makeGrid()
{
    using Kind = vaSpread::CellKind;
    auto grid = std::make_unique<vaSpread>();
    vaSpread::ColumnSpec mark;
    mark.header = u" "_s;
    mark.width = 2.87;
    mark.kind = Kind::CheckBox;
    vaSpread::ColumnSpec id;
    id.header = u"No."_s;
    id.width = 3.87;
    id.kind = Kind::Number;
    vaSpread::ColumnSpec name;
    name.header = u"氏名"_s;
    name.width = 16.87;
    name.maxLength = 10;
    vaSpread::ColumnSpec billed;
    billed.header = u"請求額"_s;
    billed.kind = Kind::Number;
    billed.grouping = true;
    vaSpread::ColumnSpec paidDate;
    paidDate.header = u"入金日"_s;
    paidDate.width = 8.0;
    paidDate.kind = Kind::Date;
    vaSpread::ColumnSpec paidAmount;
    paidAmount.header = u"入金額"_s;
    paidAmount.width = 7.37;
    paidAmount.kind = Kind::Number;
    paidAmount.minimum = 0;
    paidAmount.grouping = true;
    vaSpread::ColumnSpec flag;
    flag.header = u"更新フラグ"_s;
    flag.width = 0;
    flag.kind = Kind::Number;
    flag.hidden = true;
    grid->setColumns({mark, id, name, billed, paidDate, paidAmount, flag}, 1);
    return grid;
}

inline void attachTester(vaSpread *grid)
{
    new QAbstractItemModelTester(grid->model(), QAbstractItemModelTester::FailureReportingMode::QtTest, grid);
}

} // namespace GridFixture
