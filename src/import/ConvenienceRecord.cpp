#include "import/ConvenienceRecord.h"

#include "import/Gs1Barcode.h"
#include "import/StatementValues.h"

using namespace Qt::StringLiterals;

namespace {

using Kind = ConvenienceRecord::Kind;

constexpr std::pair<Kind, const char16_t *> KindNames[] = {{Kind::Prompt, u"速報"},
                                                           {Kind::Final, u"確報"},
                                                           {Kind::PromptCancel, u"速報取消"},
                                                           {Kind::Postal, u"郵便振替"},
                                                           {Kind::PostalCorrection, u"郵便振替訂正"}};

} // namespace

QString ConvenienceRecord::kindName(Kind kind)
{
    for (const auto &[known, name] : KindNames) {
        if (known == kind)
            return QString::fromUtf16(name);
    }
    return QString();
}

bool ConvenienceRecord::kindOf(QStringView code, Kind &kind)
{
    bool ok = false;
    const int value = code.trimmed().toInt(&ok);
    if (!ok || code.trimmed().size() != 2)
        return false;
    for (const auto &[known, name] : KindNames) {
        if (int(known) == value) {
            kind = known;
            return true;
        }
    }
    return false;
}

ConvenienceRecord ConvenienceRecord::read(int lineNumber, const Texts &texts, int orderStart, int orderLength)
{
    ConvenienceRecord record;
    record.lineNumber = lineNumber;
    record.paidOn = StatementValues::dateOf(texts.paidOn);
    record.time = QString(texts.time).remove(u':');
    record.store = texts.store;
    record.chain = texts.chain;
    record.transferDate = StatementValues::dateOf(texts.transferDate);
    const std::optional<qint64> amount = StatementValues::amountOf(texts.amount);
    record.amount = amount.value_or(0);
    const Gs1Barcode barcode = Gs1Barcode::read(texts.barcode);
    record.barcode = barcode.ok() ? barcode.digits : texts.barcode.trimmed();
    if (!kindOf(texts.kind, record.kind))
        record.problem = u"種別「%1」が分かりません（01 速報、02 確報、03 速報取消、12 郵便振替、22 郵便振替訂正）"_s
                             .arg(texts.kind);
    else if (!amount || *amount < 0)
        record.problem = u"金額「%1」が読めません"_s.arg(texts.amount);
    else if (!record.paidOn.isValid())
        record.problem = u"収納日「%1」が正しくありません"_s.arg(texts.paidOn);
    else if (!barcode.ok())
        record.problem = barcode.problem;
    else if (record.kind != Kind::PostalCorrection && barcode.amount() != record.amount)
        record.problem = u"バーコードの金額 %1 円が明細の金額 %2 円と違います"_s.arg(barcode.amount()).arg(record.amount);
    else
        record.order = barcode.orderNumber(orderStart, orderLength);
    return record;
}
