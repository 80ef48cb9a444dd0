#include "import/CsvStatement.h"

#include "import/CsvReader.h"
#include "import/StatementValues.h"

#include <QString>

using namespace Qt::StringLiterals;

namespace {

// Refunds and chargebacks in the statements of payment services, 後払い and
// 代引 pay nothing: a transaction type that gives money back to the customer.
bool isRefund(QStringView type)
{
    for (const QStringView word : {u"返金", u"返品", u"取消", u"取り消し", u"キャンセル", u"払戻", u"払い戻し",
                                   u"チャージバック", u"refund", u"chargeback", u"cancel"}) {
        if (type.contains(word, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// Each refund goes together with the file's payment of its order and amount,
// counted in takenBack, since the order is still open; the others stay as
// 取消 lines.
void settleRefunds(Statement &statement)
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

QString headerError(const CsvColumns &columns)
{
    if (columns.date < 0 && columns.amount < 0)
        return u"1行目: 入金データではありません（日付と金額の列名が見つかりません）"_s;
    if (columns.date < 0)
        return u"1行目: 日付の列がありません（日付・取引日・入金日・勘定日・振込日・年月日などのいずれか）"_s;
    if (columns.amount < 0)
        return u"1行目: 金額の列がありません（金額・入金額・お預り金額・お預入れ・入金金額などのいずれか）"_s;
    return u"1行目: 手数料の列がある明細です（決済サービス・後払い・代引）。列の割り当てで読み方を選んでください"_s;
}

// A field as the file gives it; empty for a column of -1, none.
// "未反映分を保存..." writes "'" before a text a spreadsheet would run as a
// formula; reading it back takes the mark off again.
QString cell(const CsvReader::Record &record, int column)
{
    const QString value = record.fields.value(column).trimmed();
    if (value.size() >= 2 && value.front() == u'\'' && QStringView(u"=+-@\t\r").contains(value.at(1)))
        return value.sliced(1);
    return value;
}

void addLine(Statement &statement, const CsvColumns &columns, const CsvReader::Record &record)
{
    const QString amountText = cell(record, columns.amount);
    // Balance and withdrawal lines leave the deposit empty.
    // A line saved as unusable keeps its reason, and comes back even without
    // an amount: what made it 不正 is no longer in the file.
    const QString saved = cell(record, columns.problem);
    const bool blank = std::all_of(record.fields.cbegin(), record.fields.cend(), [](const QString &f) { return f.trimmed().isEmpty(); });
    if (blank || (saved.isEmpty() && (amountText.isEmpty() || amountText == u"-"))) {
        ++statement.skipped;
        return;
    }
    const std::optional<qint64> amount = StatementValues::amountOf(amountText);
    const bool service = columns.service();
    if (amount && (*amount == 0 || (*amount < 0 && !service))) {
        ++statement.skipped;
        return;
    }
    StatementLine line;
    line.lineNumber = record.line;
    line.amount = amount.value_or(0);
    if (service) {
        // A refund or chargeback pays nothing; the fee is shown, the customer paid the whole.
        line.kind = cell(record, columns.type);
        line.cancels = line.amount < 0 || isRefund(line.kind);
        line.amount = std::abs(line.amount);
        line.fee = std::abs(StatementValues::amountOf(cell(record, columns.fee)).value_or(0));
        // The payout as the file gives it, else the gross less the fee, a refund's taken off.
        const std::optional<qint64> net = StatementValues::amountOf(cell(record, columns.net));
        const qint64 sign = line.cancels ? -1 : 1;
        if (net || columns.fee >= 0)
            statement.payout = std::max<qint64>(statement.payout, 0) + net.value_or(sign * (line.amount - line.fee));
    }
    const QString dateText = cell(record, columns.date);
    line.date = StatementValues::dateOf(dateText);
    for (const int column : columns.searched) {
        const QString value = cell(record, column);
        if (value.isEmpty())
            continue;
        line.searched.append(value);
        // The payer's name shares its text with the searched one.
        if (column == columns.payer)
            line.payerName = value;
    }
    if (columns.payer >= 0 && !columns.searched.contains(columns.payer))
        line.payerName = cell(record, columns.payer);
    if (columns.cancel >= 0)
        line.cancels = cell(record, columns.cancel) == u"1";
    line.duplicate = cell(record, columns.status) == u"重複";
    // An order column that holds something else than an order number keeps
    // it as written: the line then has no number to go by, and no text may
    // stand in for the column.
    QString unreadable;
    for (const int column : columns.order) {
        const QString value = cell(record, column);
        if (value.isEmpty())
            continue;
        const QString number = StatementValues::orderNumberOf(value);
        if (number.isEmpty()) {
            if (unreadable.isEmpty())
                unreadable = value;
        } else if (line.namedOrder.isEmpty()) {
            line.namedOrder = number;
        }
    }
    if (!unreadable.isEmpty())
        line.namedOrder = unreadable;
    if (!saved.isEmpty())
        line.problem = saved;
    else if (!amount)
        line.problem = u"金額「%1」が読めません"_s.arg(amountText);
    else if (!line.date.isValid())
        line.problem = u"日付「%1」が正しくありません"_s.arg(dateText);
    statement.lines.append(std::move(line));
}

} // namespace

QList<QStringList> CsvStatement::firstRows(QStringView text, int count)
{
    QList<QStringList> rows;
    QString error;
    const bool ok = count <= 0 || CsvReader::read(
        text,
        [&](CsvReader::Record &record) {
            rows.append(std::move(record.fields));
            return rows.size() < count;
        },
        error);
    return ok ? rows : QList<QStringList>{};
}

Statement CsvStatement::read(QStringView text, const CsvColumns *assigned, const std::atomic_bool *stop)
{
    Statement statement;
    CsvColumns columns;
    bool first = true;
    bool refused = false;
    const auto take = [&](const CsvReader::Record &record) {
        if (stop && *stop)
            return false;
        // A refused header still reads on: a broken quote later is the file's first fault.
        if (refused)
            return true;
        if (first) {
            first = false;
            columns = assigned ? *assigned : CsvColumns::fromHeader(record.fields);
            if (!columns.complete() || (!assigned && columns.service())) {
                statement.error = headerError(columns);
                statement.columnsKey = CsvColumns::keyOf(record.fields);
                refused = true;
                return true;
            }
            if (columns.headerRow)
                return true;
        }
        addLine(statement, columns, record);
        return true;
    };
    QString error;
    if (!CsvReader::read(text, take, error)) {
        statement = {.error = error};
    } else if (stop && *stop) {
        statement.error = Statement::Stopped.toString();
    } else if (first) {
        statement.error = u"1行目: ファイルが空です"_s;
    }
    if (!statement.ok()) {
        statement.lines.clear();
    } else if (columns.service()) {
        statement.fileKind = PaymentMethods::FileKind(columns.kind);
        settleRefunds(statement);
    }
    return statement;
}
