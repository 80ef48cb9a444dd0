// Marking, editing, sorting and registering receipts.
#include "screens/receipt_list/frmKensaku.h"

#include "widgets/MessageService.h"
#include "core/receipt/SharedState.h"
#include "core/data/DbConnection.h"
#include "core/data/DbTransaction.h"
#include "core/data/Rounding.h"
#include "core/data/SqlCatalog.h"
#include "widgets/WaitCursor.h"
#include "widgets/grid/vaSpread.h"
#include "core/receipt/ReceiptRules.h"
#include "screens/receipt_list/ReceiptColors.h"

#include <QPushButton>
#include <QSet>

using namespace Qt::StringLiterals;

void frmKensaku::sprNyukin_Change(int col, int row)
{
    // A hand edit of the date or amount always asks for the confirmation mail.
    if (col == ColPaidDate || col == ColPaidAmount) {
        sprNyukin->SetValue(ColUpdateFlag, row, 1);
        sprNyukin->SetValue(ColMailFlag, row, 1);
    }
}

void frmKensaku::sprNyukin_Click(int col, int row)
{
    if (row != 0 || col < 1)
        return;
    if (col == mlngSortCol)
        mintSortOrder = mintSortOrder == 1 ? 2 : 1;
    mlngSortCol = col;
    ReDrawGuard noPaint(sprNyukin);
    SortList();
}

void frmKensaku::SortList()
{
    SortByColumn(mlngSortCol);
}

void frmKensaku::SortByColumn(int column)
{
    ReDrawGuard noPaint(sprNyukin);
    const int rows = sprNyukin->MaxRows();

    // Aged rows are remembered by order id; a set keeps this linear.
    QSet<QString> yellowIds;
    QSet<QString> pinkIds;
    for (int row = 1; row <= rows; ++row) {
        const QColor color = sprNyukin->BackColor(row);
        if (color == ReceiptColors::Pink)
            pinkIds.insert(sprNyukin->Text(ColId, row));
        else if (color == ReceiptColors::Yellow)
            yellowIds.insert(sprNyukin->Text(ColId, row));
    }

    if (rows > 0)
        sprNyukin->Sort(1, rows, {{column, mintSortOrder}});
    mlngSortCol = column;

    sprNyukin->SetBackColor(-1, ReceiptColors::White);
    if (yellowIds.isEmpty() && pinkIds.isEmpty())
        return;
    for (int row = 1; row <= rows; ++row) {
        const QString id = sprNyukin->Text(ColId, row);
        if (yellowIds.contains(id))
            sprNyukin->SetBackColor(row, ReceiptColors::Yellow);
        else if (pinkIds.contains(id))
            sprNyukin->SetBackColor(row, ReceiptColors::Pink);
    }
}

void frmKensaku::cmdAllSelect_Click()
{
    markVisibleRows(1);
}

void frmKensaku::cmdAllEject_Click()
{
    markVisibleRows(0);
}

void frmKensaku::markVisibleRows(int mark)
{
    // Rows hidden by the list filter keep their marks.
    const int rows = sprNyukin->MaxRows();
    if (rows < 1)
        return;
    ReDrawGuard noPaint(sprNyukin);
    for (int row = 1; row <= rows; ++row) {
        if (!sprNyukin->RowHidden(row))
            sprNyukin->SetValue(ColMark, row, mark);
    }
}

namespace {

// Fills one marked row with the bulk date and its billed amount.
void fillReceipt(vaSpread *grid, int row, const QString &date, bool mail)
{
    const qint64 amount = qint64(RoundHalfEven(grid->Number(frmKensaku::ColBilled, row)));
    grid->SetText(frmKensaku::ColPaidAmount, row, amount);
    grid->SetText(frmKensaku::ColPaidDate, row, date);
    grid->SetValue(frmKensaku::ColUpdateFlag, row, 1);
    if (mail)
        grid->SetValue(frmKensaku::ColMailFlag, row, 1);
}

bool isMarked(const vaSpread *grid, int row)
{
    return grid->Number(frmKensaku::ColMark, row) != 0;
}

} // namespace

void frmKensaku::ApplyDateToMatching()
{
    ReDrawGuard noPaint(sprNyukin);
    const int rows = sprNyukin->MaxRows();
    for (int row = 1; row <= rows; ++row) {
        if (!isMarked(sprNyukin, row)
            || sprNyukin->Value(ColMethod, row).compare(pstrSiharai, Qt::CaseInsensitive) != 0)
            continue;
        fillReceipt(sprNyukin, row, pstrDate, pbytMailSet != 0);
        sprNyukin->SetValue(ColMark, row, 0);
    }
}

void frmKensaku::ApplyDateToAllMarked()
{
    ReDrawGuard noPaint(sprNyukin);
    const int rows = sprNyukin->MaxRows();
    for (int row = 1; row <= rows; ++row) {
        if (isMarked(sprNyukin, row))
            fillReceipt(sprNyukin, row, pstrDate, pbytMailSet != 0);
    }
    cmdAllEject_Click();
}

void frmKensaku::cmdUpdate_Click()
{
    if (!cmdUpdate->isEnabled())
        return;

    try {
        const WaitCursor wait;
        DbConnection &connection = CurrentConnection();
        DbTransaction transaction(connection);
        const int rows = sprNyukin->MaxRows();
        for (int row = 1; row <= rows; ++row) {
            if (sprNyukin->Number(ColUpdateFlag, row) == 0)
                continue;
            const qint64 id = qint64(RoundHalfEven(sprNyukin->Number(ColId, row)));
            const qint64 amount = qint64(RoundHalfEven(sprNyukin->Number(ColPaidAmount, row)));
            const bool mail = sprNyukin->Number(ColMailFlag, row) != 0;
            connection.Execute(SqlCatalog::RegisterReceipt(sprNyukin->Text(ColPaidDate, row), amount, mail, id));
        }
        transaction.Commit();
    } catch (const DbError &error) {
        MessageService::Critical(this, error.description(), windowTitle());
        return;
    }

    const int rows = sprNyukin->MaxRows();
    if (rows > 0) {
        ReDrawGuard noPaint(sprNyukin);
        sprNyukin->SetBlockValue(ColUpdateFlag, 1, ColUpdateFlag, rows, 0);
    }
}
