#include "import/CsvColumns.h"

#include "core/text/NumberTexts.h"
#include "import/PaymentMethods.h"
#include "import/StatementValues.h"

#include <QCryptographicHash>

using namespace Qt::StringLiterals;

namespace {

const QStringList DateNames{u"日付"_s, u"取引日"_s, u"入金日"_s, u"勘定日"_s, u"振込日"_s,
                            u"年月日"_s, u"取引日付"_s, u"お取引日"_s, u"取扱日"_s};
const QStringList AmountNames{u"金額"_s, u"入金額"_s, u"お預り金額"_s, u"預入金額"_s, u"取引金額"_s,
                              u"お預入れ"_s, u"お預け入れ"_s, u"お預入金額"_s, u"入金金額"_s,
                              u"預り金額"_s};
const QStringList WithdrawalNames{u"お引出し"_s, u"お支払金額"_s, u"出金金額"_s, u"出金額"_s};
const QStringList SearchedNames{u"振込依頼人名"_s, u"依頼人名"_s, u"摘要"_s, u"備考"_s,
                                u"お客様番号"_s, u"注文番号"_s, u"内容"_s, u"お取引内容"_s,
                                u"取引内容"_s, u"振込人名"_s, u"依頼人"_s, u"EDI情報"_s};
const QStringList PayerNames{u"振込依頼人名"_s, u"依頼人名"_s, u"振込人名"_s, u"依頼人"_s};
// Columns that hold nothing but an order number: a number there that is not
// listed names an order the list does not have.
const QStringList OrderNames{u"お客様番号"_s, u"注文番号"_s, u"オーダーNo"_s, u"オーダー番号"_s,
                             u"オーダーID"_s, u"加盟店取引ID"_s, u"受注番号"_s, u"お客様管理番号"_s};

// Spreadsheets pad names with blanks of either width; banks add the unit.
QString columnName(const QString &header)
{
    QString name = QString(header).remove(u' ').remove(u'　');
    for (const QStringView unit : {u"(円)", u"（円）"}) {
        if (name.endsWith(unit))
            name.chop(unit.size());
    }
    return name;
}

std::optional<QList<int>> numbersOf(QStringView text)
{
    QList<int> columns;
    for (const QStringView part : text.split(u' ', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int column = part.toInt(&ok);
        if (!ok || column < 0 || column > 9999)
            return std::nullopt;
        columns.append(column);
    }
    return columns;
}

} // namespace

CsvColumns CsvColumns::fromHeader(const QStringList &header)
{
    CsvColumns columns;
    for (int i = 0; i < header.size(); ++i) {
        const QString name = columnName(header.at(i));
        if (columns.date < 0 && DateNames.contains(name))
            columns.date = i;
        else if (columns.amount < 0 && AmountNames.contains(name))
            columns.amount = i;
        else if (columns.withdrawal < 0 && WithdrawalNames.contains(name))
            columns.withdrawal = i;
        if (SearchedNames.contains(name))
            columns.searched.append(i);
        if (OrderNames.contains(name)) {
            columns.order.append(i);
            if (!SearchedNames.contains(name))
                columns.searched.append(i);
        }
        // A fee column is a payment service's, 後払い or 代引 statement, whose
        // refunds and kind of file the operator gives in the column dialog.
        if (columns.fee < 0 && name.contains(u"手数料"))
            columns.fee = i;
        if (columns.payer < 0 && PayerNames.contains(name))
            columns.payer = i;
        if (columns.cancel < 0 && (name == u"取消" || name == u"取消区分"))
            columns.cancel = i;
        if (columns.problem < 0 && name == u"不正理由")
            columns.problem = i;
        if (columns.status < 0 && name == u"状態")
            columns.status = i;
    }
    return columns;
}

QString CsvColumns::toText() const
{
    QString text = u"date=%1;amount=%2;withdrawal=%3;payer=%4;searched=%5;order=%6;header=%7"_s.arg(date)
                       .arg(amount)
                       .arg(withdrawal)
                       .arg(payer)
                       .arg(NumberTexts(searched).join(u' '), NumberTexts(order).join(u' '))
                       .arg(headerRow ? 1 : 0);
    if (service())
        text += u";fee=%1;net=%2;type=%3;kind=%4"_s.arg(fee).arg(net).arg(type).arg(kind);
    return text;
}

std::optional<CsvColumns> CsvColumns::fromText(QStringView text)
{
    CsvColumns columns;
    int header = 1;
    const std::pair<QStringView, int *> numbers[] = {
        {u"date", &columns.date}, {u"amount", &columns.amount}, {u"withdrawal", &columns.withdrawal},
        {u"payer", &columns.payer}, {u"header", &header},         {u"fee", &columns.fee},
        {u"net", &columns.net},    {u"type", &columns.type},     {u"kind", &columns.kind}};
    for (const QStringView part : text.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq < 0)
            return std::nullopt;
        const QStringView key = part.first(eq).trimmed(), value = part.sliced(eq + 1).trimmed();
        if (key == u"searched" || key == u"order") {
            const std::optional<QList<int>> list = numbersOf(value);
            if (!list)
                return std::nullopt;
            (key == u"searched" ? columns.searched : columns.order) = *list;
            continue;
        }
        bool ok = false;
        const int number = value.toInt(&ok);
        const auto named = std::find_if(std::begin(numbers), std::end(numbers), [key](const auto &n) { return n.first == key; });
        if (!ok || number < -1 || number > 9999 || named == std::end(numbers)
            || (key == u"kind" && (number < 0 || number > int(PaymentMethods::FileKind::CashOnDelivery))))
            return std::nullopt;
        *named->second = number;
    }
    columns.headerRow = header != 0;
    if (!columns.complete() || columns.date == columns.amount || columns.withdrawal == columns.amount)
        return std::nullopt;
    return columns;
}

bool CsvColumns::looksLikeData(const QStringList &firstRow)
{
    for (const QString &field : firstRow) {
        if (StatementValues::dateOf(field).isValid())
            return true;
    }
    return false;
}

QString CsvColumns::keyOf(const QStringList &firstRow)
{
    QString line;
    if (looksLikeData(firstRow)) {
        // D a date, N a number, T other text, - empty.
        line = u"shape:"_s;
        for (const QString &field : firstRow) {
            const QString value = field.trimmed();
            line += value.isEmpty()                            ? u'-'
                    : StatementValues::dateOf(value).isValid() ? u'D'
                    : StatementValues::amountOf(value).has_value() ? u'N'
                                                                   : u'T';
        }
    } else {
        QStringList names;
        for (const QString &field : firstRow)
            names << columnName(field);
        line = u"header:"_s + names.join(u',');
    }
    const QByteArray hash = QCryptographicHash::hash(line.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return u"StatementColumns_"_s + QString::fromLatin1(hash);
}
