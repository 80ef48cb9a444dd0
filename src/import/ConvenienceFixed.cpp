#include "import/ConvenienceFixed.h"

using namespace Qt::StringLiterals;
using FixedRecords::field;
using FixedRecords::isDigits;
using FixedRecords::numberOf;

namespace {

// Records of 120 bytes, on lines or one after another; an EOF mark and line
// breaks at the end dropped. Empty, with error, when a record is cut.
QList<QByteArrayView> split(QByteArrayView bytes, QString &error)
{
    constexpr qsizetype Size = ConvenienceFixed::RecordSize;
    while (!bytes.isEmpty() && (bytes.back() == '\x1a' || bytes.back() == '\n' || bytes.back() == '\r'))
        bytes.chop(1);
    const bool lines = bytes.size() > Size && (bytes[Size] == '\r' || bytes[Size] == '\n');
    QList<QByteArrayView> records;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = lines ? bytes.indexOf('\n', pos) : pos + Size;
        if (end < 0 || end > bytes.size())
            end = bytes.size();
        QByteArrayView record = bytes.sliced(pos, end - pos);
        if (lines && record.endsWith('\r'))
            record.chop(1);
        if (record.size() != Size) {
            error = u"%1行目: レコードが120バイトではありません（%2バイト）"_s.arg(records.size() + 1).arg(record.size());
            return {};
        }
        records.append(record);
        pos = lines ? end + 1 : end;
    }
    return records;
}

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
    const QList<QByteArrayView> split = ::split(bytes, error);
    enum class Next { Header, DataOrTrailer, HeaderOrEnd, Nothing } next = Next::Header;
    qint64 count = 0, total = 0;
    for (qsizetype i = 0; i < split.size() && error.isEmpty(); ++i) {
        const QByteArrayView record = split.at(i);
        const int number = int(i) + 1;
        const char kind = record[0];
        QString reason;
        if (kind == '1' && (next == Next::Header || next == Next::HeaderOrEnd)) {
            next = Next::DataOrTrailer;
            count = total = 0;
        } else if (kind == '2' && next == Next::DataOrTrailer) {
            records.append(recordOf(record, number, settings));
            ++count;
            total += records.constLast().amount;
        } else if (kind == '8' && next == Next::DataOrTrailer) {
            next = Next::HeaderOrEnd;
            reason = FixedRecords::trailerError(record, {{settings.fixed.trailerCount, count, u"件数"},
                                                         {settings.fixed.trailerTotal, total, u"合計金額"}});
        } else if (kind == '9' && next == Next::HeaderOrEnd) {
            next = Next::Nothing;
        } else {
            reason = u"データ区分「%1」のレコードはここに来ません"_s.arg(QChar::fromLatin1(kind));
        }
        if (!reason.isEmpty())
            error = u"%1行目: %2"_s.arg(number).arg(reason);
    }
    if (error.isEmpty() && next != Next::Nothing)
        error = u"%1行目: エンド・レコードがありません（ファイルが途中で終わっています）"_s.arg(split.size());
    if (!error.isEmpty())
        records.clear();
    return records;
}
