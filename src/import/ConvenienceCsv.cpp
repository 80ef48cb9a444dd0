#include "import/ConvenienceCsv.h"

#include "import/CsvReader.h"
#include "import/StatementValues.h"

using namespace Qt::StringLiterals;
using Kind = ConvenienceRecord::Kind;

namespace {

struct Columns
{
    int kind{0}, paidOn{1}, time{2}, barcode{3}, amount{7}, chain{8}, store{10}, transferDate{11};
};

bool endsInBarcode(const QString &field)
{
    const QString text = field.trimmed();
    if (text.size() < Gs1Barcode::Length)
        return false;
    const QStringView digits = QStringView(text).last(Gs1Barcode::Length);
    return std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool isHeader(const QStringList &fields)
{
    const auto named = [&fields](QStringView name) {
        return std::any_of(fields.cbegin(), fields.cend(), [name](const QString &f) { return f.trimmed() == name; });
    };
    return named(u"種別") && named(u"バーコード情報");
}

// The header's columns by name, or the name of the first one missing.
QString columnsOf(const QStringList &header, Columns &at)
{
    const std::pair<const char16_t *, int *> named[] = {
        {u"種別", &at.kind},   {u"収納日", &at.paidOn},     {u"収納時刻", &at.time}, {u"バーコード情報", &at.barcode},
        {u"金額", &at.amount}, {u"店舗コード", &at.store}, {u"振込日", &at.transferDate}};
    for (const auto &[name, column] : named) {
        *column = int(header.indexOf(QString::fromUtf16(name)));
        if (*column < 0)
            return QString::fromUtf16(name);
    }
    at.chain = int(header.indexOf(u"コンビニ本部コード"_s));
    if (at.chain < 0)
        at.chain = int(header.indexOf(u"コンビニ名"_s));
    return QString();
}

ConvenienceRecord recordOf(const CsvReader::Record &row, const Columns &at, const ConvenienceSettings &settings)
{
    const auto cell = [&row](int column) { return row.fields.value(column).trimmed(); };
    ConvenienceRecord record;
    record.lineNumber = row.line;
    const int needed = std::max({at.kind, at.paidOn, at.time, at.barcode, at.amount, at.store, at.transferDate}) + 1;
    if (row.fields.size() < needed) {
        record.problem = u"列が足りません（%1 列。%2 列のはずです）"_s.arg(row.fields.size()).arg(needed);
        return record;
    }
    record.paidOn = StatementValues::dateOf(cell(at.paidOn));
    record.time = cell(at.time).remove(u':');
    record.store = cell(at.store);
    record.chain = cell(at.chain);
    record.transferDate = StatementValues::dateOf(cell(at.transferDate));
    const std::optional<qint64> amount = StatementValues::amountOf(cell(at.amount));
    record.amount = amount.value_or(0);
    if (!ConvenienceRecord::kindOf(cell(at.kind), record.kind))
        record.problem = u"種別「%1」が分かりません（01 速報、02 確報、03 速報取消、12 郵便振替、22 郵便振替訂正）"_s
                             .arg(cell(at.kind));
    else if (!amount || *amount < 0)
        record.problem = u"金額「%1」が読めません"_s.arg(cell(at.amount));
    else if (!record.paidOn.isValid())
        record.problem = u"収納日「%1」が正しくありません"_s.arg(cell(at.paidOn));
    record.readBarcode(cell(at.barcode), settings.orderStart, settings.orderLength);
    return record;
}

} // namespace

bool ConvenienceCsv::recognises(const QStringList &firstRecord)
{
    ConvenienceRecord::Kind kind;
    return isHeader(firstRecord)
           || (firstRecord.size() >= 8 && ConvenienceRecord::kindOf(firstRecord.at(0), kind)
               && endsInBarcode(firstRecord.at(3)));
}

QList<ConvenienceRecord> ConvenienceCsv::read(QStringView text, const ConvenienceSettings &settings, QString &error)
{
    QList<ConvenienceRecord> records;
    Columns at;
    int errorLine = 0;
    const auto visit = [&](CsvReader::Record &row) {
        if (row.line == 1 && isHeader(row.fields)) {
            for (QString &name : row.fields)
                name = name.trimmed();
            if (const QString missing = columnsOf(row.fields, at); !missing.isEmpty()) {
                error = u"1行目: 「%1」の列がありません"_s.arg(missing);
                return false;
            }
            return true;
        }
        if (std::all_of(row.fields.cbegin(), row.fields.cend(), [](const QString &f) { return f.trimmed().isEmpty(); }))
            return true;
        records.append(recordOf(row, at, settings));
        return true;
    };
    if (!CsvReader::read(text, visit, error, errorLine))
        error = u"%1行目: %2"_s.arg(errorLine).arg(error);
    if (!error.isEmpty())
        records.clear();
    return records;
}
