#include "core/receipt/PaymentHistory.h"

#include "core/data/CellText.h"
#include "core/data/DbConnection.h"
#include "core/data/DbTransaction.h"
#include "core/data/FieldValue.h"
#include "core/data/RecordsetCloser.h"
#include "core/data/SqlCatalog.h"

#include <QSet>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace PaymentHistory {

using ReceiptRegistration::OrderNumbers;

namespace {

// A number kept as its text goes back as the number: whole yen as an
// integer, a fraction the database held as itself.
QVariant numberValue(const QString &text)
{
    const double number = CellText::parseNumber(text).value_or(0);
    if (std::trunc(number) == number && std::abs(number) < 1e15)
        return qlonglong(number);
    return number;
}

// 入金日, 入金額 and 入金確認送信 as the statements take them.
QVariantList values(const Listed &listed)
{
    return {listed.paidDate.isEmpty() ? QVariant() : QVariant(listed.paidDate), numberValue(listed.paidAmount),
            numberValue(listed.mailSent)};
}

} // namespace

bool Available(DbConnection &connection)
{
    const auto records = connection.Execute(SqlCatalog::TableCount(u"NYUKIN_RIREKI"_s, connection.Dialect()));
    const RecordsetCloser closer(records.get());
    return !records->Eof() && records->NumberAt(records->FieldIndex(u"N"_s)) > 0;
}

QString OffMessage()
{
    return u"入金履歴は記録されていません (NYUKIN_RIREKI 表がありません)。"
           u"記録するには、sql フォルダのスキーマにある CREATE TABLE NYUKIN_RIREKI を実行してください。"_s;
}

qint64 Record(DbConnection &connection, const QList<Change> &changes, const QString &operatorName,
              const QDateTime &at, std::optional<qint64> reverses)
{
    const SqlDialect dialect = connection.Dialect();
    if (const QString lock = SqlCatalog::HistoryLock(dialect); !lock.isEmpty())
        connection.Execute(lock)->Close();
    qint64 number = 1;
    {
        const auto records = connection.Execute(SqlCatalog::HistoryLastNumber(dialect));
        const RecordsetCloser closer(records.get());
        if (!records->Eof())
            number = records->IntegerAt(records->FieldIndex(u"N"_s)).value_or(0) + 1;
    }
    const QString time = at.toString(u"yyyy/MM/dd HH:mm:ss"_s);
    const QVariant reversed = reverses ? QVariant(qlonglong(*reverses)) : QVariant();
    QList<QVariantList> rows;
    rows.reserve(changes.size());
    for (const Change &change : changes)
        // Cut to the columns' widths on every database: a long file name must not refuse 登録.
        rows.append(SqlCatalog::HistoryValues(number, time, operatorName.left(100), change.orderId,
                                              values(change.before), values(change.after), change.source.left(260),
                                              change.line.left(100), reversed));
    if (!rows.isEmpty())
        connection.ExecuteEach(SqlCatalog::RecordHistoryEach(dialect), rows);
    return number;
}

QList<Registration> List(DbConnection &connection, const QDate &from, const QDate &to, qint64 orderId)
{
    const auto records = connection.Execute(SqlCatalog::HistoryList(FieldValue::FormatDate(from),
                                                                    FieldValue::FormatDate(to), orderId,
                                                                    connection.Dialect()));
    const RecordsetCloser closer(records.get());
    // The columns in the order HistoryList gives them.
    enum { Number, At, By, Orders, Amount, Source, SourceLast, Reverses };
    QList<Registration> registrations;
    for (; !records->Eof(); records->MoveNext()) {
        Registration registration;
        registration.number = records->IntegerAt(Number).value_or(0);
        registration.at = records->TextAt(At);
        registration.operatorName = records->TextAt(By);
        registration.orders = int(records->NumberAt(Orders));
        registration.amount = records->NumberAt(Amount);
        registration.source = records->TextAt(Source);
        // A registration of typed rows and a file's lines says so.
        if (records->TextAt(SourceLast) != registration.source)
            registration.source += u" ほか"_s;
        registration.reverses = records->IntegerAt(Reverses);
        registrations.append(registration);
    }
    return registrations;
}

