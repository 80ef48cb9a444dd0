#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

// Small rules of the receipt list that several of its duties share.
namespace ReceiptRules {

inline const QColor White{255, 255, 255};
inline const QColor Yellow{255, 255, 0};
inline const QColor Pink{255, 200, 200};

// The row colour for an unpaid order shipped this many days ago.
QColor AgeColor(qint64 daysSinceShipping);

// Items joined with one TAB each; an empty text is an empty list.
QStringList SplitTabList(const QString &text);

// The shop id of a shop combo item "ID / name": the text before the first
// " / ", the whole text without one, empty when the text starts with it.
QString ShopIdOf(const QString &item);

// Whole number, halves to the even neighbour.
qint64 RoundHalfEven(double value);

// A number as plain text: no grouping, no exponent, no trailing zeros.
QString NumberText(double value);

} // namespace ReceiptRules
