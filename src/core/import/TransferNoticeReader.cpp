// Record layout as a bank publishes it in "振込入金通知(全銀協制定フォーマット)":
// header (データ区分 1, 種別コード 01, コード区分 0 JIS, 作成日, 勘定日(自)(至),
// 預金種目 1 普通 2 当座 4 貯蓄), data records (データ区分 2: 照会番号, 勘定日,
// 起算日, 金額, 振込依頼人名, 取消区分, EDI情報), trailer (データ区分 8: 合計
// 件数・金額, 取消件数・金額) and end record (データ区分 9), 200 bytes each,
// dates YYMMDD in the Japanese era.
#include "core/import/TransferNoticeReader.h"

#include "core/data/CellText.h"
#include "core/import/BankDate.h"
#include "core/import/FixedRecords.h"
#include "core/import/StatementValues.h"

using namespace Qt::StringLiterals;
using namespace FixedRecords;

namespace {

// Header.
constexpr Field KindCode{1, 2};
constexpr Field CharCode{3, 1};
constexpr Field Created{4, 6};
constexpr Field RangeFrom{10, 6};
constexpr Field RangeTo{16, 6};
constexpr Field AccountKind{59, 1};
// Data record.
constexpr Field Reference{1, 6};   // 照会番号
constexpr Field AccountDate{7, 6}; // 勘定日
constexpr Field ValueDate{13, 6};  // 起算日
constexpr Field Amount{19, 10};
constexpr Field Payer{49, 48};     // 振込依頼人名
constexpr Field Cancel{127, 1};    // 取消区分: 1 取消
constexpr Field Edi{128, 20};
// Trailer.
constexpr Field Count{1, 6};
constexpr Field Total{7, 12};
constexpr Field CancelCount{19, 6};
constexpr Field CancelTotal{25, 12};

constexpr int ValueDateGrace = 10;

struct Section
{
    BankDate::Range range;
    qint64 count{0}, total{0}, cancels{0}, cancelTotal{0};
    qsizetype firstLine{0};
};

StatementLine lineOf(QByteArrayView record, int number, const Section &section, const QDate &today,
                     Decoder &decoder)
{
    StatementLine line;
    line.lineNumber = number;
    const QByteArrayView date = field(record, AccountDate);
    line.dateText = QString::fromLatin1(date);
    const BankDate::Read day = BankDate::inRange(date, section.range, 0, today);
    const BankDate::Read valued = BankDate::inRange(field(record, ValueDate), section.range, ValueDateGrace, today);
    const qint64 julian = day.date.isValid() ? day.date.toJulianDay() : 0;
    if (julian >= CellText::MinDateJulian && julian <= CellText::MaxDateJulian)
        line.julianDay = int(julian);
    const QByteArrayView amount = field(record, Amount);
    line.amount = isDigits(amount) ? numberOf(amount) : 0;
    line.amountText = QString::fromLatin1(amount).trimmed();
    line.reference = QString::fromLatin1(field(record, Reference)).trimmed();
    line.cancels = field(record, Cancel) == QByteArrayView("1");

    bool readable = true;
    line.payerName = decoder.text(field(record, Payer), readable);
    line.edi = decoder.text(field(record, Edi), readable);
    for (const QString &text : {line.payerName, line.edi}) {
        if (!text.isEmpty())
            line.searched.append(text);
    }
    line.text = line.searched.join(u' ');
    if (StatementValues::isDigits(line.edi))
        line.namedOrder = line.edi;

    const QByteArrayView cancel = field(record, Cancel);
    if (!isDigits(amount))
        line.problem = u"金額「%1」が読めません"_s.arg(QString::fromLatin1(amount));
    else if (cancel != QByteArrayView("0") && cancel != QByteArrayView("1") && cancel != QByteArrayView(" "))
        line.problem = u"取消区分「%1」が正しくありません"_s.arg(QString::fromLatin1(cancel));
    else if (!day.problem.isEmpty())
        line.problem = day.problem;
    else if (line.julianDay == 0)
        line.problem = u"日付「%1」が正しくありません"_s.arg(line.dateText);
    else if (!valued.problem.isEmpty())
        line.problem = u"起算日: "_s + valued.problem;
    else if (!readable)
        line.problem = u"Shift_JIS で読めない文字があります"_s;
    return line;
}

// The notice a cancelling one takes back: the same 照会番号, else the same
// amount, 勘定日 and payer; one not taken back already.
qsizetype cancelledNotice(const QList<StatementLine> &lines, const QList<bool> &takenBack, qsizetype from,
                          const StatementLine &cancel)
{
    qsizetype alike = -1;
    for (qsizetype i = from; i < lines.size(); ++i) {
        const StatementLine &notice = lines.at(i);
        if (takenBack.at(i) || notice.cancels || !notice.problem.isEmpty())
            continue;
        if (!cancel.reference.isEmpty() && notice.reference == cancel.reference)
            return i;
        if (alike < 0 && notice.amount == cancel.amount && notice.dateText == cancel.dateText
            && notice.payerName == cancel.payerName)
            alike = i;
    }
    return alike;
}

QString trailerError(QByteArrayView record, const Section &section)
{
    const struct
    {
        Field at;
        qint64 expected;
        const char16_t *name;
    } checks[] = {{Count, section.count, u"合計件数"},
                  {Total, section.total, u"合計金額"},
                  {CancelCount, section.cancels, u"取消件数"},
                  {CancelTotal, section.cancelTotal, u"取消金額"}};
    for (const auto &check : checks) {
        const QByteArrayView value = field(record, check.at);
        if (!isDigits(value) || numberOf(value) != check.expected)
            return u"トレーラ・レコードの%1「%2」が明細と合いません（明細では %3）"_s.arg(
                QStringView(check.name), QString::fromLatin1(value).trimmed(), QString::number(check.expected));
    }
    return QString();
}

} // namespace

