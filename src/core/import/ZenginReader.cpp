// Record layout as published in the banks' description "《入出金明細(全銀)》
// 明細ファイル・フォーマット(全銀協規定形式・改行なし)": header (データ区分 1,
// 種別コード 03 入出金取引明細, コード区分 0 JIS), data records (データ区分 2),
// trailer (データ区分 8) and end record (データ区分 9), 200 bytes each. Dates
// are YYMMDD in the Japanese era (例: 280503 → 平成28年5月3日).
#include "core/import/ZenginReader.h"

#include "core/data/CellText.h"
#include "core/import/StatementValues.h"

#include <QStringDecoder>

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype RecordSize = 200;

struct Field
{
    qsizetype offset; // from 0
    qsizetype size;
};

// Header.
constexpr Field KindCode{1, 2};
constexpr Field CharCode{3, 1};
// Data record.
constexpr Field AccountDate{9, 6};  // 勘定日
constexpr Field InOut{21, 1};       // 入払区分: 1 入金, 2 出金
constexpr Field Amount{24, 12};     // 取引金額
constexpr Field Payer{81, 48};      // 振込依頼人名又は契約者番号
constexpr Field Edi{179, 20};       // EDI情報
// Trailer.
constexpr Field DepositCount{1, 6};
constexpr Field DepositTotal{7, 13};
constexpr Field DataCount{54, 7};

QByteArrayView field(QByteArrayView record, Field at)
{
    return record.sliced(at.offset, at.size);
}

bool isDigits(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (c < '0' || c > '9')
            return false;
    }
    return !bytes.isEmpty();
}

qint64 numberOf(QByteArrayView bytes)
{
    qint64 value = 0;
    for (const char c : bytes)
        value = value * 10 + (c - '0');
    return value;
}

// Splits into records: lines of 200 bytes, or 200-byte slices when the file
// has no line breaks. Fills error, naming the record, when a length is wrong.
QList<QByteArrayView> splitRecords(QByteArrayView bytes, QString &error)
{
    // Old transfer software ends the file with an EOF mark.
    while (!bytes.isEmpty() && (bytes.back() == '\x1a' || bytes.back() == '\n' || bytes.back() == '\r'))
        bytes.chop(1);
    QList<QByteArrayView> records;
    const bool lines = bytes.size() > RecordSize && (bytes[RecordSize] == '\r' || bytes[RecordSize] == '\n');
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = pos + RecordSize;
        QByteArrayView record;
        if (lines) {
            end = bytes.indexOf('\n', pos);
            if (end < 0)
                end = bytes.size();
            record = bytes.sliced(pos, end - pos);
            if (record.endsWith('\r'))
                record.chop(1);
            ++end;
        } else {
            record = bytes.sliced(pos, std::min(RecordSize, bytes.size() - pos));
        }
        if (record.size() != RecordSize) {
            error = u"%1行目: レコードが200バイトではありません（%2バイト）"_s.arg(records.size() + 1)
                        .arg(record.size());
            return {};
        }
        records.append(record);
        pos = end;
    }
    return records;
}

class FieldDecoder final
{
public:
    QString text(QByteArrayView bytes, bool &ok)
    {
        m_decoder.resetState();
        const QString decoded = m_decoder.decode(bytes);
        ok = ok && !m_decoder.hasError();
        return decoded.trimmed();
    }

private:
    QStringDecoder m_decoder{"windows-31j", QStringConverter::Flag::Stateless};
};

StatementLine depositLine(QByteArrayView record, int number, const QDate &today, FieldDecoder &decoder)
{
    StatementLine line;
    line.lineNumber = number;
    const QByteArrayView date = field(record, AccountDate);
    line.dateText = QString::fromLatin1(date);
    const QDate day = ZenginReader::dateOf(date, today);
    const qint64 julian = day.isValid() ? day.toJulianDay() : 0;
    if (julian >= CellText::MinDateJulian && julian <= CellText::MaxDateJulian)
        line.julianDay = int(julian);
    const QByteArrayView amount = field(record, Amount);
    line.amount = isDigits(amount) ? numberOf(amount) : 0;

    bool readable = true;
    const QString payer = decoder.text(field(record, Payer), readable);
    const QString edi = decoder.text(field(record, Edi), readable);
    for (const QString &text : {payer, edi}) {
        if (!text.isEmpty())
            line.searched.append(text);
    }
    line.text = line.searched.join(u' ');
    // The payer fills in the EDI field; a bare number there names the order.
    if (StatementValues::isDigits(edi))
        line.namedOrder = edi;

    if (!isDigits(amount))
        line.problem = u"金額「%1」が読めません"_s.arg(QString::fromLatin1(amount));
    else if (line.julianDay == 0)
        line.problem = u"日付「%1」が正しくありません"_s.arg(line.dateText);
    else if (!readable)
        line.problem = u"Shift_JIS で読めない文字があります"_s;
    return line;
}

} // namespace

