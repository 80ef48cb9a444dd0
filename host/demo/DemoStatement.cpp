#include "demo/DemoStatement.h"

#include "core/data/DbConnection.h"
#include "demo/DemoDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

using Order = DemoOrder;

// The leading whole number, as the grid reads "1200円".
qint64 leadingNumber(const QVariant &value)
{
    static const QRegularExpression digits(u"^[0-9]*"_s);
    return digits.match(value.toString().trimmed()).captured().toLongLong();
}

} // namespace

QVariant DemoScalar(DbConnection &connection, const QString &query)
{
    const auto records = connection.Execute(query);
    const QVariant value = records->Eof() ? QVariant() : records->ValueAt(0);
    records->Close();
    return value;
}

// The rows the receipt list shows after 表示 with its default ship dates.
QList<DemoOrder> DemoListedOrders(DbConnection &connection, const QDate &today)
{
    const QStringList exempt =
        DemoScalar(connection, u"SELECT [NYUKIN_NOMANAGE] FROM [CONTROL]"_s).toString().split(u'\t');
    const auto records = connection.Execute(
        u"SELECT [ID], [氏名], [電話番号], [請求額], [入金額], [支払方法] FROM [CHUMON] WHERE [請求額] <> [入金額]"
        " AND [入金確認送信] = 0 AND [出荷日] <= '%1' ORDER BY [ID]"_s.arg(today.toString(u"yyyy/MM/dd")));
    QList<Order> orders;
    for (; !records->Eof(); records->MoveNext()) {
        const QString method = records->Fields(u"支払方法"_s).toString();
        if (!method.isEmpty() && !exempt.contains(method)) {
            const QVariant billed = records->Fields(u"請求額"_s);
            const qint64 received = records->Fields(u"入金額"_s).toLongLong();
            orders.append({records->Fields(u"ID"_s).toLongLong(), records->Fields(u"氏名"_s).toString(),
                           records->Fields(u"電話番号"_s).toString(), method, leadingNumber(billed) - received,
                           method == u"銀行振込" && received == 0 && billed.typeId() != QMetaType::QString});
        }
    }
    records->Close();
    return orders;
}

namespace {

// The demo's payer name for an order, as an operator would have taught it; false
// without the table. The host reaches the component through its interface
// only, so the name is stored in the form the import normalises it to.
bool teach(DbConnection &connection, const Order &order, const QDate &today)
{
    const QString payer = u"(カ)ミドリシヨウジ"_s; // ｶ)ﾐﾄﾞﾘｼｮｳｼﾞ
    const auto quote = [](QString text) -> QString { return u'\'' + text.replace(u"'"_s, u"''"_s) + u'\''; };
    try {
        connection.Execute(u"DELETE FROM [NYUKIN_MEIGI] WHERE [振込依頼人名] = "_s + quote(payer))->Close();
        connection.Execute(u"INSERT INTO [NYUKIN_MEIGI] ([振込依頼人名],[電話番号],[氏名],[更新日]) VALUES (%1,%2,%3,%4)"_s
                               .arg(quote(payer), quote(order.phone), quote(order.name),
                                    quote(today.toString(u"yyyy/MM/dd"_s))))
            ->Close();
    } catch (const DbError &) {
        return false;
    }
    return true;
}

QString quoted(const QString &text)
{
    return u'"' + QString(text).replace(u"\""_s, u"\"\""_s) + u'"';
}

} // namespace

QString DemoFileBeside(const QString &databasePath, const QString &suffix)
{
    const QFileInfo database(databasePath);
    return database.absoluteDir().filePath(database.completeBaseName() + suffix);
}

QString DemoStatementPath(const QString &databasePath)
{
    return DemoFileBeside(databasePath, u"-payments.csv"_s);
}

bool DemoSaveFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