Statement TransferNoticeReader::read(QByteArrayView bytes, const QDate &today)
{
    Statement statement;
    statement.format = Statement::Format::Notice;
    statement.encoding = StoredText::Encoding::Cp932;
    const QList<QByteArrayView> records = split(bytes, statement.error);
    if (!statement.ok())
        return statement;

    enum class Next { Header, DataOrTrailer, HeaderOrEnd, Nothing };
    Next next = Next::Header;
    Section section;
    QList<bool> takenBack;
    Decoder decoder;
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
            if (field(record, KindCode) != QByteArrayView("01"))
                return fail(number, u"振込入金通知ではありません（種別コード %1）"_s.arg(
                                        QString::fromLatin1(field(record, KindCode))));
            if (field(record, CharCode) != QByteArrayView("0"))
                return fail(number, u"JIS コードのファイルではありません（コード区分 %1）"_s.arg(
                                        QString::fromLatin1(field(record, CharCode))));
            if (const char account = field(record, AccountKind)[0]; account != '1' && account != '2' && account != '4')
                return fail(number, u"預金種目 %1 の口座は読めません（普通・当座・貯蓄のみ）"_s.arg(QChar::fromLatin1(account)));
            section = Section{};
            section.range = BankDate::headerRange(field(record, Created), field(record, RangeFrom),
                                                  field(record, RangeTo), today);
            section.firstLine = statement.lines.size();
            next = Next::DataOrTrailer;
        } else if (kind == '2' && next == Next::DataOrTrailer) {
            StatementLine line = lineOf(record, number, section, today, decoder);
            ++section.count;
            section.total += line.amount;
            if (line.cancels) {
                ++section.cancels;
                section.cancelTotal += line.amount;
                const qsizetype cancelled = line.problem.isEmpty()
                                                ? cancelledNotice(statement.lines, takenBack, section.firstLine, line)
                                                : -1;
                if (cancelled >= 0) {
                    takenBack[cancelled] = true;
                    ++statement.takenBack;
                    continue;
                }
            }
            if (line.amount > 0 || !line.problem.isEmpty()) {
                statement.lines.append(std::move(line));
                takenBack.append(false);
            } else {
                ++statement.skipped;
            }
        } else if (kind == '8' && next == Next::DataOrTrailer) {
            if (const QString error = trailerError(record, section); !error.isEmpty())
                return fail(number, error);
            next = Next::HeaderOrEnd;
        } else if (kind == '9' && next == Next::HeaderOrEnd) {
            next = Next::Nothing;
        } else {
            return fail(number, u"データ区分「%1」のレコードはここに来ません"_s.arg(QChar::fromLatin1(kind)));
        }
    }
    if (next != Next::Nothing)
        return fail(int(records.size()), u"エンド・レコードがありません（ファイルが途中で終わっています）"_s);
    qsizetype kept = 0;
    for (qsizetype i = 0; i < statement.lines.size(); ++i) {
        if (!takenBack.at(i))
            statement.lines[kept++] = std::move(statement.lines[i]);
    }
    statement.lines.resize(kept);
    return statement;
}
