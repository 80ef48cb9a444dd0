// Loading the lists and filling the receipt list from the order search.
#include "screens/receipt_list/frmKensaku.h"

#include "widgets/MessageService.h"
#include "core/receipt/SharedState.h"
#include "core/data/CellText.h"
#include "core/data/DbConnection.h"
#include "core/data/FieldValue.h"
#include "core/data/RecordsetCloser.h"
#include "core/data/SqlCatalog.h"
#include "widgets/grid/SpreadLoader.h"
#include "widgets/grid/vaSpread.h"
#include "core/receipt/ReceiptRules.h"
#include "screens/receipt_list/ReceiptColors.h"

#include <QComboBox>
#include <QDate>
#include <QHash>
#include <QLineEdit>

#include <cmath>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

void frmKensaku::LoadShopList()
{
    DbConnection &connection = CurrentConnection();
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
    gblnSiharaiLoaded = false;
    DbConnection &connection = CurrentConnection();
    // The exempt list is read before the methods, so no two results are open
    // at once: SQL Server drivers without multiple active result sets refuse that.
    QString exemptList;
    {
        const auto control = connection.Execute(SqlCatalog::ExemptMethods(connection.Dialect()));
        const RecordsetCloser controlCloser(control.get());
        if (!control->Eof())
            exemptList = FieldValue::Text(control->Fields(u"NYUKIN_NOMANAGE"_s));
    }
    const QStringList exemptNames = ReceiptRules::SplitTabList(exemptList);

    const auto methods = connection.Execute(SqlCatalog::PaymentMethodTable(connection.Dialect()));
    const RecordsetCloser methodsCloser(methods.get());

    gstrSiharaiTable.clear();
    const int methodField = methods->FieldIndex(u"METHOD"_s);
    const int okField = methods->FieldIndex(u"OK_MAX"_s);
    QString previous;
    while (!methods->Eof()) {
        const QString method = FieldValue::Text(methods->ValueAt(methodField));
        // Names differing only in letter case make one entry.
        if (method.compare(previous, Qt::CaseInsensitive) != 0) {
            SiharaiEntry entry;
            entry.method = method;
            entry.okMax = CellText::plainNumber(FieldValue::NumberOf(methods->ValueAt(okField)));
            entry.managed = u"1"_s;
            for (const QString &name : exemptNames) {
                if (name.compare(method, Qt::CaseInsensitive) == 0) {
                    entry.managed = u"0"_s;
                    break;
                }
            }
            gstrSiharaiTable.append(entry);
        }
        previous = method;
        gblnSiharaiLoaded = true;
        methods->MoveNext();
    }
}

