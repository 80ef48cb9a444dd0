#include "demo/DemoMethodFiles.h"

#include "demo/DemoDatabase.h"
#include "demo/DemoStatement.h"

#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace {

// The slip of an order: our company code, the order at the end of the free
// digits, due in a month, and the GS1 check digit.
QString slip(qint64 order, qint64 amount, const QDate &today)
{
    const QString digits = u"91"_s + u"456789"_s + u"%1"_s.arg(order, 21, 10, QChar(u'0')) + u"0"_s
                           + today.addMonths(1).toString(u"yyMMdd") + u"0"_s + u"%1"_s.arg(amount, 6, 10, QChar(u'0'));
    int sum = 0;
    for (qsizetype i = 0; i < digits.size(); ++i)
        sum += digits.at(i).digitValue() * (i % 2 == 0 ? 3 : 1);
    return digits + QString::number((10 - sum % 10) % 10);
}

QList<DemoOrder> ofMethod(const QList<DemoOrder> &orders, QStringView method, qsizetype count)
{
    QList<DemoOrder> found;
    for (const DemoOrder &order : orders) {
        if (order.method == method && order.open > 0 && order.open < 1000000 && found.size() < count)
            found.append(order);
    }
    return found;
}

// Lines ended as the services' Windows programs end them.
QString crlf(const QStringList &lines)
{
    return lines.join(u"\r\n") + u"\r\n";
}

void writeConvenienceCsv(DemoMethodFile &file, const QList<DemoOrder> &orders, const DemoOrder &transfer,
                         const QDate &today)
{
    QStringList lines{u"種別,収納日,収納時刻,バーコード情報,ユーザー使用欄1,ユーザー使用欄2,印紙フラグ,金額,"
                      "コンビニ本部コード,コンビニ名,店舗コード,振込日,データ作成日"_s};
    // A 郵便振替訂正 keeps the slip and corrects the amount.
    const auto line = [&](const char *kind, const DemoOrder &order, qint64 amount, const char *time,
                          qint64 slipAmount = -1) {
        lines.append(u"%1,%2,%3,%4,,,0,%5,000001,ｻﾝﾌﾟﾙﾏｰﾄ,0012345,%6,%7"_s.arg(QLatin1StringView(kind),
            today.addDays(-1).toString(u"yyyyMMdd"), QLatin1StringView(time),
            slip(order.id, slipAmount < 0 ? amount : slipAmount, today),
            QString::number(amount), today.addDays(3).toString(u"yyyyMMdd"), today.toString(u"yyyyMMdd")));
    };
    if (orders.size() < 5)
        return;
    line("01", orders.at(0), orders.at(0).open, "0930");
    line("01", orders.at(1), orders.at(1).open, "1015");
    line("01", orders.at(2), orders.at(2).open, "1120");
    line("03", orders.at(2), orders.at(2).open, "1125");
    line("02", orders.at(0), orders.at(0).open, "0930");
    line("02", orders.at(3), orders.at(3).open, "1300");
    line("12", orders.at(4), orders.at(4).open + 100, "1410");
    line("22", orders.at(4), orders.at(4).open, "1410", orders.at(4).open + 100);
    // A slip for an order the customer was to pay by bank transfer: 支払方法違い.
    line("02", transfer, transfer.open, "1520");
    file.paid = {orders.at(0).id, orders.at(3).id, orders.at(4).id};
    file.unpaid = {orders.at(1).id, orders.at(2).id, transfer.id};
    QStringEncoder sjis("Shift_JIS");
    file.written = DemoSaveFile(file.path, QByteArray(sjis(crlf(lines))));
}

QByteArray fixedRecord(char kind, std::initializer_list<std::pair<int, QByteArray>> fields)
{
    QByteArray record(120, ' ');
    record[0] = kind;
    for (const auto &[at, value] : fields)
        record.replace(at - 1, value.size(), value);
    return record + "\r\n";
}

