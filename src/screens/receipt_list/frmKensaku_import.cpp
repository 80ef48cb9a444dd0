// The receipt list's payment statement import: choosing the file, reading and
// matching it against the listed rows, the preview, and writing the grid.
#include "screens/receipt_list/frmKensaku.h"

#include "core/data/FieldValue.h"
#include "core/data/DbConnection.h"
#include "core/data/DbTransaction.h"
#include "core/data/QtSqlConnection.h"
#include "core/data/Rounding.h"
#include "core/data/SqlCatalog.h"
#include "import/ListedOrder.h"
#include "import/PaymentImport.h"
#include "screens/import/StatementOpener.h"
#include "screens/import/frmTorikomi.h"
#include "widgets/MessageService.h"
#include "widgets/WaitCursor.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QStatusBar>
#include <QScopeGuard>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// How long the import's own reads may wait for another program's lock: the
// import goes on without what they read rather than hold the screen for the
// lock timeout.
constexpr int ShortWaitMs = 300;

void restoreLockTimeout(DbConnection &connection, const SuiteSettings &settings)
{
    try {
        connection.SetLockTimeout(settings.lockTimeoutMs(QtSqlConnection::DefaultLockTimeoutMs));
    } catch (const DbError &) {
        // The connection's next statement tells the operator if it is unusable.
    }
}

// The taught names, read with a short wait for locks; the connection's own
// wait is restored afterwards.
PayerNames loadPayerNames(DbConnection &connection, const SuiteSettings &settings)
{
    const auto restore = qScopeGuard([&connection, &settings] { restoreLockTimeout(connection, settings); });
    try {
        connection.SetLockTimeout(ShortWaitMs);
    } catch (const DbError &error) {
        PayerNames names;
        names.setUnavailable(error.description(), PayerNames::Learning::Unreadable);
        return names;
    }
    return PayerNames::Load(connection);
}

// The orders, paid ones included, that the 取消 lines' keys may name: an
// earlier import's payment is off the list once registered. A failure costs
// the naming only.
QList<ListedOrder> registeredOrders(DbConnection &connection, const SuiteSettings &settings,
                                    const MatchKeys::Found &keys)
{
    if (keys.orderNumbers.isEmpty() && keys.phones.isEmpty())
        return {};
    const auto restore = qScopeGuard([&connection, &settings] { restoreLockTimeout(connection, settings); });
    QStringList phones;
    for (const qint64 phone : keys.phones)
        phones << MatchKeys::phoneDigits(phone);
    QList<ListedOrder> orders;
    try {
        connection.SetLockTimeout(ShortWaitMs);
        const auto records =
            connection.Execute(SqlCatalog::RegisteredOrders(keys.orderNumbers, phones, connection.Dialect()));
        for (; !records->Eof(); records->MoveNext())
            orders.append({0, records->IntegerAt(0).value_or(0), records->TextAt(1),
                           YenOf(records->NumberAt(4)).value_or(0), YenOf(records->NumberAt(5)).value_or(0),
                           records->TextAt(2), records->TextAt(3)});
        records->Close();
    } catch (const DbError &) {
        return {};
    }
    return orders;
}

} // namespace

QList<ListedOrder> frmKensaku::ListedOrders() const
{
    // Hidden rows count: the filter only narrows what is shown.
    QList<ListedOrder> orders;
    orders.reserve(m_orders.size());
    for (int row = 0; row < m_orders.size(); ++row) {
        const OrderList::Row &order = m_orders.at(row);
        // A row without an exact order number could never be registered.
        if (order.id)
            orders.append({row + 1, *order.id, order.name, order.billed.value_or(0), order.paidAmount.value_or(0),
                           order.tel, order.tel1, order.company, order.method});
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
    QString toleranceRefused;
    const qint64 tolerance = PaymentMatcher::feeToleranceOf(
        m_settings.ini(u"FeeTolerance"_s, QString()), toleranceRefused);
    QString refusal;
    std::optional<PaymentImport> import = StatementOpener::Open(this, path, ListedOrders(), refusal, tolerance,
                                                                loadPayerNames(m_session.connection(), m_settings),
                                                                m_settings, m_nameIndex);
    if (!import) {
        if (!refusal.isEmpty())
            MessageService::Exclamation(this, refusal, windowTitle());
        return;
    }
    m_nameIndex = import->matcher().nameIndex();
    import->setNote(toleranceRefused);
    import->nameRegistered(registeredOrders(m_session.connection(), m_settings, import->unnamedCancelKeys()));

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
        sprNyukin->SetText(ColPaidDate, receipt.row, FieldValue::FormatDate(receipt.date));
        sprNyukin->SetText(ColPaidAmount, receipt.row, receipt.paidAmount);
        sprNyukin->SetValue(ColUpdateFlag, receipt.row, 1);
        sprNyukin->SetValue(ColMailFlag, receipt.row, 1);
        sprNyukin->SetValue(ColMark, receipt.row, 1);
    }
    // What the history keeps of each row's source: the file, its line(s) and their status.
    QHash<int, QStringList> linesOf;
    for (int i = 0; i < import->lineCount(); ++i) {
        if (!import->isTicked(i))
            continue;
        for (const int order : import->targets(i))
            linesOf[import->matcher().orders().at(order).row].append(
                u"%1行目 %2"_s.arg(import->line(i).lineNumber)
                    .arg(PaymentMatcher::statusText(import->result(i).status)));
    }
    const QString file = QFileInfo(path).fileName();
    for (auto row = linesOf.cbegin(); row != linesOf.cend(); ++row)
        m_orders.at(row.key() - 1).source = file + u'\t' + row.value().join(u", "_s);
}

void frmKensaku::TeachPayerNames(const QList<ReceiptRegistration::Receipt> &receipts)
{
    QList<PayerNames::Lesson> lessons;
    for (const ReceiptRegistration::Receipt &receipt : receipts) {
        for (const PayerNames::Lesson &lesson : std::as_const(m_payerLessons)) {
            if (receipt.id && *receipt.id == lesson.orderId)
                lessons.append(lesson);
        }
    }
    // Taught or refused, a lesson is not tried again.
    m_payerLessons.removeIf([&lessons](const PayerNames::Lesson &lesson) {
        return std::any_of(lessons.cbegin(), lessons.cend(),
                           [&lesson](const PayerNames::Lesson &taught) { return taught.orderId == lesson.orderId; });
    });
    if (lessons.isEmpty())
        return;
    // After the payments' commit, in a transaction of its own: a table that
    // refuses the names costs the lessons, never the registration.
    try {
        DbConnection &connection = m_session.connection();
        DbTransaction transaction(connection);
        PayerNames::Write(connection, lessons, QDate::currentDate().toString(u"yyyy/MM/dd"_s));
        transaction.Commit();
    } catch (const DbError &error) {
        statusBar()->showMessage(u"入金は登録しましたが、振込依頼人名を学習できませんでした: "_s + error.description());
    }
}
