// Record layout as published in the banks' description "《入出金明細(全銀)》
// 明細ファイル・フォーマット(全銀協規定形式・改行なし)": header (データ区分 1,
// 種別コード 03 入出金取引明細, コード区分 0 JIS), data records (データ区分 2),
// trailer (データ区分 8) and end record (データ区分 9), 200 bytes each. Dates
// are YYMMDD in the Japanese era (例: 280503 → 平成28年5月3日). 取引区分 19 is
// a correction (訂正): with 入払区分 2 it takes a deposit back (入金訂正), with
// 入払区分 1 it gives a withdrawal back (出金訂正).
#include "import/ZenginReader.h"

#include "import/BankDate.h"
#include "import/FixedRecords.h"

using namespace Qt::StringLiterals;
using namespace FixedRecords;

namespace {

// Header (its kind, character code and dates as every file of the family has them).
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

struct Section
{
    BankDate::Range range;
    qint64 deposits{0}, depositTotal{0}, withdrawals{0}, withdrawalTotal{0}, records{0};
    qsizetype firstLine{0}; // of the section's lines in the statement
};

constexpr DataFields Data{Reference, AccountDate, ValueDate, Amount, Payer, Edi};

// The deposit of the section an 入金訂正 takes back: the latest one not yet
// taken back with its amount, and its payer or EDI text when it has one.
qsizetype correctedDeposit(const QList<StatementLine> &lines, const TakenBack &takenBack, qsizetype from,
                           const StatementLine &correction)
{
    for (qsizetype i = lines.size() - 1; i >= from; --i) {
        const StatementLine &deposit = lines.at(i);
        if (!takenBack.standing(i) || deposit.cancels || !deposit.problem.isEmpty() || deposit.amount != correction.amount)
            continue;
        const bool named = !correction.payerName.isEmpty() || !correction.edi.isEmpty();
        if (!named || (!correction.payerName.isEmpty() && correction.payerName == deposit.payerName)
            || (!correction.edi.isEmpty() && correction.edi == deposit.edi))
            return i;
    }
    return -1;
}

} // namespace

Statement ZenginReader::read(QByteArrayView bytes, const QDate &today, const std::atomic_bool *stop)
{
    Statement statement;
    statement.format = Statement::Format::Zengin;
    statement.encoding = TextEncoding::Cp932;
    Section section;
    TakenBack takenBack;
    Decoder decoder;
    const auto header = [&](QByteArrayView record) {
        section = Section{};
        section.firstLine = statement.lines.size();
        return readHeader(record, "03", u"入出金取引明細", AccountKind, u"預金種目 %1 の口座は読めません（普通・当座・貯蓄のみ。通知・定期・積立などは明細の形が違います）", today, section.range);
    };
    const auto data = [&](QByteArrayView record, int number) {
        ++section.records;
        const QByteArrayView inOut = field(record, InOut);
        if (inOut != QByteArrayView("1") && inOut != QByteArrayView("2"))
            return u"入払区分「%1」が 1（入金）でも 2（出金）でもありません"_s.arg(QString::fromLatin1(inOut));
        const bool deposit = inOut == QByteArrayView("1");
        const bool correction = field(record, Transaction) == QByteArrayView("19");
        const QByteArrayView amount = field(record, Amount);
        (deposit ? section.deposits : section.withdrawals) += 1;
        (deposit ? section.depositTotal : section.withdrawalTotal) += isDigits(amount) ? numberOf(amount) : 0;
        // Withdrawals pay no order, nor does a withdrawal given back (出金訂正).
        if (deposit == correction) {
            ++statement.skipped;
            return QString();
        }
        StatementLine line = lineOf(record, number, Data, section.range, today, decoder, u"預入・払出日");
        if (!deposit && !line.problem.isEmpty()) {
            // A damaged 入金訂正 might take back any deposit of its amount: none of them pays.
            const bool amountRead = isDigits(amount);
            for (qsizetype i = section.firstLine; i < statement.lines.size(); ++i) {
                if (takenBack.standing(i) && !statement.lines.at(i).cancels
                    && (!amountRead || statement.lines.at(i).amount == line.amount))
                    TakenBack::holdBack(statement, i, u"%1行目の入金訂正が読めないため、この入金が取り消されていないか分かりません"_s
                                                          .arg(number));
            }
        } else if (!deposit) {
            // 入金訂正: the deposit it corrects and the correction pay nothing.
            if (const qsizetype corrected = correctedDeposit(statement.lines, takenBack, section.firstLine, line);
                corrected >= 0) {
                takenBack.take(statement, corrected);
                return QString();
            }
        }
        line.cancels = !deposit;
        if (line.amount > 0 || !line.problem.isEmpty())
            takenBack.keep(statement, std::move(line));
        else
            ++statement.skipped;
        return QString();
    };
    const auto trailer = [&](QByteArrayView record) {
        return trailerError(record, {{DepositCount, section.deposits, u"入金件数"},
                                     {DepositTotal, section.depositTotal, u"入金額合計"},
                                     {WithdrawalCount, section.withdrawals, u"出金件数"},
                                     {WithdrawalTotal, section.withdrawalTotal, u"出金額合計"},
                                     {DataCount, section.records, u"データ・レコード件数"}});
    };
    walk(bytes, statement, {header, data, trailer}, stop);
    if (statement.ok())
        takenBack.dropFrom(statement);
    return statement;
}