bool ZenginReader::looksLike(QByteArrayView bytes)
{
    if (bytes.size() < RecordSize || bytes[0] != '1' || !isDigits(field(bytes, KindCode)))
        return false;
    return bytes.size() == RecordSize || bytes[RecordSize] == '\r' || bytes[RecordSize] == '\n'
           || bytes[RecordSize] == '2' || bytes[RecordSize] == '8';
}

QDate ZenginReader::dateOf(QByteArrayView yymmdd, const QDate &today)
{
    if (yymmdd.size() != 6 || !isDigits(yymmdd))
        return {};
    const int yy = int(numberOf(yymmdd.first(2)));
    const int mm = int(numberOf(yymmdd.sliced(2, 2)));
    const int dd = int(numberOf(yymmdd.sliced(4, 2)));
    // Reiwa from 2019/05/01, Heisei before it; some banks write the western
    // year instead. The latest reading that is not ahead of today (a month's
    // grace for value dates) is the one a statement can mean.
    const std::array<QDate, 3> readings{QDate(2018 + yy, mm, dd), QDate(1988 + yy, mm, dd),
                                        QDate(2000 + yy, mm, dd)};
    const std::array<bool, 3> inEra{readings[0] >= QDate(2019, 5, 1),
                                    readings[1] >= QDate(1989, 1, 8) && readings[1] <= QDate(2019, 4, 30),
                                    true};
    const QDate latest = today.addDays(31);
    QDate best;
    for (size_t i = 0; i < readings.size(); ++i) {
        if (readings[i].isValid() && inEra[i] && readings[i] <= latest && (!best.isValid() || readings[i] > best))
            best = readings[i];
    }
    return best;
}

Statement ZenginReader::read(QByteArrayView bytes, const QDate &today)
{
    Statement statement;
    statement.format = Statement::Format::Zengin;
    statement.encoding = TextEncoding::Cp932;
    const QList<QByteArrayView> records = splitRecords(bytes, statement.error);
    if (!statement.ok())
        return statement;

    enum class Next { Header, DataOrTrailer, HeaderOrEnd, Nothing };
    Next next = Next::Header;
    qint64 deposits = 0, depositTotal = 0, dataRecords = 0;
    FieldDecoder decoder;
    auto fail = [&statement](int number, const QString &reason) {
        statement.error = u"%1行目: %2"_s.arg(number).arg(reason);
        statement.lines.clear();
        return statement;
    };
    for (qsizetype i = 0; i < records.size(); ++i) {
        const QByteArrayView record = records.at(i);
        const int number = int(i) + 1;
        const char kind = record[0];
        if (kind == '1' && (next == Next::Header || next == Next::HeaderOrEnd)) {
            if (field(record, KindCode) != QByteArrayView("03"))
                return fail(number, u"入出金取引明細ではありません（種別コード %1）"_s.arg(
                                        QString::fromLatin1(field(record, KindCode))));
            if (field(record, CharCode) != QByteArrayView("0"))
                return fail(number, u"JIS コードのファイルではありません（コード区分 %1）"_s.arg(
                                        QString::fromLatin1(field(record, CharCode))));
            deposits = depositTotal = dataRecords = 0;
            next = Next::DataOrTrailer;
        } else if (kind == '2' && next == Next::DataOrTrailer) {
            ++dataRecords;
            if (field(record, InOut) != QByteArrayView("1")) {
                ++statement.skipped;
                continue;
            }
            StatementLine line = depositLine(record, number, today, decoder);
            ++deposits;
            depositTotal += line.amount;
            if (line.amount > 0 || !line.problem.isEmpty())
                statement.lines.append(std::move(line));
            else
                ++statement.skipped;
        } else if (kind == '8' && next == Next::DataOrTrailer) {
            const QByteArrayView count = field(record, DepositCount), total = field(record, DepositTotal),
                                 all = field(record, DataCount);
            if (!isDigits(count) || !isDigits(total) || !isDigits(all) || numberOf(count) != deposits
                || numberOf(total) != depositTotal || numberOf(all) != dataRecords)
                return fail(number, u"トレーラ・レコードの件数・金額が明細と合いません"_s);
            next = Next::HeaderOrEnd;
        } else if (kind == '9' && next == Next::HeaderOrEnd) {
            next = Next::Nothing;
        } else {
            return fail(number, u"データ区分「%1」のレコードはここに来ません"_s.arg(QChar::fromLatin1(kind)));
        }
    }
    if (next != Next::Nothing)
        return fail(int(records.size()), u"エンド・レコードがありません（ファイルが途中で終わっています）"_s);
    return statement;
}