DemoStatement WriteDemoStatement(DbConnection &connection, const DemoOptions &options, const QString &path)
{
    DemoStatement sample;
    sample.path = path;
    const QList<Order> orders = DemoListedOrders(connection, options.today);
    QHash<qint64, int> sharing;
    for (const Order &order : orders)
        ++sharing[order.open];

    QStringList lines{u"取引日,入金額,振込依頼人名,摘要,お客様番号"_s};
    auto line = [&](int daysAgo, qint64 amount, const QString &payer, const QString &remark, const QString &number) {
        lines.append(u"%1,%2,%3,%4,%5"_s.arg(options.today.addDays(-daysAgo).toString(u"yyyy/MM/dd"))
                         .arg(amount)
                         .arg(quoted(payer), quoted(remark), number));
    };

    // The order number where customers put it: before the name, in the remark, in its own column.
    QList<const Order *> transfers;
    for (const Order &order : orders) {
        if (order.unpaidTransfer && transfers.size() < 10)
            transfers.append(&order);
    }
    QList<qint64> used;
    const bool allKinds = transfers.size() == 10;
    for (qsizetype i = 0; i < transfers.size(); ++i) {
        const Order &order = *transfers.at(i);
        used.append(order.id);
        const QString id = QString::number(order.id);
        bool ticked = true;
        if (i == 0) {
            line(3, order.open, id + u' ' + order.name, u"振込"_s, QString());
        } else if (i == 1) {
            line(3, order.open, order.name, u"ご注文番号 "_s + id, QString());
        } else if (i == 2) {
            line(2, order.open, order.name, u"振込"_s, id);
        } else if (i == 3) {
            line(2, order.open > 440 ? order.open - 440 : order.open + 1000, id + u' ' + order.name,
                 u"振込手数料差引"_s, QString());
            sample.amountDiffers = order.id;
            ticked = false;
        } else if (!allKinds) {
            break;
        } else if (i == 4) { // the phone number instead of the order's
            line(2, order.open, order.name, u"TEL "_s + order.phone, QString());
        } else if (i == 5) { // two orders in one transfer; the next is the other
            line(2, order.open + transfers.at(6)->open, order.name,
                 u"注文 %1・%2"_s.arg(order.id).arg(transfers.at(6)->id), QString());
        } else if (i == 7) { // one order in two transfers
            line(1, order.open / 2, order.name, u"分割"_s, id);
            line(1, order.open - order.open / 2, order.name, u"分割"_s, id);
        } else if (i == 8) {
            line(1, order.open > 2000 ? order.open - 2000 : order.open + 2000, order.name, u"振込"_s, id);
            sample.farShort = order.id;
            ticked = false;
        } else if (i == 9) { // a payer name taught before
            ticked = teach(connection, order, options.today);
            if (ticked)
                line(1, order.open, u"ｶ)ﾐﾄﾞﾘｼｮｳｼﾞ"_s, u"振込"_s, QString());
        }
        if (ticked)
            sample.matched.append(order.id);
    }
    // The header, the fee-short and the far-short lines tick nothing.
    sample.tickedLines = int(lines.size()) - 1 - (sample.amountDiffers ? 1 : 0) - (sample.farShort ? 1 : 0);
    if (!transfers.isEmpty()) {
        const Order &again = *transfers.constFirst();
        sample.duplicate = again.id;
        line(1, again.open, QString::number(again.id) + u' ' + again.name, u"振込"_s, QString());
    }

    // Without a number the amount decides: once for one order, once for several.
    for (const Order &order : orders) {
        if (!used.contains(order.id) && sharing.value(order.open) == 1) {
            sample.candidate = order.id;
            used.append(order.id);
            line(1, order.open, order.name, u"振込"_s, QString());
            break;
        }
    }
    for (const Order &order : orders) {
        const qint64 open = order.open;
        if (open <= 0 || sharing.value(open) < 2)
            continue;
        QList<qint64> ids;
        for (const Order &other : orders) {
            if (other.open == open)
                ids.append(other.id);
        }
        if (std::any_of(ids.cbegin(), ids.cend(), [&used](qint64 id) { return used.contains(id); }))
            continue;
        sample.multiple = ids;
        line(1, open, u"ｶ)ｻｸﾗｷｶｸ"_s, u"振込"_s, QString());
        break;
    }
    line(1, 7, u"ﾘｿｸ"_s, u"普通預金利息"_s, QString());

    // Orders the list does not have: one long paid, one never placed.
    const qint64 paid = DemoScalar(connection, u"SELECT MIN([ID]) FROM [CHUMON] WHERE [入金確認送信] = 1"_s).toLongLong();
    const qint64 beyond = DemoScalar(connection, u"SELECT MAX([ID]) FROM [CHUMON]"_s).toLongLong() + 1000;
    for (const qint64 id : {paid, beyond}) {
        if (id <= 0)
            continue;
        sample.unknown.append(id);
        line(0, 5000, u"ﾔﾏﾀﾞ ﾀﾛｳ"_s, u"振込"_s, QString::number(id));
    }

    sample.lines = int(lines.size()) - 1;
    sample.written = DemoSaveFile(path, QByteArray("\xEF\xBB\xBF") + lines.join(u"\r\n"_s).toUtf8() + "\r\n");
    return sample;
}
