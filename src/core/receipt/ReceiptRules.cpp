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
    if (text.isEmpty())
        return {};
    return text.split(u'\t');
}

QString ShopIdOf(const QString &item)
{
    const qsizetype separator = item.indexOf(u" / "_s);
    if (separator < 0)
        return item;
    return item.left(separator);
}

} // namespace ReceiptRules
