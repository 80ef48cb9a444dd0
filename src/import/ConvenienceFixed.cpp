#include "import/ConvenienceFixed.h"

using namespace Qt::StringLiterals;
using FixedRecords::field;
using FixedRecords::isDigits;
using FixedRecords::numberOf;

namespace {

QDate dateOf(QByteArrayView yyyymmdd)
{
    return isDigits(yyyymmdd) ? QDate::fromString(QString::fromLatin1(yyyymmdd), u"yyyyMMdd") : QDate();
}

QString text(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes).trimmed();
}

ConvenienceRecord recordOf(QByteArrayView data, int number, const ConvenienceSettings &settings)
{
    const ConvenienceSettings::FixedLayout &at = settings.fixed;
    ConvenienceRecord record;
    record.lineNumber = number;
    record.paidOn = dateOf(field(data, at.paidOn));
    record.time = text(field(data, at.time));
    record.store = text(field(data, at.store));
    record.chain = text(field(data, at.chain));
    record.transferDate = dateOf(field(data, at.transferDate));
    const QByteArrayView amount = field(data, at.amount).trimmed();
    record.amount = isDigits(amount) ? numberOf(amount) : 0;
    if (!ConvenienceRecord::kindOf(text(field(data, at.kind)), record.kind))
        record.problem = u"種別「%1」が分かりません（01 速報、02 確報、03 速報取消、12 郵便振替、22 郵便振替訂正）"_s
                             .arg(text(field(data, at.kind)));
    else if (!isDigits(amount))
        record.problem = u"金額「%1」が読めません"_s.arg(text(amount));
    else if (!record.paidOn.isValid())
        record.problem = u"収納日「%1」が正しくありません"_s.arg(text(field(data, at.paidOn)));
    record.readBarcode(text(field(data, at.barcode)), settings.orderStart, settings.orderLength);
    return record;
}

} // namespace

bool ConvenienceFixed::recognises(QByteArrayView bytes)
{
    if (bytes.size() <= RecordSize || bytes[0] != '1' || bytes.first(RecordSize).contains('\n'))
        return false;
    qsizetype next = RecordSize;
    if (bytes[next] == '\r')
        ++next;
    if (next < bytes.size() && bytes[next] == '\n')
        ++next;
    return next < bytes.size() && (bytes[next] == '2' || bytes[next] == '8');
}

QList<ConvenienceRecord> ConvenienceFixed::read(QByteArrayView bytes, const ConvenienceSettings &settings,
                                                QString &error)
{
    QList<ConvenienceRecord> records;
    qint64 count = 0, total = 0;
    const auto header = [&](QByteArrayView) {
        count = total = 0;
        return QString();
    };
    const auto data = [&](QByteArrayView record, int number) {
        records.append(recordOf(record, number, settings));
        ++count;
        total += records.constLast().amount;
        return QString();
    };
    const auto trailer = [&](QByteArrayView record) {
        return FixedRecords::trailerError(record, {{settings.fixed.trailerCount, count, u"件数"},
                                                   {settings.fixed.trailerTotal, total, u"合計金額"}});
    };
    // Only the walk's verdict on the file: the records are kept here.
    Statement walked;
    FixedRecords::walk(bytes, walked, {header, data, trailer}, nullptr, RecordSize);
    error = walked.error;
    if (!error.isEmpty())
        records.clear();
    return records;
}
