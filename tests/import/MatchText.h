#pragma once

#include "import/PaymentMatcher.h"

#include <QDate>

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

// Lines of 1 May 2024 as the tables write them: "text#amount", several texts
// joined by "|"; "text#amount#named" names an order by its own field,
// "text#amount#named#payer" gives the payer name, else with firstIsPayer the
// first text is it; "!" marks a line that could not be read, a leading "~" a
// cancellation whose original is not in the file.
inline QList<StatementLine> linesOf(const QStringList &written, bool firstIsPayer = false)
{
    QList<StatementLine> lines;
    for (const QString &text : written) {
        const QStringList fields = text.split(u'#');
        StatementLine &line = lines.emplace_back();
        line.lineNumber = int(lines.size()) + 1;
        line.cancels = fields.at(0).startsWith(u'~');
        line.date = QDate(2024, 5, 1);
        line.searched = fields.at(0).split(u'|');
        line.amount = fields.at(1).toLongLong();
        line.namedOrder = fields.value(2);
        line.payerName = firstIsPayer ? line.searched.constFirst() : fields.value(3);
        if (line.text() == u"!")
            line.problem = QStringLiteral("unreadable");
    }
    return lines;
}
