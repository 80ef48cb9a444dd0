// The Japanese banks' fixed-length statement of deposits and withdrawals
// (全銀協規定形式 入出金取引明細, 種別コード 03): 200-byte records in Shift_JIS
// with half-width kana, with or without line breaks between them. Each
// account's section is a header, its data records and a trailer; an end
// record closes the file. Deposits become lines; an 入金訂正 takes back the
// deposit it corrects.
//
// Record layout as published in the banks' description "《入出金明細(全銀)》
// 明細ファイル・フォーマット(全銀協規定形式・改行なし)": header (データ区分 1,
// 種別コード 03 入出金取引明細, コード区分 0 JIS), data records (データ区分 2),
// trailer (データ区分 8) and end record (データ区分 9), 200 bytes each. Dates
// are YYMMDD in the Japanese era (例: 280503 → 平成28年5月3日). 取引区分 19 is
// a correction (訂正): with 入払区分 2 it takes a deposit back (入金訂正), with
// 入払区分 1 it gives a withdrawal back (出金訂正).
#include "import/FixedRecords.h"
#include "import/StatementValues.h"

using namespace Qt::StringLiterals;
using namespace FixedRecords;
using StatementValues::isDigits;

namespace {

// The header's 預金種目 at 63; in a data record 照会番号, 勘定日, 預入・払出日,
// 取引金額, 振込依頼人名又は契約者番号 and EDI情報.
constexpr Kind Zengin{Statement::Format::Zengin, "03", u"入出金取引明細", {62, 1},
                      u"預金種目 %1 の口座は読めません（普通・当座・貯蓄のみ。通知・定期・積立などは明細の形が違います）",
                      {1, 8}, {9, 6}, {15, 6}, u"預入・払出日", {24, 12}, {81, 48}, {179, 20}};
constexpr Field InOut{21, 1};       // 入払区分: 1 入金, 2 出金
constexpr Field Transaction{22, 2}; // 取引区分: 19 訂正

struct Section
{
    qint64 deposits{0}, depositTotal{0}, withdrawals{0}, withdrawalTotal{0}, records{0};
};

// The deposit of the section an 入金訂正 takes back: the latest one not yet
// taken back with its amount, and its payer or EDI text when it has one.
qsizetype correctedDeposit(const Reading &reading, const StatementLine &correction)
{
    const QList<StatementLine> &lines = reading.statement.lines;
    for (qsizetype i = lines.size() - 1; i >= reading.firstLine; --i) {
        const StatementLine &deposit = lines.at(i);
        if (!reading.standing(i) || deposit.cancels || !deposit.problem.isEmpty() || deposit.amount != correction.amount)
            continue;
        const bool named = !correction.payerName.isEmpty() || !correction.edi.isEmpty();
        if (!named || (!correction.payerName.isEmpty() && correction.payerName == deposit.payerName)
            || (!correction.edi.isEmpty() && correction.edi == deposit.edi))
            return i;
    }
    return -1;
}

} // namespace

Statement FixedRecords::readZengin(QByteArrayView bytes, const QDate &today, const std::atomic_bool *stop)
{
    Reading reading(Zengin, today);
    Statement &statement = reading.statement;
    Section section;
    const auto data = [&](QByteArrayView record, int number) {
        ++section.records;
        const QByteArrayView inOut = field(record, InOut);
        if (inOut != QByteArrayView("1") && inOut != QByteArrayView("2"))
            return u"入払区分「%1」が 1（入金）でも 2（出金）でもありません"_s.arg(QString::fromLatin1(inOut));
        const bool deposit = inOut == QByteArrayView("1");
        const bool correction = field(record, Transaction) == QByteArrayView("19");
        const QByteArrayView amount = field(record, Zengin.amount);
        (deposit ? section.deposits : section.withdrawals) += 1;
        (deposit ? section.depositTotal : section.withdrawalTotal) += isDigits(amount) ? amount.toLongLong() : 0;
        // Withdrawals pay no order, nor does a withdrawal given back (出金訂正).
        if (deposit == correction) {
            ++statement.skipped;
            return QString();
        }
        StatementLine line = reading.lineOf(record, number);
        if (!deposit && !line.problem.isEmpty()) {
            // A damaged 入金訂正 might take back any deposit of its amount: none of them pays.
            const bool amountRead = isDigits(amount);
            for (qsizetype i = reading.firstLine; i < statement.lines.size(); ++i) {
                if (reading.standing(i) && !statement.lines.at(i).cancels
                    && (!amountRead || statement.lines.at(i).amount == line.amount))
                    reading.holdBack(i, u"%1行目の入金訂正が読めないため、この入金が取り消されていないか分かりません"_s
                                                          .arg(number));
            }
        } else if (!deposit) {
            // 入金訂正: the deposit it corrects and the correction pay nothing.
            if (const qsizetype corrected = correctedDeposit(reading, line); corrected >= 0) {
                reading.take(corrected);
                return QString();
            }
        }
        line.cancels = !deposit;
        reading.keep(std::move(line));
        return QString();
    };
    const auto trailer = [&](QByteArrayView record) {
        return trailerError(record, {{{1, 6}, section.deposits, u"入金件数"},
                                     {{7, 13}, section.depositTotal, u"入金額合計"},
                                     {{20, 6}, section.withdrawals, u"出金件数"},
                                     {{26, 13}, section.withdrawalTotal, u"出金額合計"},
                                     {{54, 7}, section.records, u"データ・レコード件数"}});
    };
    return reading.read(bytes, [&] { section = Section{}; }, data, trailer, stop);
}
