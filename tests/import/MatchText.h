#pragma once

#include "import/PaymentMatcher.h"

// A line's outcome as the tables write it, "status@key:No.s-fee"; a No. the
// list lacks is the one the line names.
inline QString matchText(const PaymentMatcher &matcher, const MatchResult &result, const StatementLine &line)
{
    QString text = PaymentMatcher::statusText(result.status);
    if (result.key != MatchKey::None)
        text += u'@' + PaymentMatcher::keyText(result.key);
    QStringList ids;
    for (const int order : result.orders.isEmpty() && result.order >= 0 ? QList<int>{result.order} : result.orders)
        ids << QString::number(matcher.orders().at(order).id);
    for (const int candidate : result.candidates)
        ids << QString::number(matcher.orders().at(candidate).id);
    if (result.status == MatchStatus::NotListed)
        ids << line.namedOrder;
    if (!ids.isEmpty())
        text += u':' + ids.join(u',');
    if (result.fee != 0)
        text += u'-' + QString::number(result.fee);
    return text;
}