void writeConvenienceFixed(DemoMethodFile &file, const QList<DemoOrder> &orders, const QDate &today)
{
    if (orders.size() < 7)
        return;
    const QByteArray day = today.addDays(-1).toString(u"yyyyMMdd").toLatin1();
    const QByteArray transfer = today.addDays(3).toString(u"yyyyMMdd").toLatin1();
    QByteArray bytes = fixedRecord('1', {{2, "01"}, {4, today.toString(u"yyyyMMdd").toLatin1()}});
    qint64 total = 0;
    for (const auto &[kind, order] : {std::pair{"02", orders.at(5)}, std::pair{"01", orders.at(6)}}) {
        bytes += fixedRecord('2', {{2, kind}, {4, day}, {12, "1530"}, {16, slip(order.id, order.open, today).toLatin1()},
                                   {60, "0054321"}, {67, transfer}, {75, day}, {83, "000002"},
                                   {89, QByteArray::number(order.open).rightJustified(10, '0')}});
        total += order.open;
    }
    bytes += fixedRecord('8', {{2, "000002"}, {8, QByteArray::number(total).rightJustified(12, '0')}});
    bytes += fixedRecord('9', {});
    file.paid = {orders.at(5).id};
    file.unpaid = {orders.at(6).id};
    file.written = DemoSaveFile(file.path, bytes);
}

void writeDeferred(DemoMethodFile &file, const QList<DemoOrder> &orders, const QDate &today)
{
    if (orders.size() < 3)
        return;
    QStringList lines{u"取引日,加盟店取引ID,取引種別,請求金額,手数料,入金予定額"_s};
    qint64 payout = 0;
    const auto line = [&](int daysAgo, const DemoOrder &order, const QString &type, qint64 amount) {
        // A fee of 3% or so, as such services charge; a refund takes it back.
        const qint64 fee = amount * 3 / 100;
        lines.append(u"%1,%2,%3,%4,%5,%6"_s.arg(today.addDays(-daysAgo).toString(u"yyyy/MM/dd"), QString::number(order.id),
                                              type, QString::number(amount), QString::number(fee),
                                              QString::number(amount - fee)));
        payout += amount - fee;
    };
    line(5, orders.at(0), u"売上"_s, orders.at(0).open);
    line(4, orders.at(1), u"売上"_s, orders.at(1).open);
    line(2, orders.at(1), u"返金"_s, -orders.at(1).open);
    line(1, orders.at(2), u"売上"_s, orders.at(2).open);
    file.paid = {orders.at(0).id, orders.at(2).id};
    file.unpaid = {orders.at(1).id};
    file.written = DemoSaveFile(file.path, crlf(lines).toUtf8());
}

void writeCashOnDelivery(DemoMethodFile &file, const QList<DemoOrder> &orders, const QDate &today)
{
    if (orders.size() < 2)
        return;
    QStringList lines{u"お問い合わせ番号,お客様管理番号,お届け日,代引金額,代引手数料,振込金額"_s};
    for (qsizetype i = 0; i < 2; ++i) {
        const DemoOrder &order = orders.at(i);
        lines.append(u"4000-1234-%1,%2,%3,%4,330,%5"_s.arg(QString::number(1000 + i), QString::number(order.id),
                                                         today.addDays(-2).toString(u"yyyy/MM/dd"),
                                                         QString::number(order.open), QString::number(order.open - 330)));
        file.paid.append(order.id);
    }
    file.written = DemoSaveFile(file.path, crlf(lines).toUtf8());
}

} // namespace

DemoMethodFiles WriteDemoMethodFiles(DbConnection &connection, const DemoOptions &options, const QString &databasePath)
{
    const QList<DemoOrder> orders = DemoListedOrders(connection, options.today);
    DemoMethodFiles files;
    files.convenienceCsv.path = DemoFileBeside(databasePath, u"-konbini.csv"_s);
    files.convenienceFixed.path = DemoFileBeside(databasePath, u"-konbini.dat"_s);
    files.deferred.path = DemoFileBeside(databasePath, u"-atobarai.csv"_s);
    files.cashOnDelivery.path = DemoFileBeside(databasePath, u"-daibiki.csv"_s);
    const QList<DemoOrder> slips = ofMethod(orders, u"コンビニ払い", 7);
    const QList<DemoOrder> transfers = ofMethod(orders, u"銀行振込", 1);
    if (!transfers.isEmpty())
        writeConvenienceCsv(files.convenienceCsv, slips, transfers.constFirst(), options.today);
    writeConvenienceFixed(files.convenienceFixed, slips, options.today);
    writeDeferred(files.deferred, ofMethod(orders, u"後払い", 3), options.today);
    writeCashOnDelivery(files.cashOnDelivery, ofMethod(orders, u"代金引換", 2), options.today);
    return files;
}
