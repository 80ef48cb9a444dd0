#pragma once

#include "screens/receipt_list/frmKensaku.h"
#include "widgets/grid/vaSpread.h"

#include <QAbstractItemModelTester>

using namespace Qt::StringLiterals;

// The receipt list's own grid, its columns as the screen lays them out, with
// Qt's model tester failing the test on any broken model contract.
inline std::unique_ptr<vaSpread> makeReceiptGrid(int rows, QWidget *parent = nullptr)
{
    auto grid = std::make_unique<vaSpread>(parent);
    grid->setColumns(frmKensaku::GridColumns(), frmKensaku::DataOnlyColumns);
    new QAbstractItemModelTester(grid->model(), QAbstractItemModelTester::FailureReportingMode::QtTest, grid.get());
    grid->SetMaxRows(rows);
    return grid;
}
