#pragma once

#include "core/data/DbConnection.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// Every statement the component sends is built here and nowhere else. The
// texts are the suite's SQL Server ones, which SQLite reads as they are;
// PostgreSQL gets its names in double quotes instead of brackets.
namespace SqlCatalog {

// Doubles every single quote, for text placed inside an SQL text literal.
QString QuoteSql(const QString &text);

// The order search: the unpaid orders, their columns as the SELECT lists
// them (OrderList reads them by position); an empty argument leaves its
// condition out. hasShop selects the shop condition (shopId may then be empty).
QString OrderSearch(const QString &shipDateFrom, const QString &shipDateTo, bool hasShop,
                    const QString &shopId, SqlDialect dialect);
// The payment methods an order may use, one row each.
QString UsableMethods(SqlDialect dialect);
// Every payment method with its highest OK, in the suite's display order:
// METHOD, OK_MAX.
QString PaymentMethodTable(SqlDialect dialect);
// The methods exempt from payment management, TAB-joined in CONTROL.
QString ExemptMethods(SqlDialect dialect);
// The shops for the shop combo: SHOP_ID, SHOP_NAME.
QString ShopList(SqlDialect dialect);
// The receipt of orders, one statement for DbConnection::ExecuteEach with
// 入金日, 入金額 and the order's ID as ? in that order: the date goes in as
// the checked "YYYY/MM/DD" text it is, amount and ID as whole numbers.
QString RegisterReceiptEach(bool mail, SqlDialect dialect);
QVariantList RegisterReceiptValues(const QString &dateText, qint64 amount, qint64 orderId);
// ID and the payment columns of the given orders, in that order, as they
// are now, read inside the registration's transaction. SQL Server holds the
// rows read until the commit (UPDLOCK, HOLDLOCK), PostgreSQL locks them (FOR
// UPDATE), so nobody can change them between this read and the writes; on
// SQLite the transaction already holds the write lock.
QString ReceiptCheck(const QList<qint64> &orderIds, SqlDialect dialect);
// How long the connection's statements wait for a lock, where the database
// takes it as a statement (SQL Server, PostgreSQL); 0 does not wait at all.
QString LockTimeout(int milliseconds, SqlDialect dialect);
// Stores the TAB-joined exempt list, quoted here.
QString SaveExemptMethods(const QString &tabJoinedMethods, SqlDialect dialect);

// Payer names the operators taught (NYUKIN_MEIGI): every row, the name, phone
// number and 氏名 in that order.
QString PayerNames(SqlDialect dialect);
QString ForgetPayerName(const QString &payer, SqlDialect dialect);
// The orders, paid ones included, that a 取消 line's order numbers or phone
// numbers (digits only) may name: [ID],[氏名],[電話番号],[TEL1],[請求額],[入金額].
// A phone is found by its last four digits, which every way of writing it
// keeps together; the caller compares the whole number.
QString RegisteredOrders(const QList<qint64> &orderIds, const QStringList &phoneDigits, SqlDialect dialect);
QString TeachPayerName(const QString &payer, const QString &phone, const QString &name, const QString &today,
                       SqlDialect dialect);

// How many tables of that name the database's catalogue lists: 0 leaves
// the history (NYUKIN_RIREKI) off; for the payer names (NYUKIN_MEIGI) it
// tells a missing table from a locked one.
QString TableCount(const QString &table, SqlDialect dialect);
// Run first in a registration's transaction, after its orders are locked:
// registrations then number one after another. Empty where the
// transaction's write lock already serialises them (SQLite).
QString HistoryLock(SqlDialect dialect);
// The highest registration number so far, as N (Null while none).
QString HistoryLastNumber(SqlDialect dialect);
// One history row per ExecuteEach row, ? in the order of HistoryValues.
QString RecordHistoryEach(SqlDialect dialect);
// 登録番号, 登録日時, 担当者, ID, the values before and after (a date as
// "YYYY/MM/DD" or Null, the amount and mail flag as numbers), 入力元,
// 入力行, and the registration a take-back reverses (Null for none).
QVariantList HistoryValues(qint64 number, const QString &time, const QString &operatorName, qint64 orderId,
                           const QVariantList &before, const QVariantList &after, const QString &source,
                           const QString &line, const QVariant &reverses);
// The registrations, newest first, with these columns in this order:
// REG_NO, REG_AT, BY_NAME, ORDERS, AMOUNT (what they added to 入金額), SOURCE
// and SOURCE_LAST (the least and greatest 入力元), REVERSES. The times from..to are "YYYY/MM/DD", inclusive, either may be
// empty; orderId > 0 keeps the registrations of that order.
QString HistoryList(const QString &from, const QString &to, qint64 orderId, SqlDialect dialect);
// One registration's rows by order, with these columns in this order: ID,
// B_DATE, B_AMOUNT, B_MAIL, A_DATE, A_AMOUNT, A_MAIL, SOURCE, LINE, and LIVE
// (0 when the order is gone).
QString HistoryLines(qint64 number, SqlDialect dialect);
// The orders of the registration already taken back, as ID.
QString HistoryTakenBack(qint64 number, SqlDialect dialect);
// A take-back: 入金日, 入金額, 入金確認送信 and ID as ? in that order.
QString TakeBackEach(SqlDialect dialect);

} // namespace SqlCatalog
