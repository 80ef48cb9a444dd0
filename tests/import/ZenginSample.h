#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringEncoder>

#include <utility>

using namespace Qt::StringLiterals;

// Builds the banks' 200-byte files record by record, from the published
// layouts: positions count from 1, as the banks' tables give them. Fields
// around the ones read are filled, so a misplaced read shows.
namespace ZenginSample {

struct Entry
{
    QByteArray date = "060501"; // 令和6年 = 2024
    qint64 amount = 3000;
    QString payer = QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ");
    QString edi{};
    char inOut = '1';              // 03: 1 入金, 2 出金
    QByteArray transaction = "11"; // 03: 取引区分, 19 訂正
    bool cancel = false;           // 01: 取消区分 1
    QByteArray reference = "000042";
};

struct Account
{
    QList<Entry> entries;
    char kind = '1'; // 預金種目
    QByteArray created = "060531", from = "060501", to = "060531";
};

inline QByteArray sjis(const QString &text)
{
    return QStringEncoder("windows-31j").encode(text);
}

inline QByteArray digits(qint64 value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0');
}

// A record of the kind with values at their published positions; the
// convenience-store agents' records are 120 bytes wide.
inline QByteArray record(char kind, const QList<std::pair<int, QByteArray>> &fields, int width = 200)
{
    QByteArray bytes(width, ' ');
    bytes[0] = kind;
    for (const auto &[position, value] : fields)
        bytes.replace(position - 1, value.size(), value);
    return bytes;
}

// 入出金取引明細 (種別コード 03).
inline QList<QByteArray> statement(const QList<Account> &accounts)
{
    QList<QByteArray> out;
    for (const Account &account : accounts) {
        out.append(record('1', {{2, "03"}, {4, "0"}, {5, account.created}, {11, account.from}, {17, account.to},
                                {23, "0001"}, {27, sjis(u"ﾐｽﾞﾎ"_s)}, {60, "000"}, {63, QByteArray(1, account.kind)},
                                {64, "0001234567"}, {74, sjis(u"ｶ)ﾊﾟｰﾛｳ"_s)}, {114, "1"}, {116, digits(5, 14)}}));
        qint64 in = 0, inTotal = 0, out2 = 0, outTotal = 0;
        for (const Entry &entry : account.entries) {
            out.append(record('2', {{2, "000000" + entry.reference.right(2)}, {10, entry.date}, {16, entry.date},
                                    {22, QByteArray(1, entry.inOut)}, {23, entry.transaction},
                                    {25, digits(entry.amount, 12)}, {37, digits(0, 12)}, {72, "0000012345"},
                                    {82, sjis(entry.payer)}, {130, sjis(u"ﾐｽﾞﾎ"_s)}, {160, sjis(u"ﾌﾘｺﾐ"_s)},
                                    {180, sjis(entry.edi)}}));
            (entry.inOut == '1' ? in : out2) += 1;
            (entry.inOut == '1' ? inTotal : outTotal) += entry.amount;
        }
        out.append(record('8', {{2, digits(in, 6)}, {8, digits(inTotal, 13)}, {21, digits(out2, 6)},
                                {27, digits(outTotal, 13)}, {40, "1"}, {41, digits(5, 14)},
                                {55, digits(account.entries.size(), 7)}}));
    }
    out.append(record('9', {}));
    return out;
}

// 振込入金通知 (種別コード 01).
inline QList<QByteArray> notice(const QList<Account> &accounts)
{
    QList<QByteArray> out;
    for (const Account &account : accounts) {
        out.append(record('1', {{2, "01"}, {4, "0"}, {5, account.created}, {11, account.from}, {17, account.to},
                                {23, "0001"}, {27, sjis(u"ﾐｽﾞﾎ"_s)}, {42, "123"}, {60, QByteArray(1, account.kind)},
                                {61, "1234567"}, {68, sjis(u"ｶ)ﾊﾟｰﾛｳ"_s)}}));
        qint64 total = 0, cancels = 0, cancelTotal = 0;
        for (const Entry &entry : account.entries) {
            out.append(record('2', {{2, entry.reference}, {8, entry.date}, {14, entry.date},
                                    {20, digits(entry.amount, 10)}, {30, digits(0, 10)}, {40, "0000012345"},
                                    {50, sjis(entry.payer)}, {98, sjis(u"ﾐｽﾞﾎ"_s)}, {113, sjis(u"ﾎﾝﾃﾝ"_s)},
                                    {128, entry.cancel ? "1" : "0"}, {129, sjis(entry.edi)}}));
            total += entry.amount;
            cancels += entry.cancel ? 1 : 0;
            cancelTotal += entry.cancel ? entry.amount : 0;
        }
        out.append(record('8', {{2, digits(account.entries.size(), 6)}, {8, digits(total, 12)},
                                {20, digits(cancels, 6)}, {26, digits(cancelTotal, 12)}}));
    }
    out.append(record('9', {}));
    return out;
}

inline QByteArray join(const QList<QByteArray> &records, const QByteArray &separator = "\r\n")
{
    return records.join(separator) + separator;
}

inline QByteArray file(const QList<Entry> &entries, const QByteArray &separator = "\r\n")
{
    return join(statement({{entries}}), separator);
}

} // namespace ZenginSample
