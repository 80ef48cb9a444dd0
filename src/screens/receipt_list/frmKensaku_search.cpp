// Loading the lists and filling the receipt list from the order search.
#include "screens/receipt_list/frmKensaku.h"

#include "widgets/MessageService.h"
#include "core/data/CellText.h"
#include "core/data/DbConnection.h"
#include "core/data/FieldValue.h"
#include "core/data/RecordsetCloser.h"
#include "core/data/SqlCatalog.h"
#include "widgets/grid/SpreadLoader.h"
#include "widgets/grid/vaSpread.h"
#include "core/receipt/OrderRows.h"
#include "core/receipt/ReceiptRules.h"
#include "screens/receipt_list/ReceiptColors.h"

#include <QComboBox>
#include <QDate>
#include <QHash>
#include <QLineEdit>

using namespace Qt::StringLiterals;

void frmKensaku::LoadShopList()
{
    DbConnection &connection = m_session.connection();
    const auto records = connection.Execute(SqlCatalog::ShopList(connection.Dialect()));
    const RecordsetCloser closer(records.get());
    const int id = records->FieldIndex(u"SHOP_ID"_s);
    const int name = records->FieldIndex(u"Shop_name"_s);
    while (!records->Eof()) {
        cboShop_id->addItem(FieldValue::Text(records->ValueAt(id)) + u" / "_s
                            + FieldValue::Text(records->ValueAt(name)));
        records->MoveNext();
    }
}

void frmKensaku::LoadPaymentTable()
{
    m_session.LoadPaymentTable();
}

void frmKensaku::LoadOkMethodList()
{
    pstrSiharaiString.clear();
    try {
        DbConnection &connection = m_session.connection();
        const auto records = connection.Execute(SqlCatalog::UsableMethods(connection.Dialect()));
        const RecordsetCloser closer(records.get());
        const int method = records->FieldIndex(u"METHOD"_s);
        while (!records->Eof()) {
            pstrSiharaiString += FieldValue::Text(records->ValueAt(method)) + u'\t';
            records->MoveNext();
        }
    } catch (const DbError &error) {
        // What was read so far stays, trailing TAB included.
        mbytLoadError = 1;
        MessageService::Exclamation(this, error.description(), windowTitle());
        return;
    }
    if (!pstrSiharaiString.isEmpty())
        pstrSiharaiString.chop(1);
}

quint8 frmKensaku::F_Siharai_NyukinCheck(const QString &strMethod) const
{
    return m_session.ManagedFlag(strMethod);
}

QString frmKensaku::selectedShopId() const
{
    if (cboShop_id->currentIndex() <= 0)
        return QString();
    return ReceiptRules::ShopIdOf(cboShop_id->currentText());
}

namespace {

// One order as a row of the list: what it shows, and what the registration's
// check compares later.
void writeOrderRow(SpreadLoader &load, OrderRows &order, const QString &method, const QDate &today)
{
    using List = frmKensaku;
    load.addRow();
    if (const std::optional<qint64> id = order.id()) {
        load.setInteger(List::ColId, *id);
    } else {
        // Kept as read, so the registration can name the row.
        const QVariant odd = order.idAsRead();
        load.setValue(List::ColId, odd);
        load.copyText(List::ColListedId, FieldValue::Text(odd));
    }
    load.copyAppended(List::ColName, [&order](QString &to) { order.appendName(to); });
    load.copyAppended(List::ColTel, [&order](QString &to) { order.appendTel(to); });
    load.copyAppended(List::ColTel1, [&order](QString &to) { order.appendTel1(to); });
    load.setDate(List::ColOrderDate, order.orderDate());
    load.setNumber(List::ColBilled, order.billed());

    const QString paidText = order.paidDateText();
    load.setDate(List::ColPaidDate, paidText.isEmpty() ? std::nullopt : order.paidDate());
    const double paidAmount = order.paidAmount();
    load.setNumber(List::ColPaidAmount, paidAmount);
    const ReceiptRegistration::Listed &listed = order.listed(paidAmount);
    // The paid date is kept as the text read.
    load.copyText(List::ColListedPaidDate, paidText);
    load.setText(List::ColListedPaidAmount, listed.paidAmount);
    load.setText(List::ColListedMail, listed.mailSent);
    load.setText(List::ColMethod, method);

    const std::optional<QDate> shipDate = order.shipDate();
    if (shipDate && paidText.isEmpty())
        load.setColor(ReceiptColors::Of(ReceiptRules::AgeOf(shipDate->daysTo(today))));
    load.setDate(List::ColShipDate, shipDate);
    load.setText(List::ColShopId, order.shopId());
}

} // namespace

void frmKensaku::LoadOrderList()
{
    const bool hasShop = cboShop_id->currentIndex() > 0;
    const QString statement = SqlCatalog::OrderSearch(txtDate[0]->text(), txtDate[1]->text(), hasShop,
                                                      selectedShopId(), m_session.connection().Dialect());
    // The list read before goes at once, and its names' readings with it;
    // the rows written before a failure stay, and are shown.
    m_nameIndex.reset();
    SpreadLoader load(sprNyukin, SpreadLoader::Mode::Replace);
    try {
        OrderRows order(m_session.connection(), statement);
        const QDate today = QDate::currentDate();
        // Whether orders paid by a method are listed, asked once per method.
        QHash<QString, bool> methodListed;
        for (; !order.atEnd(); order.next()) {
            const QString method = order.method();
            auto listed = methodListed.constFind(method);
            if (listed == methodListed.constEnd())
                listed = methodListed.insert(method, F_Siharai_NyukinCheck(method) != 0);
            if (*listed)
                writeOrderRow(load, order, method, today);
        }
    } catch (const DbError &error) {
        MessageService::Critical(this, error.description(), windowTitle());
    }
}

void frmKensaku::ApplyListFilter()
{
    const QString shopId = selectedShopId();
    const QStringList methods = ReceiptRules::SplitTabList(pstrSiharaiString);
    const qint16 shownIndex = m_session.shownMethod();
    const QString shown = shownIndex >= 0 && shownIndex < methods.size() ? methods.at(shownIndex) : QString();
    auto methodShown = [&](int row) {
        return sprNyukin->Value(ColMethod, row).compare(shown, Qt::CaseInsensitive) == 0;
    };

    ReDrawGuard noPaint(sprNyukin);
    const int rows = sprNyukin->MaxRows();
    if (!shopId.isEmpty()) {
        for (int row = 1; row <= rows; ++row) {
            if (sprNyukin->Value(ColShopId, row).compare(shopId, Qt::CaseInsensitive) != 0)
                sprNyukin->SetRowHidden(row, true);
            else if (shownIndex >= 0)
                sprNyukin->SetRowHidden(row, !methodShown(row));
            else
                sprNyukin->SetRowHidden(row, false);
        }
    } else if (shownIndex < 0) {
        sprNyukin->SetRowHidden(-1, false);
    } else {
        for (int row = 1; row <= rows; ++row)
            sprNyukin->SetRowHidden(row, !methodShown(row));
    }
}
