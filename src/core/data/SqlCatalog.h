#pragma once

#include "core/data/DbConnection.h"

#include <QList>
#include <QString>
#include <QVariant>

// Every statement the component sends is built here and nowhere else.
namespace SqlCatalog {

// Doubles every single quote, for text placed inside an SQL text literal.
QString QuoteSql(const QString &text);

// The order search: the unpaid orders; an empty argument leaves its
// condition out. hasShop selects the shop condition (shopId may then be empty).
QString OrderSearch(const QString &shipDateFrom, const QString &shipDateTo, bool hasShop,
                    const QString &shopId);
// The payment methods an order may use, one row each.
QString UsableMethods();
// Every payment method with its highest OK, in the suite's display order.
QString PaymentMethodTable();
// The methods exempt from payment management, TAB-joined in CONTROL.
QString ExemptMethods();
// The shops for the shop combo.
QString ShopList();
// The receipt of one order: dateText goes in unchanged; amount and orderId
// as plain decimal digits.
QString RegisterReceipt(const QString &dateText, qint64 amount, bool mail, qint64 orderId);
// The same as one statement for DbConnection::ExecuteEach, with 入金日, 入金額
// and the order's ID as ? in that order: with the values of
// RegisterReceiptValues it is, word for word, RegisterReceipt's text.
QString RegisterReceiptEach(bool mail);
QVariantList RegisterReceiptValues(const QString &dateText, qint64 amount, qint64 orderId);
// The payment columns of the given orders as they are now, read inside the
// registration's transaction. SQL Server holds the rows read until the
// commit (UPDLOCK, HOLDLOCK), so nobody can change them between this read and
// the writes; on SQLite the transaction already holds the write lock.
QString ReceiptCheck(const QList<qint64> &orderIds, SqlDialect dialect);
// Stores the TAB-joined exempt list, quoted here.
QString SaveExemptMethods(const QString &tabJoinedMethods);

} // namespace SqlCatalog

// Payer names the operators taught (NYUKIN_MEIGI): every row, the name, phone
// number and 氏名 in that order.
namespace SqlCatalog {
QString PayerNames();
QString ForgetPayerName(const QString &payer);
QString TeachPayerName(const QString &payer, const QString &phone, const QString &name, const QString &today);
} // namespace SqlCatalog