QList<Line> Lines(DbConnection &connection, qint64 number)
{
    const auto records = connection.Execute(SqlCatalog::HistoryLines(number, connection.Dialect()));
    const RecordsetCloser closer(records.get());
    // The columns in the order HistoryLines gives them; the values before
    // and after are three each.
    enum { Id, Before, After = Before + 3, Source = After + 3, LineText, Live };
    QList<Line> lines;
    for (; !records->Eof(); records->MoveNext()) {
        Line entry;
        entry.change.orderId = records->IntegerAt(Id).value_or(0);
        // As the registration's check reads the orders, so that what it
        // wrote compares with what an order holds now.
        entry.change.before = ReceiptRegistration::ListedAt(*records, Before);
        entry.change.after = ReceiptRegistration::ListedAt(*records, After);
        entry.change.source = records->TextAt(Source);
        entry.change.line = records->TextAt(LineText);
        entry.live = records->NumberAt(Live) > 0;
        lines.append(entry);
    }
    return lines;
}

TakeBackResult TakeBack(DbConnection &connection, qint64 number, const QList<Change> &changes,
                        const QString &operatorName, const QDateTime &at)
{
    TakeBackResult result;
    // The orders must still hold what the registration wrote: the check of
    // 登録, with its locks, against the values after it.
    QList<ReceiptRegistration::Receipt> expected;
    for (const Change &change : changes)
        expected.append({.id = change.orderId, .listed = change.after});
    DbTransaction transaction(connection);
    result.changed = ReceiptRegistration::ChangedElsewhere(connection, expected);
    if (!result.changed.isEmpty())
        return result;
    // Numbering waits for any other take-back, which then has committed:
    // an order it took back already is seen here even where the values
    // before and after are the same.
    if (const QString lock = SqlCatalog::HistoryLock(connection.Dialect()); !lock.isEmpty())
        connection.Execute(lock)->Close();
    QSet<qint64> taken;
    {
        const auto records = connection.Execute(SqlCatalog::HistoryTakenBack(number, connection.Dialect()));
        const RecordsetCloser closer(records.get());
        // Its one column, ID.
        for (; !records->Eof(); records->MoveNext()) {
            if (const auto orderId = records->IntegerAt(0))
                taken.insert(*orderId);
        }
    }
    QList<QVariantList> rows;
    QList<Change> reversal;
    for (const Change &change : changes) {
        if (taken.contains(change.orderId))
            result.takenBack.append(change.orderId);
        rows.append(values(change.before) + QVariantList{qlonglong(change.orderId)});
        reversal.append({change.orderId, change.after, change.before, TakeBackSource(),
                         u"No. %1 の取消"_s.arg(number)});
    }
    if (!result.takenBack.isEmpty())
        return result;
    connection.ExecuteEach(SqlCatalog::TakeBackEach(connection.Dialect()), rows);
    result.number = Record(connection, reversal, operatorName, at, number);
    transaction.Commit();
    return result;
}

QString RefusalMessage(const TakeBackResult &result)
{
    QString text = u"取消は行いませんでした。"_s;
    if (!result.changed.isEmpty())
        text += u"\n次の注文は、この登録の後に入金が変更されたか、削除されています。\nNo. "_s + OrderNumbers(result.changed);
    if (!result.takenBack.isEmpty())
        text += u"\n次の注文は、この登録の分がすでに取り消されています。\nNo. "_s + OrderNumbers(result.takenBack);
    return text;
}

bool SetMail(const QList<Change> &changes)
{
    return std::any_of(changes.cbegin(), changes.cend(), [](const Change &change) {
        return change.after.mailSent == u"1"_s && change.before.mailSent != u"1"_s;
    });
}

} // namespace PaymentHistory
