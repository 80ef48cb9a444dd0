#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringEncoder>

#include <utility>

using namespace Qt::StringLiterals;

// Builds statements in the banks' fixed-length format, record by record.
namespace ZenginSample {

struct Deposit
{
    QByteArray date = "060501"; // Reiwa 6 = 2024
    qint64 amount = 3000;
    QString payer = QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ");
    QString edi;
    bool withdrawal = false;
};

inline QByteArray sjis(const QString &text)
{
    return QStringEncoder("windows-31j").encode(text);
}

inline QByteArray digits(qint64 value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0');
}

inline QByteArray record(char kind, const QList<std::pair<int, QByteArray>> &fields)
{
    QByteArray bytes(200, ' ');
    bytes[0] = kind;
    for (const auto &[offset, value] : fields)
        bytes.replace(offset, value.size(), value);
    return bytes;
}

// Header, data, trailer and end records, joined by separator.
inline QList<QByteArray> records(const QList<Deposit> &deposits)
{
    QList<QByteArray> out{record('1', {{1, "03"}, {3, "0"}, {4, "060531"}})};
    qint64 count = 0, total = 0;
    for (const Deposit &deposit : deposits) {
        // The fields around the ones read are filled, so a misplaced read shows.
        out.append(record('2', {{1, "00000042"}, {9, deposit.date}, {15, deposit.date},
                                {21, deposit.withdrawal ? "2" : "1"}, {22, "11"}, {24, digits(deposit.amount, 12)},
                                {36, digits(0, 12)}, {71, "0000012345"}, {81, sjis(deposit.payer)},
                                {129, sjis(u"ﾐｽﾞﾎ"_s)}, {159, sjis(u"ﾌﾘｺﾐ"_s)}, {179, sjis(deposit.edi)}}));
        if (!deposit.withdrawal) {
            ++count;
            total += deposit.amount;
        }
    }
    out.append(record('8', {{1, digits(count, 6)}, {7, digits(total, 13)}, {54, digits(deposits.size(), 7)}}));
    out.append(record('9', {}));
    return out;
}

inline QByteArray file(const QList<Deposit> &deposits, const QByteArray &separator = "\r\n")
{
    return records(deposits).join(separator) + separator;
}

} // namespace ZenginSample
