#pragma once

#include <QString>
#include <QStringList>

// Small rules of the receipt list that several of its duties share.
namespace ReceiptRules {

// How long an unpaid order has waited since it shipped; the list colours
// its row by this.
enum class Age { Recent, Aging, Overdue };
Age AgeOf(qint64 daysSinceShipping);

// Items joined with one TAB each; an empty text is an empty list.
QStringList SplitTabList(const QString &text);

// The shop id of a shop combo item "ID / name": the text before the first
// " / ", the whole text without one, empty when the text starts with it.
QString ShopIdOf(const QString &item);

} // namespace ReceiptRules
