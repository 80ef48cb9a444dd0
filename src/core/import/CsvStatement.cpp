#include "core/import/CsvStatement.h"

#include "core/import/CsvReader.h"
#include "core/import/StatementValues.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr std::array<const char16_t *, 5> DateNames{u"日付", u"取引日", u"入金日", u"勘定日", u"振込日"};
constexpr std::array<const char16_t *, 5> AmountNames{u"金額", u"入金額", u"お預り金額", u"預入金額",
                                                      u"取引金額"};
constexpr std::array<const char16_t *, 7> SearchedNames{u"振込依頼人名", u"依頼人名", u"摘要", u"備考",
                                                        u"お客様番号", u"注文番号", u"内容"};
// Columns that hold nothing but an order number: a number there that is not
// listed names an order the list does not have.
constexpr std::array<const char16_t *, 2> OrderNames{u"お客様番号", u"注文番号"};

template<size_t N>
bool isOneOf(const QString &name, const std::array<const char16_t *, N> &names)
{
    for (const char16_t *candidate : names) {
        if (name == QStringView(candidate))
            return true;
    }
    return false;
}

// Spreadsheets pad names with blanks of either width.
QString columnName(const QString &header)
{
    QString name = header;
    name.remove(u' ');
    name.remove(u'　');
    return name;
}

struct Columns
{
    int date{-1};
    int amount{-1};
    QList<int> searched;
    QList<int> order;
    int payer{-1};
};

Columns findColumns(const QStringList &header)
{
    Columns columns;
    for (int i = 0; i < header.size(); ++i) {
        const QString name = columnName(header.at(i));
        if (columns.date < 0 && isOneOf(name, DateNames))
            columns.date = i;
        else if (columns.amount < 0 && isOneOf(name, AmountNames))
            columns.amount = i;
        if (isOneOf(name, SearchedNames))
            columns.searched.append(i);
        if (isOneOf(name, OrderNames))
            columns.order.append(i);
        if (columns.payer < 0 && (name == u"振込依頼人名" || name == u"依頼人名"))
            columns.payer = i;
    }
    return columns;
}

QString headerError(const Columns &columns)
{
    if (columns.date < 0 && columns.amount < 0)
        return u"1行目: 入金データではありません（日付と金額の列名が見つかりません）"_s;
    if (columns.date < 0)
        return u"1行目: 日付の列がありません（日付・取引日・入金日・勘定日・振込日のいずれか）"_s;
    if (columns.amount < 0)
        return u"1行目: 金額の列がありません（金額・入金額・お預り金額・預入金額・取引金額のいずれか）"_s;
    return QString();
}

bool isBlank(const QStringList &fields)
{
    for (const QString &field : fields) {
        if (!field.trimmed().isEmpty())
            return false;
    }
    return true;
}

} // namespace

Statement CsvStatement::read(QStringView text)
{
    Statement statement;
    statement.format = Statement::Format::Csv;
    const CsvReader::Result csv = CsvReader::parse(text);
    if (!csv.error.isEmpty()) {
        statement.error = u"%1行目: %2"_s.arg(csv.errorLine).arg(csv.error);
        return statement;
    }
    if (csv.records.isEmpty()) {
        statement.error = u"1行目: ファイルが空です"_s;
        return statement;
    }
    const Columns columns = findColumns(csv.records.constFirst().fields);
    statement.error = headerError(columns);
    if (!statement.ok())
        return statement;

    statement.lines.reserve(csv.records.size() - 1);
    for (qsizetype r = 1; r < csv.records.size(); ++r) {
        const CsvReader::Record &record = csv.records.at(r);
        const QString amountText = record.fields.value(columns.amount).trimmed();
        // Balance and withdrawal lines leave the deposit empty.
        if (isBlank(record.fields) || amountText.isEmpty()) {
            ++statement.skipped;
            continue;
        }
        StatementLine line;
        line.lineNumber = record.line;
        const std::optional<qint64> amount = StatementValues::amountOf(amountText);
        if (amount && *amount <= 0) {
            ++statement.skipped;
            continue;
        }
        line.amount = amount.value_or(0);
        line.dateText = record.fields.value(columns.date).trimmed();
        line.julianDay = StatementValues::dateOf(line.dateText);
        for (const int column : columns.searched) {
            const QString value = record.fields.value(column).trimmed();
            if (!value.isEmpty())
                line.searched.append(value);
        }
        line.text = line.searched.join(u' ');
        if (columns.payer >= 0)
            line.payerName = record.fields.value(columns.payer).trimmed();
        for (const int column : columns.order) {
            const QString value = record.fields.value(column).trimmed();
            if (line.namedOrder.isEmpty() && StatementValues::isDigits(value))
                line.namedOrder = value;
        }
        if (!amount)
            line.problem = u"金額「%1」が読めません"_s.arg(amountText);
        else if (line.julianDay == 0)
            line.problem = u"日付「%1」が正しくありません"_s.arg(line.dateText);
        statement.lines.append(std::move(line));
    }
    return statement;
}
