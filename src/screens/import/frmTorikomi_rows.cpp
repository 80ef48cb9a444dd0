// The import's lines as the cells of sprTorikomi, read from the import as they are shown.
#include "screens/import/frmTorikomi.h"

#include "core/data/FieldValue.h"
#include "import/PaymentImport.h"
#include "widgets/grid/CellForm.h"

using namespace Qt::StringLiterals;

int frmTorikomi::rowCount() const
{
    return m_import.lineCount();
}

QVariant frmTorikomi::cell(int column, int row) const
{
    if (column < 0 || column >= m_columns.size() || row < 0 || row >= m_import.lineCount())
        return QVariant();
    return CellForm::FromValue(m_columns.at(column), value(column + 1, row));
}

QVariant frmTorikomi::value(int column, int index) const
{
    const StatementLine &line = m_import.line(index);
    const MatchResult result = m_import.result(index);
    const PaymentMatcher &matcher = m_import.matcher();
    const int order = m_import.target(index);
    const ListedOrder *registered = m_import.registered(index);
    switch (Column(column)) {
    case ColTick:
        return m_import.isTicked(index);
    case ColLine:
        return line.lineNumber;
    case ColDate:
        return line.date.isValid() ? FieldValue::FormatDate(line.date) : QString();
    case ColAmount:
        return line.amount;
    case ColText: {
        // A slip's line says what the agent reported; a service's, its type.
        const QString text = line.kind.isEmpty() ? line.text()
                             : line.barcode.isEmpty() ? line.kind + u' ' + line.text()
                                                      : line.kind + u' ' + line.barcode;
        return line.problem.isEmpty() ? text : line.problem + u" ／ "_s + text;
    }
    case ColStatus:
        return PaymentMatcher::statusText(result.status);
    case ColKey:
        return m_import.isByHand(index) ? u"手入力"_s : PaymentMatcher::keyText(result.key);
    case ColId:
        if (order >= 0)
            return matcher.orders().at(order).id;
        if (registered)
            return registered->id;
        return result.status == MatchStatus::NotListed ? QVariant(line.namedOrder) : QVariant();
    case ColName: {
        if (order >= 0) {
            // A combined payment: its first order, and the sum it pays.
            const QString &name = matcher.orders().at(order).name;
            const qsizetype count = m_import.targets(index).size();
            return count > 1 ? u"%1 ほか %2 件"_s.arg(name).arg(count - 1) : name;
        }
        // A 取消 whose order an earlier import paid: for the operator to look at.
        if (registered)
            return u"%1（登録済み）"_s.arg(registered->name);
        if (result.status == MatchStatus::MultipleCandidates)
            return u"（候補 %1 件）"_s.arg(result.candidateCount);
        return QVariant();
    }
    case ColBilled: {
        if (order < 0)
            return registered ? QVariant(qlonglong(registered->billed)) : QVariant();
        qint64 billed = 0;
        for (const int each : m_import.targets(index))
            billed += matcher.orders().at(each).billed;
        return qlonglong(billed);
    }
    case ColFee:
        // A service's fee is shown beside the gross amount, which the customer paid.
        if (const qint64 fee = m_import.fee(index) + line.fee; fee != 0)
            return fee;
        return QVariant();
    case ColEnd:
        break;
    }
    return QVariant();
}

bool frmTorikomi::setCell(int column, int row, const QVariant &tick)
{
    if (column + 1 != ColTick || row < 0 || row >= m_import.lineCount())
        return false;
    SetTick(row + 1, tick.toBool());
    return true;
}
