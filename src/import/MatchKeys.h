#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// The keys a statement text can hold that name an order or a customer: order
// numbers and phone numbers, found the way payers write them.
namespace MatchKeys {

struct Found
{
    QList<qint64> orderNumbers; // distinct, in text order
    QList<qint64> phones;       // as phoneKey gives them
};

// A phone number as a key: its digits (full-width ones too) when there are
// 10 or 11 of them and the first is 0, else 0. "03-1234-5678", "(03)1234 5678"
// and "０３１２３４５６７８" give the same key.
qint64 phoneKey(QStringView text);
// The digits of a phoneKey, leading zeros included.
QString phoneDigits(qint64 key);

// The order numbers and phone numbers of a payer's text. Digit runs that
// belong to a date (12/01, 2026/12/05, 12月1日), a time, a grouped amount
// (10,000) or a phone number are no order numbers; digits written against a
// name ("1234ﾔﾏﾀﾞﾀﾛｳ") are.
void scan(QStringView text, Found &found);

} // namespace MatchKeys
