#pragma once

#include <QString>

// Every statement the component sends is built here and nowhere else.
namespace SqlCatalog {

// Doubles every single quote, for text placed inside an SQL text literal.
QString QuoteSql(const QString &text);

// S1: the unpaid orders; an empty argument leaves its condition out.
// hasShop selects the shop condition (shopId may then be empty).
QString OrderSearch(const QString &shipDateFrom, const QString &shipDateTo, bool hasShop,
                    const QString &shopId);
QString UsableMethods();      // S2
QString PaymentMethodTable(); // S3
QString ExemptMethods();      // S4
QString ShopList();           // S5
// S6: dateText goes in unchanged; amount and orderId as plain decimal digits.
QString RegisterReceipt(const QString &dateText, qint64 amount, bool mail, qint64 orderId);
// S7: the TAB-joined exempt list, quoted here.
QString SaveExemptMethods(const QString &tabJoinedMethods);

} // namespace SqlCatalog
