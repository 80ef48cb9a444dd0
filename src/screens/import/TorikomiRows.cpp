#include "screens/import/TorikomiRows.h"

#include "core/data/FieldValue.h"
#include "import/PaymentImport.h"
#include "screens/import/frmTorikomi.h"
#include "widgets/grid/CellForm.h"

using namespace Qt::StringLiterals;

TorikomiRows::TorikomiRows(const PaymentImport &import, const QList<ColumnDef> &columns,
                           std::function<void(int, bool)> onTick)
    : m_import(import), m_columns(columns), m_onTick(std::move(onTick))
{
}

int TorikomiRows::rowCount() const
{
    return m_import.lineCount();
}

QVariant TorikomiRows::cell(int column, int row) const
{
    if (column < 0 || column >= m_columns.size() || row < 0 || row >= m_import.lineCount())
        return QVariant();
    return CellForm::FromValue(m_columns.at(column), value(column + 1, row));
}

QVariant TorikomiRows::value(int column, int index) const
{
    const StatementLine &line = m_import.line(index);
    const MatchResult result = m_import.result(index);
    const PaymentMatcher &matcher = m_import.matcher();
    const int order = m_import.target(index);
    switch (frmTorikomi::Column(column)) {
    case frmTorikomi::ColTick:
        return m_import.isTicked(index);
    case frmTorikomi::ColLine:
        return line.lineNumber;
    case frmTorikomi::ColDate:
        return line.date.isValid() ? FieldValue::FormatDate(line.date) : QString();
    case frmTorikomi::ColAmount:
        return line.amount;
    case frmTorikomi::ColText: {
        // A slip's line says what the agent reported; a service's, its type.
        const QString text = line.kind.isEmpty() ? line.text()
                             : line.barcode.isEmpty() ? line.kind + u' ' + line.text()
                                                      : line.kind + u' ' + line.barcode;
        return line.problem.isEmpty() ? text : line.problem + u" ／ "_s + text;
    }
    case frmTorikomi::ColStatus:
        return PaymentMatcher::statusText(result.status);
    case frmTorikomi::ColKey:
        return m_import.isByHand(index) ? u"手入力"_s : PaymentMatcher::keyText(result.key);
    case frmTorikomi::ColId:
        if (order >= 0)
            return matcher.orders().at(order).id;
        if (const ListedOrder *registered = m_import.registered(index))
            return registered->id;
        return result.status == MatchStatus::NotListed ? QVariant(line.namedOrder) : QVariant();
    case frmTorikomi::ColName: {
        if (order >= 0) {
            // A combined payment: its first order, and the sum it pays.
            const QString &name = matcher.orders().at(order).name;
            const qsizetype count = m_import.targets(index).size();
            return count > 1 ? u"%1 ほか %2 件"_s.arg(name).arg(count - 1) : name;
        }
        // A 取消 whose order an earlier import paid: for the operator to look at.
        if (const ListedOrder *registered = m_import.registered(index))
            return u"%1（登録済み）"_s.arg(registered->name);
        if (result.status == MatchStatus::MultipleCandidates)
            return u"（候補 %1 件）"_s.arg(result.candidateCount);
        return QVariant();
    }
    case frmTorikomi::ColBilled: {
        if (order < 0) {
            const ListedOrder *registered = m_import.registered(index);
            return registered ? QVariant(qlonglong(registered->billed)) : QVariant();
        }
        qint64 billed = 0;
        for (const int each : m_import.targets(index))
            billed += matcher.orders().at(each).billed;
        return qlonglong(billed);
    }
    case frmTorikomi::ColFee:
        // A service's fee is shown beside the gross amount, which the customer paid.
        if (const qint64 fee = m_import.fee(index) + line.fee; fee != 0)
            return fee;
        return QVariant();
    case frmTorikomi::ColEnd:
        break;
    }
    return QVariant();
}

bool TorikomiRows::setCell(int column, int row, const QVariant &value)
{
    if (column + 1 != frmTorikomi::ColTick || row < 0 || row >= m_import.lineCount())
        return false;
    m_onTick(row, value.toBool());
    return true;
}
