// Loading the lists and filling the receipt list from the order search.
#include "screens/receipt_list/frmKensaku.h"

#include "widgets/MessageService.h"
#include "core/data/DbConnection.h"
#include "core/data/FieldValue.h"
#include "core/data/RecordsetCloser.h"
#include "core/data/SqlCatalog.h"
#include "core/receipt/ReceiptRules.h"
#include "screens/receipt_list/ReceiptColors.h"

#include <QComboBox>
#include <QDate>
#include <QLineEdit>

using namespace Qt::StringLiterals;

void frmKensaku::LoadShopList()
{
    DbConnection &connection = m_session.connection();
    const auto records = connection.Execute(SqlCatalog::ShopList(connection.Dialect()));
    const RecordsetCloser closer(records.get());
    // The columns in the order ShopList gives them.
    enum { Id, Name };
    for (; !records->Eof(); records->MoveNext())
        cboShop_id->addItem(FieldValue::Text(records->ValueAt(Id)) + u" / "_s
                            + FieldValue::Text(records->ValueAt(Name)));
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
        // Its one column, METHOD.
        for (; !records->Eof(); records->MoveNext())
            pstrSiharaiString += FieldValue::Text(records->ValueAt(0)) + u'\t';
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

void frmKensaku::LoadOrderList()
{
    const bool hasShop = cboShop_id->currentIndex() > 0;
    const QString statement = SqlCatalog::OrderSearch(txtDate[0]->text(), txtDate[1]->text(), hasShop,
                                                      selectedShopId(), m_session.connection().Dialect());
    // The list read before goes at once, and its names' readings with it;
    // the rows read before a failure stay, and are shown.
    m_nameIndex.reset();
    const ReDrawGuard noPaint(sprNyukin);
    try {
        m_orders.Search(m_session.connection(), statement,
                        [this](const QString &method) { return F_Siharai_NyukinCheck(method) != 0; });
    } catch (const DbError &error) {
        MessageService::Critical(this, error.description(), windowTitle());
    }
    sprNyukin->rowsReplaced();
    // Unpaid shipments by their age.
    const QDate today = QDate::currentDate();
    for (int row = 0; row < m_orders.size(); ++row) {
        const OrderList::Row &order = m_orders.at(row);
        if (order.shipDate.isValid() && order.listedPaidDate.isEmpty())
            sprNyukin->SetBackColor(row + 1,
                                    ReceiptColors::Of(ReceiptRules::AgeOf(order.shipDate.daysTo(today))));
    }
}

void frmKensaku::ApplyListFilter()
{
    const QString shopId = selectedShopId();
    const QStringList methods = ReceiptRules::SplitTabList(pstrSiharaiString);
    const qint16 shownIndex = m_session.shownMethod();
    const QString shown = shownIndex >= 0 && shownIndex < methods.size() ? methods.at(shownIndex) : QString();

    ReDrawGuard noPaint(sprNyukin);
    for (int row = 1; row <= sprNyukin->MaxRows(); ++row) {
        const OrderList::Row &order = m_orders.at(row - 1);
        sprNyukin->SetRowHidden(row, (!shopId.isEmpty() && order.shopId.compare(shopId, Qt::CaseInsensitive) != 0)
                                         || (shownIndex >= 0 && order.method.compare(shown, Qt::CaseInsensitive) != 0));
    }
}
