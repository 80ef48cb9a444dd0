// Marking, editing, sorting and registering receipts.
#include "screens/receipt_list/frmKensaku.h"

#include "widgets/MessageService.h"
#include "core/data/DbConnection.h"
#include "core/data/CellText.h"
#include "core/data/FieldValue.h"
#include "widgets/WaitCursor.h"
#include "screens/receipt_list/ReceiptColors.h"

#include <QPushButton>
#include <QStatusBar>
#include <QHash>

#include <limits>

using namespace Qt::StringLiterals;

void frmKensaku::sprNyukin_Change(int col, int row)
{
    // A hand edit of the date or amount always asks for the confirmation mail.
    if (col == ColPaidDate || col == ColPaidAmount) {
        sprNyukin->SetValue(ColUpdateFlag, row, 1);
        sprNyukin->SetValue(ColMailFlag, row, 1);
        m_orders.at(row - 1).source.clear(); // typed
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

void frmKensaku::SortByColumn(int column)
{
    ReDrawGuard noPaint(sprNyukin);
    const int rows = sprNyukin->MaxRows();
    // The grid's colours travel with their rows through the sort.
    sprNyukin->Sort(1, rows, {{column, mintSortOrder}});
    mlngSortCol = column;

    // Aged rows are yellow or pink again by order id, every other row white.
    // The exact number stands for the id's text, a blank id for all blank
    // ones; an id seen both yellow and pink is yellow again.
    const auto idOf = [this](int row) {
        return m_orders.at(row - 1).id.value_or(std::numeric_limits<qint64>::min());
    };
    std::vector<std::pair<int, QColor>> aged;
    bool idsAscend = true;
    for (int row = 1; row <= rows; ++row) {
        const QColor color = sprNyukin->BackColor(row);
        if (color == ReceiptColors::Yellow || color == ReceiptColors::Pink)
            aged.emplace_back(row, color);
        idsAscend = idsAscend && (row == 1 || idOf(row - 1) < idOf(row));
    }
    sprNyukin->SetBackColor(-1, ReceiptColors::White);
    // Ids that ascend are each one row's, whose colour is already its id's.
    // With the hash on every sort, and every sort done even when the rows
    // were in order, F1 took 1.28 x the shell's CPU time; 1.21 x without.
    if (idsAscend) {
        for (const auto &[row, color] : aged)
            sprNyukin->SetBackColor(row, color);
        return;
    }
    QHash<qint64, QColor> byId;
    for (const auto &[row, color] : aged) {
        if (color == ReceiptColors::Yellow || !byId.contains(idOf(row)))
            byId.insert(idOf(row), color);
    }
    for (int row = 1; row <= rows && !byId.isEmpty(); ++row) {
        if (const auto color = byId.constFind(idOf(row)); color != byId.cend())
            sprNyukin->SetBackColor(row, *color);
    }
}

void frmKensaku::markVisibleRows(int mark)
{
    // Rows hidden by the list filter keep their marks.
    ReDrawGuard noPaint(sprNyukin);
    for (int row = 1; row <= sprNyukin->MaxRows(); ++row) {
        if (!sprNyukin->RowHidden(row))
            sprNyukin->SetValue(ColMark, row, mark);
    }
}

void frmKensaku::ApplyDateToMatching()
{
    fillMarked(false);
}

void frmKensaku::ApplyDateToAllMarked()
{
    fillMarked(true);
    cmdAllEject_Click();
}

void frmKensaku::fillMarked(bool everyMethod)
{
    ReDrawGuard noPaint(sprNyukin);
    // A date the cell cannot hold fills nothing: an amount must never go in without it.
    const bool fills = CellText::parseDate(pstrDate) != 0;
    for (int row = 1; row <= sprNyukin->MaxRows(); ++row) {
        OrderList::Row &order = m_orders.at(row - 1);
        if (!order.marked || (!everyMethod && order.method.compare(pstrSiharai, Qt::CaseInsensitive) != 0))
            continue;
        if (fills) {
            sprNyukin->SetText(ColPaidDate, row, pstrDate);
            sprNyukin->SetText(ColPaidAmount, row, qlonglong(order.billed.value_or(0)));
            sprNyukin->SetValue(ColUpdateFlag, row, 1);
            if (pbytMailSet != 0)
                sprNyukin->SetValue(ColMailFlag, row, 1);
        }
        order.source = PaymentHistory::BulkSource();
        // One method's rows are unmarked as they fill; 全て unmarks the visible rows after.
        if (!everyMethod)
            sprNyukin->SetValue(ColMark, row, 0);
    }
}

namespace {

// The rows 登録 writes: those with the update flag.
QList<ReceiptRegistration::Receipt> flaggedReceipts(const OrderList &orders)
{
    QList<ReceiptRegistration::Receipt> receipts;
    for (int row = 0; row < orders.size(); ++row) {
        const OrderList::Row &order = orders.at(row);
        if (!order.update)
            continue;
        receipts.append({.row = row + 1,
                         .id = order.id,
                         .idText = order.id ? QString::number(*order.id) : order.idAsRead,
                         .amount = order.paidAmount.value_or(0),
                         .paidDate = FieldValue::FormatDate(order.paidDate),
                         .mail = order.mail,
                         .listed = OrderList::ListedOf(order),
                         .source = order.source});
    }
    return receipts;
}

// How often the list holds each order number.
QHash<qint64, int> listedOrderIds(const OrderList &orders)
{
    QHash<qint64, int> counts;
    for (int row = 0; row < orders.size(); ++row) {
        if (const std::optional<qint64> id = orders.at(row).id)
            ++counts[*id];
    }
    return counts;
}

} // namespace

void frmKensaku::cmdUpdate_Click()
{
    if (!button(9)->isEnabled())
        return;
    statusBar()->clearMessage(); // it tells of the last registration only

    const QList<ReceiptRegistration::Receipt> receipts = flaggedReceipts(m_orders);
    const QStringList unwritable = ReceiptRegistration::Unwritable(receipts, listedOrderIds(m_orders));
    if (!unwritable.isEmpty()) {
        MessageService::Exclamation(this,
                                    u"次の行は注文を正しく特定できないため、登録しませんでした。\n"_s
                                        + ReceiptRegistration::FirstOf(unwritable, u"\n"_s),
                                    windowTitle());
        return;
    }

    QList<qint64> changed;
    try {
        const WaitCursor wait;
        DbConnection &connection = m_session.connection();
        // Asked once per screen: the table is made by an administrator, not mid-session.
        if (!m_historyOn) {
            m_historyOn = PaymentHistory::Available(connection);
            if (!*m_historyOn)
                statusBar()->showMessage(PaymentHistory::OffMessage());
        }
        changed = ReceiptRegistration::Register(connection, receipts, m_unanswered, m_session.userName(), *m_historyOn)
                      .changed;
    } catch (const DbError &error) {
        MessageService::Critical(this, error.description(), windowTitle());
        return;
    }
    if (!changed.isEmpty()) {
        MessageService::Exclamation(this, ChangedElsewhereMessage(changed), windowTitle());
        return;
    }
    const QString told = statusBar()->currentMessage();
    TeachPayerNames(receipts);
    // That the history is off stays said beside what the lesson tells.
    if (!told.isEmpty() && !statusBar()->currentMessage().startsWith(told))
        statusBar()->showMessage(told + u"  "_s + statusBar()->currentMessage());

    ReDrawGuard noPaint(sprNyukin);
    for (const ReceiptRegistration::Receipt &receipt : receipts)
        OrderList::KeepRegistered(m_orders.at(receipt.row - 1), receipt);
    sprNyukin->SetValue(ColUpdateFlag, -1, 0);
}


QString frmKensaku::ChangedElsewhereMessage(const QList<qint64> &orderIds)
{
    return u"次の注文は、一覧を表示した後に他の端末で入金が登録または変更されています。"
           u"登録は行いませんでした。\n表示 (F1) で一覧を読み直してから登録してください。\nNo. "_s
        + ReceiptRegistration::OrderNumbers(orderIds);
}
