#include "import/CsvColumns.h"

#include "import/PaymentMethods.h"
#include "import/StatementValues.h"

#include <QCryptographicHash>

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr std::array<const char16_t *, 9> DateNames{u"日付", u"取引日", u"入金日", u"勘定日", u"振込日",
                                                    u"年月日", u"取引日付", u"お取引日", u"取扱日"};
constexpr std::array<const char16_t *, 10> AmountNames{u"金額", u"入金額", u"お預り金額", u"預入金額", u"取引金額",
                                                       u"お預入れ", u"お預け入れ", u"お預入金額", u"入金金額",
                                                       u"預り金額"};
constexpr std::array<const char16_t *, 4> WithdrawalNames{u"お引出し", u"お支払金額", u"出金金額", u"出金額"};
constexpr std::array<const char16_t *, 12> SearchedNames{u"振込依頼人名", u"依頼人名", u"摘要", u"備考",
                                                         u"お客様番号", u"注文番号", u"内容", u"お取引内容",
                                                         u"取引内容", u"振込人名", u"依頼人", u"EDI情報"};
constexpr std::array<const char16_t *, 4> PayerNames{u"振込依頼人名", u"依頼人名", u"振込人名", u"依頼人"};
constexpr std::array<const char16_t *, 2> CancelNames{u"取消", u"取消区分"};
constexpr std::array<const char16_t *, 1> ProblemNames{u"不正理由"};
constexpr std::array<const char16_t *, 1> StatusNames{u"状態"};
// Columns that hold nothing but an order number: a number there that is not
// listed names an order the list does not have.
constexpr std::array<const char16_t *, 8> OrderNames{u"お客様番号", u"注文番号", u"オーダーNo", u"オーダー番号",
                                                      u"オーダーID", u"加盟店取引ID", u"受注番号", u"お客様管理番号"};

template<size_t N>
bool isOneOf(const QString &name, const std::array<const char16_t *, N> &names)
{
    for (const char16_t *candidate : names) {
        if (name == QStringView(candidate))
            return true;
    }
    return false;
}

// Spreadsheets pad names with blanks of either width; banks add the unit.
QString columnName(const QString &header)
{
    QString name = header;
    name.remove(u' ');
    name.remove(u'　');
    for (const QStringView unit : {u"(円)", u"（円）"}) {
        if (name.endsWith(unit))
            name.chop(unit.size());
    }
    return name;
}

QString numbers(const QList<int> &columns)
{
    QStringList texts;
    for (const int column : columns)
        texts << QString::number(column);
    return texts.join(u' ');
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
        if (columns.date < 0 && isOneOf(name, DateNames))
            columns.date = i;
        else if (columns.amount < 0 && isOneOf(name, AmountNames))
            columns.amount = i;
        else if (columns.withdrawal < 0 && isOneOf(name, WithdrawalNames))
            columns.withdrawal = i;
        if (isOneOf(name, SearchedNames))
            columns.searched.append(i);
        if (isOneOf(name, OrderNames)) {
            columns.order.append(i);
            if (!isOneOf(name, SearchedNames))
                columns.searched.append(i);
        }
        // A fee column is a payment service's, 後払い or 代引 statement, whose
        // refunds and kind of file the operator gives in the column dialog.
        if (columns.fee < 0 && name.contains(u"手数料"))
            columns.fee = i;
        if (columns.payer < 0 && isOneOf(name, PayerNames))
            columns.payer = i;
        if (columns.cancel < 0 && isOneOf(name, CancelNames))
            columns.cancel = i;
        if (columns.problem < 0 && isOneOf(name, ProblemNames))
            columns.problem = i;
        if (columns.status < 0 && isOneOf(name, StatusNames))
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
                       .arg(numbers(searched), numbers(order))
                       .arg(headerRow ? 1 : 0);
    if (service())
        text += u";fee=%1;net=%2;type=%3;kind=%4"_s.arg(fee).arg(net).arg(type).arg(kind);
    return text;
}

std::optional<CsvColumns> CsvColumns::fromText(QStringView text)
{
    CsvColumns columns;
    bool sawDate = false, sawAmount = false;
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
        if (!ok || number < -1 || number > 9999)
            return std::nullopt;
        if (key == u"date") {
            columns.date = number;
            sawDate = true;
        } else if (key == u"amount") {
            columns.amount = number;
            sawAmount = true;
        } else if (key == u"withdrawal") {
            columns.withdrawal = number;
        } else if (key == u"payer") {
            columns.payer = number;
        } else if (key == u"header") {
            columns.headerRow = number != 0;
        } else if (key == u"fee") {
            columns.fee = number;
        } else if (key == u"net") {
            columns.net = number;
        } else if (key == u"type") {
            columns.type = number;
        } else if (key == u"kind" && number >= 0 && number <= int(PaymentMethods::FileKind::CashOnDelivery)) {
            columns.kind = number;
        } else {
            return std::nullopt;
        }
    }
    if (!sawDate || !sawAmount || !columns.complete() || columns.date == columns.amount
        || columns.withdrawal == columns.amount)
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
