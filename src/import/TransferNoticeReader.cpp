// The banks' notice of incoming transfers (全銀協制定 振込入金通知, 種別
// コード 01): 200-byte records in Shift_JIS, with or without line breaks,
// one header, data and trailer section per account and an end record. Every
// data record is a deposit; one with 取消区分 1 cancels an earlier notice.
//
// Record layout as a bank publishes it in "振込入金通知(全銀協制定フォーマット)":
// header (データ区分 1, 種別コード 01, コード区分 0 JIS, 作成日, 勘定日(自)(至),
// 預金種目 1 普通 2 当座 4 貯蓄), data records (データ区分 2: 照会番号, 勘定日,
// 起算日, 金額, 振込依頼人名, 取消区分, EDI情報), trailer (データ区分 8: 合計
// 件数・金額, 取消件数・金額) and end record (データ区分 9), 200 bytes each,
// dates YYMMDD in the Japanese era.
#include "import/FixedRecords.h"
#include "import/StatementValues.h"

using namespace Qt::StringLiterals;
using namespace FixedRecords;

namespace {

// The header's 預金種目 at 60; in a data record 照会番号, 勘定日, 起算日,
// 金額, 振込依頼人名 and EDI情報.
constexpr Kind Notice{Statement::Format::Notice, "01", u"振込入金通知", {59, 1},
                      u"預金種目 %1 の口座は読めません（普通・当座・貯蓄のみ）",
                      {1, 6}, {7, 6}, {13, 6}, u"起算日", {19, 10}, {49, 48}, {128, 20}};
constexpr Field Cancel{127, 1}; // 取消区分: 1 取消

struct Section
{
    qint64 count{0}, total{0}, cancels{0}, cancelTotal{0};
    // Lines that cancel a notice, or may (their 取消区分 is damaged), and whether their amount was read.
    QList<std::pair<qsizetype, bool>> cancelling;
};

// A cancel takes back the notice of the section that agrees with it in
// 照会番号, amount, 勘定日 and payer, before or after it in the file. One
// that shares only its 照会番号 with notices is a contradiction: neither pays,
// and both say why. Without a notice of its 照会番号, the one of the same
// amount, 勘定日 and payer. A damaged cancel holds back every notice it
// might take back.
void settleCancels(Reading &reading, const Section &section)
{
    const Statement &statement = reading.statement;
    const qsizetype end = statement.lines.size();
    for (const auto &[c, amountRead] : section.cancelling) {
        if (!reading.standing(c))
            continue;
        const StatementLine cancel = statement.lines.at(c);
        QList<qsizetype> sameReference, sameAmount, all;
        qsizetype whole = -1, alike = -1;
        for (qsizetype i = reading.firstLine; i < end; ++i) {
            const StatementLine &notice = statement.lines.at(i);
            if (i == c || !reading.standing(i) || notice.cancels || !notice.problem.isEmpty())
                continue;
            all.append(i);
            const bool rest = notice.amount == cancel.amount && notice.date == cancel.date
                              && notice.payerName == cancel.payerName;
            if (!cancel.reference.isEmpty() && notice.reference == cancel.reference) {
                sameReference.append(i);
                if (rest && whole < 0)
                    whole = i;
            } else if (rest && alike < 0) {
                alike = i;
            }
            if (notice.amount == cancel.amount)
                sameAmount.append(i);
        }
        if (!cancel.problem.isEmpty()) {
            for (const qsizetype i : !sameReference.isEmpty() ? sameReference : amountRead ? sameAmount : all)
                reading.holdBack(i, u"%1行目の取消が読めないため、この入金が取り消されていないか分かりません"_s
                                                      .arg(cancel.lineNumber));
        } else if (whole >= 0) {
            reading.take(whole);
            reading.drop(c);
        } else if (!sameReference.isEmpty()) {
            for (const qsizetype i : sameReference)
                reading.holdBack(i, u"%1行目の取消と照会番号が同じで、金額・勘定日・依頼人が違います"_s
                                                      .arg(cancel.lineNumber));
            reading.holdBack(c, u"照会番号が同じ%1行目の通知と金額・勘定日・依頼人が違います"_s
                                                  .arg(statement.lines.at(sameReference.constFirst()).lineNumber));
        } else if (alike >= 0) {
            reading.take(alike);
            reading.drop(c);
        }
    }
}

} // namespace

Statement FixedRecords::readTransferNotice(QByteArrayView bytes, const QDate &today, const std::atomic_bool *stop)
{
    Reading reading(Notice, today);
    Statement &statement = reading.statement;
    Section section;
    const auto data = [&](QByteArrayView record, int number) {
        StatementLine line = reading.lineOf(record, number);
        const QByteArrayView cancel = field(record, Cancel);
        line.cancels = cancel == QByteArrayView("1");
        const bool damagedCancel = cancel != QByteArrayView("0") && cancel != QByteArrayView(" ") && !line.cancels;
        // Only an unreadable amount goes before a wrong 取消区分.
        const bool amountRead = StatementValues::isDigits(field(record, Notice.amount));
        if (damagedCancel && amountRead)
            line.problem = u"取消区分「%1」が正しくありません"_s.arg(QString::fromLatin1(cancel));
        ++section.count;
        section.total += line.amount;
        if (line.cancels) {
            ++section.cancels;
            section.cancelTotal += line.amount;
        }
        const bool cancelling = line.cancels || damagedCancel;
        if (const qsizetype at = statement.lines.size(); reading.keep(std::move(line)) && cancelling)
            section.cancelling.append({at, amountRead});
        return QString();
    };
    const auto trailer = [&](QByteArrayView record) {
        settleCancels(reading, section);
        return trailerError(record, {{{1, 6}, section.count, u"合計件数"},
                                     {{7, 12}, section.total, u"合計金額"},
                                     {{19, 6}, section.cancels, u"取消件数"},
                                     {{25, 12}, section.cancelTotal, u"取消金額"}});
    };
    return reading.read(bytes, [&] { section = Section{}; }, data, trailer, stop);
}
