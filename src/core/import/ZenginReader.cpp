// Record layout as published in the banks' description "《入出金明細(全銀)》
// 明細ファイル・フォーマット(全銀協規定形式・改行なし)": header (データ区分 1,
// 種別コード 03 入出金取引明細, コード区分 0 JIS), data records (データ区分 2),
// trailer (データ区分 8) and end record (データ区分 9), 200 bytes each. Dates
// are YYMMDD in the Japanese era (例: 280503 → 平成28年5月3日). 取引区分 19 is
// a correction (訂正): with 入払区分 2 it takes a deposit back (入金訂正), with
// 入払区分 1 it gives a withdrawal back (出金訂正).
#include "core/import/ZenginReader.h"

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
constexpr Field Created{4, 6};     // 作成日
constexpr Field RangeFrom{10, 6};  // 勘定日(自)
constexpr Field RangeTo{16, 6};    // 勘定日(至)
constexpr Field AccountKind{62, 1}; // 預金種目
// Data record.
constexpr Field Reference{1, 8};    // 照会番号
constexpr Field AccountDate{9, 6};  // 勘定日
constexpr Field ValueDate{15, 6};   // 預入・払出日
constexpr Field InOut{21, 1};       // 入払区分: 1 入金, 2 出金
constexpr Field Transaction{22, 2}; // 取引区分: 19 訂正
constexpr Field Amount{24, 12};     // 取引金額
constexpr Field Payer{81, 48};      // 振込依頼人名又は契約者番号
constexpr Field Edi{179, 20};       // EDI情報
// Trailer.
constexpr Field DepositCount{1, 6};
constexpr Field DepositTotal{7, 13};
constexpr Field WithdrawalCount{20, 6};
constexpr Field WithdrawalTotal{26, 13};
constexpr Field DataCount{54, 7};

// Grace around the header's range for the day the money is valued.
constexpr int ValueDateGrace = 10;

// 普通, 当座 and 貯蓄 share the layout read here; 通知, 定期 and 積立 style
// accounts have another from position 72 on.
bool isCurrentAccount(char kind)
{
    return kind == '1' || kind == '2' || kind == '4';
}

struct Section
{
    BankDate::Range range;
    qint64 deposits{0}, depositTotal{0}, withdrawals{0}, withdrawalTotal{0}, records{0};
    qsizetype firstLine{0}; // of the section's lines in the statement
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

    bool readable = true;
    line.payerName = decoder.text(field(record, Payer), readable);
    line.edi = decoder.text(field(record, Edi), readable);
    for (const QString &text : {line.payerName, line.edi}) {
        if (!text.isEmpty())
            line.searched.append(text);
    }
    line.text = line.searched.join(u' ');
    // The payer fills in the EDI field; a bare number there names the order.
    if (StatementValues::isDigits(line.edi))
        line.namedOrder = line.edi;

    if (!isDigits(amount))
        line.problem = u"金額「%1」が読めません"_s.arg(QString::fromLatin1(amount));
    else if (!day.problem.isEmpty())
        line.problem = day.problem;
    else if (line.julianDay == 0)
        line.problem = u"日付「%1」が正しくありません"_s.arg(line.dateText);
    else if (!valued.problem.isEmpty())
        line.problem = u"預入・払出日: "_s + valued.problem;
    else if (!readable)
        line.problem = u"Shift_JIS で読めない文字があります"_s;
    return line;
}

// The deposit of the section an 入金訂正 takes back: the latest one not yet
// taken back with its amount, and its payer or EDI text when it has one.
qsizetype correctedDeposit(const QList<StatementLine> &lines, const QList<bool> &takenBack, qsizetype from,
                           const StatementLine &correction)
{
    for (qsizetype i = lines.size() - 1; i >= from; --i) {
        const StatementLine &deposit = lines.at(i);
        if (takenBack.at(i) || deposit.cancels || !deposit.problem.isEmpty() || deposit.amount != correction.amount)
            continue;
        const bool named = !correction.payerName.isEmpty() || !correction.edi.isEmpty();
        if (!named || (!correction.payerName.isEmpty() && correction.payerName == deposit.payerName)
            || (!correction.edi.isEmpty() && correction.edi == deposit.edi))
            return i;
    }
    return -1;
}

QString trailerError(QByteArrayView record, const Section &section)
{
    const struct
    {
        Field at;
        qint64 expected;
        const char16_t *name;
    } checks[] = {{DepositCount, section.deposits, u"入金件数"},
                  {DepositTotal, section.depositTotal, u"入金額合計"},
                  {WithdrawalCount, section.withdrawals, u"出金件数"},
                  {WithdrawalTotal, section.withdrawalTotal, u"出金額合計"},
                  {DataCount, section.records, u"データ・レコード件数"}};
    for (const auto &check : checks) {
        const QByteArrayView value = field(record, check.at);
        if (!isDigits(value) || numberOf(value) != check.expected)
            return u"トレーラ・レコードの%1「%2」が明細と合いません（明細では %3）"_s.arg(
                QStringView(check.name), QString::fromLatin1(value).trimmed(), QString::number(check.expected));
    }
    return QString();
}

} // namespace

Statement ZenginReader::read(QByteArrayView bytes, const QDate &today)
{
    Statement statement;
    statement.format = Statement::Format::Zengin;
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
            if (field(record, KindCode) != QByteArrayView("03"))
                return fail(number, u"入出金取引明細ではありません（種別コード %1）"_s.arg(
                                        QString::fromLatin1(field(record, KindCode))));
            if (field(record, CharCode) != QByteArrayView("0"))
                return fail(number, u"JIS コードのファイルではありません（コード区分 %1）"_s.arg(
                                        QString::fromLatin1(field(record, CharCode))));
            if (const char account = field(record, AccountKind)[0]; !isCurrentAccount(account))
                return fail(number, u"預金種目 %1 の口座は読めません（普通・当座・貯蓄のみ。通知・定期・積立などは明細の形が違います）"_s
                                        .arg(QChar::fromLatin1(account)));
            section = Section{};
            section.range = BankDate::headerRange(field(record, Created), field(record, RangeFrom),
                                                  field(record, RangeTo), today);
            section.firstLine = statement.lines.size();
            next = Next::DataOrTrailer;
        } else if (kind == '2' && next == Next::DataOrTrailer) {
            ++section.records;
            const QByteArrayView inOut = field(record, InOut);
            if (inOut != QByteArrayView("1") && inOut != QByteArrayView("2"))
                return fail(number, u"入払区分「%1」が 1（入金）でも 2（出金）でもありません"_s.arg(
                                        QString::fromLatin1(inOut)));
            const bool deposit = inOut == QByteArrayView("1");
            const bool correction = field(record, Transaction) == QByteArrayView("19");
            const QByteArrayView amount = field(record, Amount);
            (deposit ? section.deposits : section.withdrawals) += 1;
            (deposit ? section.depositTotal : section.withdrawalTotal) += isDigits(amount) ? numberOf(amount) : 0;
            // Withdrawals pay no order, nor does a withdrawal given back (出金訂正).
            if (deposit == correction) {
                ++statement.skipped;
                continue;
            }
            StatementLine line = lineOf(record, number, section, today, decoder);
            if (!deposit) {
                // 入金訂正: the deposit it corrects and the correction pay nothing.
                const qsizetype corrected = line.problem.isEmpty()
                                                ? correctedDeposit(statement.lines, takenBack, section.firstLine, line)
                                                : -1;
                if (corrected >= 0) {
                    takenBack[corrected] = true;
                    ++statement.takenBack;
                    continue;
                }
                line.cancels = true;
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
