// The receipt list's payment statement import: choosing the file, reading and
// matching it against the listed rows, the preview, and writing the grid.
#include "screens/receipt_list/frmKensaku.h"

#include "core/data/CellText.h"
#include "core/data/DbConnection.h"
#include "core/import/PayerNames.h"
#include "core/receipt/SharedState.h"
#include "core/settings/SuiteSettings.h"
#include "core/import/ListedOrder.h"
#include "core/import/PaymentImport.h"
#include "screens/import/StatementOpener.h"
#include "screens/import/frmTorikomi.h"
#include "widgets/MessageService.h"
#include "widgets/WaitCursor.h"
#include "widgets/grid/vaSpread.h"

#include <QAction>
#include <QFileDialog>
#include <QPointer>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The bank fee a payment may be short by and still pay its order: FeeTolerance
// in section Parlow6 of parlow.ini, in yen; 0 (off) when missing or no number.
qint64 feeTolerance()
{
    bool ok = false;
    const qint64 yen = ReadSuiteIni(u"Parlow6"_s, u"FeeTolerance"_s, u"0"_s).trimmed().toLongLong(&ok);
    return ok ? std::clamp<qint64>(yen, 0, 100'000) : 0;
}

} // namespace

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
                           sprNyukin->Number(ColPaidAmount, row), sprNyukin->Value(ColTel, row), sprNyukin->Value(ColTel1, row),
                           sprNyukin->Value(ColCompany, row)});
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
    std::optional<PaymentImport> import = StatementOpener::Open(this, path, ListedOrders(), refusal, feeTolerance(),
                                                                PayerNames::Load(m_session.connection()));
    if (!import) {
        if (!refusal.isEmpty())
            MessageService::Exclamation(this, refusal, windowTitle());
        return;
    }

    QPointer<frmTorikomi> preview;
    {
        // Filling the preview with a large statement's lines takes a moment on this thread.
        const WaitCursor wait;
        preview = new frmTorikomi(this, *import, path);
    }
    const int answer = preview->exec();
    if (preview)
        preview->deleteLater();
    if (answer != QDialog::Accepted)
        return;

    // Taught at 登録, so a cancelled registration teaches nothing.
    for (const PayerNames::Lesson &lesson : import->lessons()) {
        m_payerLessons.removeIf([&](const PayerNames::Lesson &known) { return known.orderId == lesson.orderId; });
        m_payerLessons.append(lesson);
    }

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

void frmKensaku::TeachPayerNames(DbConnection &connection, const QList<ReceiptRegistration::Receipt> &receipts)
{
    QList<PayerNames::Lesson> lessons;
    for (const ReceiptRegistration::Receipt &receipt : receipts) {
        for (const PayerNames::Lesson &lesson : std::as_const(m_payerLessons)) {
            if (receipt.id && *receipt.id == lesson.orderId)
                lessons.append(lesson);
        }
    }
    PayerNames::Write(connection, lessons, QDate::currentDate().toString(u"yyyy/MM/dd"_s));
}

void frmKensaku::ForgetPayerNames(const QList<ReceiptRegistration::Receipt> &receipts)
{
    m_payerLessons.removeIf([&](const PayerNames::Lesson &lesson) {
        return std::any_of(receipts.cbegin(), receipts.cend(), [&](const ReceiptRegistration::Receipt &receipt) {
            return receipt.id && *receipt.id == lesson.orderId;
        });
    });
}
