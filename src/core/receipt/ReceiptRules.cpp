#include "core/receipt/ReceiptRules.h"

using namespace Qt::StringLiterals;

namespace ReceiptRules {

Age AgeOf(qint64 daysSinceShipping)
{
    if (daysSinceShipping >= 30)
        return Age::Overdue;
    if (daysSinceShipping >= 14)
        return Age::Aging;
    return Age::Recent;
}

QStringList SplitTabList(const QString &text)
{
    return text.isEmpty() ? QStringList() : text.split(u'\t');
}

QString ShopIdOf(const QString &item)
{
    // Without the separator left(-1) keeps the item whole.
    return item.left(item.indexOf(u" / "_s));
}

} // namespace ReceiptRules
