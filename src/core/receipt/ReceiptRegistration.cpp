#include "core/receipt/ReceiptRegistration.h"

#include "core/data/CellText.h"
#include "core/data/DbConnection.h"
#include "core/data/DbTransaction.h"
#include "core/data/RecordsetCloser.h"
#include "core/data/SqlCatalog.h"
#include "core/receipt/PaymentHistory.h"
#include "core/text/NumberTexts.h"

#include <QDateTime>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace ReceiptRegistration {

namespace {

// Keeps each check statement to a size every database takes comfortably.
constexpr qsizetype CheckBatch = 500;

QString describe(const Receipt &receipt, const QString &problem)
{
    return u"%1行目 (No. %2): %3"_s.arg(receipt.row).arg(receipt.idText, problem);
}

// What the receipts change, for the history; the orders in registered are left out.
QList<PaymentHistory::Change> historyOf(const QList<Receipt> &receipts, const QSet<qint64> &registered)
{
    QList<PaymentHistory::Change> changes;
    for (const Receipt &receipt : receipts) {
        // Written by the attempt whose COMMIT went unanswered, history and all.
        if (registered.contains(*receipt.id))
            continue;
        const qsizetype lineAt = receipt.source.indexOf(u'\t');
        changes.append({*receipt.id, receipt.listed, ListedAfter(receipt),
                        receipt.source.isEmpty() ? PaymentHistory::TypedSource() : receipt.source.left(lineAt),
                        lineAt < 0 ? QString() : receipt.source.mid(lineAt + 1)});
    }
    return changes;
}

} // namespace

QStringList Unwritable(const QList<Receipt> &receipts, const QHash<qint64, int> &listedIds)
{
    QStringList problems;
    for (const Receipt &receipt : receipts) {
        if (!receipt.id)
            problems.append(describe(receipt, u"注文番号が整数ではないか、範囲外です。"_s));
        else if (listedIds.value(*receipt.id) > 1)
            problems.append(describe(receipt, u"同じ注文番号が一覧に複数あります。"_s));
        else if (receipt.amount < 0 || receipt.amount > MaxAmount)
            problems.append(describe(receipt, u"入金額が範囲外です。"_s));
    }
    return problems;
}

QString FirstOf(const QStringList &items, const QString &separator)
{
    constexpr qsizetype Named = 20;
    QString text = items.first(std::min(items.size(), Named)).join(separator);
    if (items.size() > Named)
        text += separator + u"ほか %1 件"_s.arg(items.size() - Named);
    return text;
}

QString OrderNumbers(QList<qint64> ids)
{
    std::sort(ids.begin(), ids.end());
    return FirstOf(NumberTexts(ids), u", "_s);
}

QList<qint64> ChangedElsewhere(DbConnection &connection, const QList<Receipt> &receipts,
                               const QList<Receipt> &unanswered, QSet<qint64> *registered)
{
    QHash<qint64, const Receipt *> attempted;
    for (const Receipt &receipt : unanswered)
        attempted.insert(*receipt.id, &receipt);

    struct Expected
    {
        const Receipt *receipt;
        bool seen;
    };
    QHash<qint64, Expected> expected;
    for (const Receipt &receipt : receipts)
        expected.insert(*receipt.id, {&receipt, false});

    QList<qint64> changed;
    // In order, so that every registration locks the rows it checks in the
    // same order as any other, and neighbouring orders share the database's pages.
    QList<qint64> ids = expected.keys();
    std::sort(ids.begin(), ids.end());
    for (qsizetype first = 0; first < ids.size(); first += CheckBatch) {
        const auto records =
            connection.Execute(SqlCatalog::ReceiptCheck(ids.mid(first, CheckBatch), connection.Dialect()));
        const RecordsetCloser closer(records.get());
        // The columns in the order ReceiptCheck gives them: the order's ID, then its payment columns.
        enum { Id, Payment };
        for (; !records->Eof(); records->MoveNext()) {
            const std::optional<qint64> orderId = records->IntegerAt(Id);
            const auto found = orderId ? expected.find(*orderId) : expected.end();
            if (found != expected.end()) {
                // A second row for the same number would be written too.
                const Listed now = ListedAt(*records, Payment);
                if (found->seen) {
                    changed.append(*orderId);
                } else if (now != found->receipt->listed) {
                    // Already what this receipt writes, and written by its own
                    // attempt whose COMMIT went unanswered: it went through.
                    const Receipt *attempt = attempted.value(*orderId);
                    if (registered && attempt && attempt->listed == found->receipt->listed
                        && ListedAfter(*attempt) == now && ListedAfter(*found->receipt) == now)
                        registered->insert(*orderId);
                    else
                        changed.append(*orderId);
                }
                found->seen = true;
            }
        }
    }
    for (auto order = expected.cbegin(); order != expected.cend(); ++order) {
        if (!order->seen)
            changed.append(order.key());
    }
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    return changed;
}

void Write(DbConnection &connection, const QList<Receipt> &receipts, const QSet<qint64> &skip)
{
    // Each run of receipts alike in the mail flag is one statement, compiled
    // once; the UPDATEs still go in the receipts' order.
    for (qsizetype first = 0; first < receipts.size();) {
        const bool mail = receipts.at(first).mail;
        QList<QVariantList> rows;
        qsizetype end = first;
        for (; end < receipts.size() && receipts.at(end).mail == mail; ++end) {
            const Receipt &receipt = receipts.at(end);
            if (skip.contains(*receipt.id))
                continue;
            rows.append(SqlCatalog::RegisterReceiptValues(receipt.paidDate, receipt.amount, *receipt.id));
        }
        if (!rows.isEmpty())
            connection.ExecuteEach(SqlCatalog::RegisterReceiptEach(mail, connection.Dialect()), rows);
        first = end;
    }
}

Listed ListedAt(const DbRecordset &records, int first)
{
    return {records.TextAt(first), CellText::plainNumber(records.NumberAt(first + 1)),
            CellText::plainNumber(records.NumberAt(first + 2))};
}

Listed ListedAfter(const Receipt &receipt)
{
    return {receipt.paidDate, QString::number(receipt.amount),
            receipt.mail ? u"1"_s : receipt.listed.mailSent};
}

Outcome Register(DbConnection &connection, const QList<Receipt> &receipts, QList<Receipt> &unanswered,
                 const QString &operatorName, bool withHistory)
{
    Outcome outcome;
    DbTransaction transaction(connection);
    QSet<qint64> registered;
    outcome.changed = ChangedElsewhere(connection, receipts, unanswered, &registered);
    if (!outcome.changed.isEmpty())
        return outcome;
    Write(connection, receipts, registered);
    if (withHistory)
        outcome.number = PaymentHistory::Record(connection, historyOf(receipts, registered), operatorName,
                                                QDateTime::currentDateTime());
    try {
        transaction.Commit();
    } catch (const DbError &error) {
        // Only a COMMIT whose answer was lost may have written these rows.
        if (error.commitUnanswered())
            unanswered = receipts;
        throw;
    }
    unanswered.clear();
    return outcome;
}

} // namespace ReceiptRegistration
