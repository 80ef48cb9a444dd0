// The receipt list's payment statement import: choosing the file, reading and
// matching it against the listed rows, the preview, and writing the grid.
#include "screens/receipt_list/frmKensaku.h"

#include "core/data/CellText.h"
#include "core/import/ListedOrder.h"
#include "core/import/PaymentImport.h"
#include "screens/import/StatementOpener.h"
#include "screens/import/frmTorikomi.h"
#include "widgets/MessageService.h"
#include "widgets/grid/vaSpread.h"

#include <QAction>
#include <QFileDialog>
#include <QPointer>

#include <optional>

using namespace Qt::StringLiterals;

QList<ListedOrder> frmKensaku::ListedOrders() const
{
    // Hidden rows count: the filter only narrows what is shown.
    const int rows = sprNyukin->MaxRows();
    QList<ListedOrder> orders;
    orders.reserve(rows);
    for (int row = 1; row <= rows; ++row) {
        // A row without an exact order number could never be registered.
        if (const std::optional<qint64> id = sprNyukin->Integer(ColId, row))
            orders.append({row, *id, sprNyukin->Value(ColName, row), sprNyukin->Number(ColBilled, row),
                           sprNyukin->Number(ColPaidAmount, row)});
    }
    return orders;
}

void frmKensaku::mnuTorikomi_Click()
{
    if (!mnuTorikomi->isEnabled())
        return;
    if (sprNyukin->MaxRows() < 1) {
        MessageService::Information(this, u"先に「表示」で入金対象を一覧にしてください。"_s, windowTitle());
        return;
    }
    // Qt's own dialog behaves the same everywhere and takes a typed path and Enter.
    QFileDialog chooser(this, u"入金データ取込"_s);
    chooser.setObjectName(u"dlgTorikomiFile"_s);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setNameFilters({u"入金データ (*.csv *.txt *.dat)"_s, u"すべてのファイル (*)"_s});
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return;
    ImportStatement(chooser.selectedFiles().constFirst());
}

void frmKensaku::ImportStatement(const QString &path)
{
    QString refusal;
    std::optional<PaymentImport> import = StatementOpener::Open(this, path, ListedOrders(), refusal);
    if (!import) {
        if (!refusal.isEmpty())
            MessageService::Exclamation(this, refusal, windowTitle());
        return;
    }

    QPointer<frmTorikomi> preview = new frmTorikomi(this, *import, path);
    const int answer = preview->exec();
    if (preview)
        preview->deleteLater();
    if (answer != QDialog::Accepted)
        return;

    // As a hand edit would: date, amount and both flags; the mark shows the operator what was filled.
    ReDrawGuard noPaint(sprNyukin);
    for (const PaymentImport::Receipt &receipt : import->receipts()) {
        sprNyukin->SetText(ColPaidDate, receipt.row, CellText::dateText(receipt.julianDay));
        sprNyukin->SetText(ColPaidAmount, receipt.row, receipt.paidAmount);
        sprNyukin->SetValue(ColUpdateFlag, receipt.row, 1);
        sprNyukin->SetValue(ColMailFlag, receipt.row, 1);
        sprNyukin->SetValue(ColMark, receipt.row, 1);
    }
}
