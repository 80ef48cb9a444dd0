#include "import/ServiceRefunds.h"

namespace ServiceRefunds {

bool isRefund(QStringView type)
{
    for (const QStringView word : {u"返金", u"返品", u"取消", u"取り消し", u"キャンセル", u"払戻", u"払い戻し",
                                   u"チャージバック", u"refund", u"chargeback", u"cancel"}) {
        if (type.contains(word, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

void settle(Statement &statement)
{
    QList<bool> gone(statement.lines.size(), false);
    for (qsizetype r = 0; r < statement.lines.size(); ++r) {
        const StatementLine &refund = statement.lines.at(r);
        if (!refund.cancels || !refund.problem.isEmpty() || refund.namedOrder.isEmpty())
            continue;
        for (qsizetype p = 0; p < statement.lines.size(); ++p) {
            const StatementLine &payment = statement.lines.at(p);
            if (!gone.at(p) && !payment.cancels && payment.problem.isEmpty()
                && payment.namedOrder == refund.namedOrder && payment.amount == refund.amount) {
                gone[p] = gone[r] = true;
                ++statement.takenBack;
                break;
            }
        }
    }
    statement.dropLines(gone);
}

} // namespace ServiceRefunds