void frmKensaku::LoadOkMethodList()
{
    pstrSiharaiString.clear();
    try {
        DbConnection &connection = CurrentConnection();
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
    if (strMethod.isEmpty())
        return 0;
    if (!gblnSiharaiLoaded)
        return 1;
    for (const SiharaiEntry &entry : std::as_const(gstrSiharaiTable)) {
        if (entry.method == strMethod)
            return static_cast<quint8>(FieldValue::Number(entry.managed));
    }
    return 1;
}

QString frmKensaku::selectedShopId() const
{
    if (cboShop_id->currentIndex() <= 0)
        return QString();
    return ReceiptRules::ShopIdOf(cboShop_id->currentText());
}

void frmKensaku::LoadOrderList()
{
    vaSpread *grid = sprNyukin;

    const bool hasShop = cboShop_id->currentIndex() > 0;
    const QString statement = SqlCatalog::OrderSearch(txtDate[0]->text(), txtDate[1]->text(), hasShop,
                                                      selectedShopId(), CurrentConnection().Dialect());
    // The list read before goes at once; the rows written before a failure
    // stay, and are shown.
    SpreadLoader load(grid, SpreadLoader::Mode::Replace);
    try {
        const auto records = CurrentConnection().Execute(statement);
        const RecordsetCloser closer(records.get());
        const int fId = records->FieldIndex(u"id"_s);
        const int fName = records->FieldIndex(u"氏名"_s);
        const int fTel = records->FieldIndex(u"電話番号"_s);
        const int fOrderDate = records->FieldIndex(u"受注日"_s);
        const int fBilled = records->FieldIndex(u"請求額"_s);
        const int fPaidDate = records->FieldIndex(u"入金日"_s);
        const int fPaidAmount = records->FieldIndex(u"入金額"_s);
        const int fMethod = records->FieldIndex(u"支払方法"_s);
        const int fShipDate = records->FieldIndex(u"出荷日"_s);
        const int fShopId = records->FieldIndex(u"ショップID"_s);
        const QDate today = QDate::currentDate();
        // The search lists only orders whose confirmation mail is not queued.
        const QVariant mailNotSent = 0;
        // The listed amount as the check compares it, made once per amount:
        // most listed orders have nothing paid yet and share one text.
        QHash<double, ReceiptRegistration::Listed> listedAmounts;
        const auto listedFor = [&](double amount) -> const ReceiptRegistration::Listed & {
            auto known = listedAmounts.constFind(amount + 0.0); // -0 is 0
            if (known == listedAmounts.constEnd())
                known = listedAmounts.insert(amount + 0.0,
                                             ReceiptRegistration::ListedFrom(QVariant(), amount, mailNotSent));
            return *known;
        };
        // Whether orders paid by a method are listed, per method read; the
        // recordset hands out one shared string per method, so the same
        // string is mostly found by its data alone.
        std::vector<std::pair<QString, bool>> methodListed;
        const auto isListed = [&](const QString &method) {
            for (const auto &[known, listed] : methodListed) {
                if (known.constData() == method.constData() && known.size() == method.size())
                    return listed;
            }
            for (const auto &[known, listed] : methodListed) {
                if (known == method)
                    return listed;
            }
            methodListed.emplace_back(method, F_Siharai_NyukinCheck(method) != 0);
            return methodListed.back().second;
        };

        while (!records->Eof()) {
            const QString method = records->TextAt(fMethod);
            if (!isListed(method)) {
                records->MoveNext();
                continue;
            }
            load.addRow();
            if (const std::optional<qint64> id = records->IntegerAt(fId)) {
                load.setInteger(ColId, *id);
            } else {
                // Kept as read, so the registration can name the row.
                const QVariant odd = records->ValueAt(fId);
                load.setValue(ColId, odd);
                load.copyText(ColListedId, FieldValue::Text(odd));
            }
            const auto textOf = [&records](int field) {
                return [&records, field](QString &to) { records->AppendTextAt(field, to); };
            };
            load.copyAppended(ColName, textOf(fName));
            load.copyAppended(ColTel, textOf(fTel));
            load.setDate(ColOrderDate, records->DateAt(fOrderDate));
            load.setNumber(ColBilled, records->NumberAt(fBilled));

            const QString paidText = records->TextAt(fPaidDate);
            load.setDate(ColPaidDate, paidText.isEmpty() ? std::nullopt : records->DateAt(fPaidDate));
            const double paidAmount = records->NumberAt(fPaidAmount);
            load.setNumber(ColPaidAmount, paidAmount);
            // A number that is no finite double goes to the rule as read.
            const ReceiptRegistration::Listed listed =
                std::isfinite(paidAmount)
                    ? listedFor(paidAmount)
                    : ReceiptRegistration::ListedFrom(QVariant(), records->ValueAt(fPaidAmount), mailNotSent);
            // The paid date is kept as the text read.
            load.copyText(ColListedPaidDate, paidText);
            load.setText(ColListedPaidAmount, listed.paidAmount);
            load.setText(ColListedMail, listed.mailSent);
            load.setText(ColMethod, method);

            const std::optional<QDate> shipDate = records->DateAt(fShipDate);
            if (shipDate && paidText.isEmpty())
                load.setColor(ReceiptColors::Of(ReceiptRules::AgeOf(shipDate->daysTo(today))));
            load.setDate(ColShipDate, shipDate);
            load.setText(ColShopId, records->TextAt(fShopId));
            records->MoveNext();
        }
    } catch (const DbError &error) {
        MessageService::Critical(this, error.description(), windowTitle());
    }
}

void frmKensaku::ApplyListFilter()
{
    const QString shopId = selectedShopId();
    const QStringList methods = ReceiptRules::SplitTabList(pstrSiharaiString);
    const QString shown = gintSiharaiIndex >= 0 && gintSiharaiIndex < methods.size()
                              ? methods.at(gintSiharaiIndex)
                              : QString();
    auto methodShown = [&](int row) {
        return sprNyukin->Value(ColMethod, row).compare(shown, Qt::CaseInsensitive) == 0;
    };

    ReDrawGuard noPaint(sprNyukin);
    const int rows = sprNyukin->MaxRows();
    if (!shopId.isEmpty()) {
        for (int row = 1; row <= rows; ++row) {
            if (sprNyukin->Value(ColShopId, row).compare(shopId, Qt::CaseInsensitive) != 0)
                sprNyukin->SetRowHidden(row, true);
            else if (gintSiharaiIndex >= 0)
                sprNyukin->SetRowHidden(row, !methodShown(row));
            else
                sprNyukin->SetRowHidden(row, false);
        }
    } else if (gintSiharaiIndex < 0) {
        sprNyukin->SetRowHidden(-1, false);
    } else {
        for (int row = 1; row <= rows; ++row)
            sprNyukin->SetRowHidden(row, !methodShown(row));
    }
}
