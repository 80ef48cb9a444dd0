#include "core/receipt/ReceiptRegistration.h"

#include "core/data/CellText.h"
#include "core/data/DbConnection.h"
#include "core/data/FieldValue.h"
#include "core/data/RecordsetCloser.h"
#include "core/data/SqlCatalog.h"

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

} // namespace

Listed ListedFrom(const QVariant &paidDate, const QVariant &paidAmount, const QVariant &mailSent)
{
    return {FieldValue::Text(paidDate), CellText::plainNumber(FieldValue::NumberOf(paidAmount)),
            CellText::plainNumber(FieldValue::NumberOf(mailSent))};
}

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
        const int id = records->FieldIndex(u"ID"_s);
        const int paidDate = records->FieldIndex(u"入金日"_s);
        const int paidAmount = records->FieldIndex(u"入金額"_s);
        const int mailSent = records->FieldIndex(u"入金確認送信"_s);
        while (!records->Eof()) {
            const std::optional<qint64> orderId = records->IntegerAt(id);
            const auto found = orderId ? expected.find(*orderId) : expected.end();
            if (found != expected.end()) {
                const Listed &then = found->receipt->listed;
                // A second row for the same number would be written too. The
                // texts compared are those ListedFrom makes, read without variants.
                const QString readDate = records->TextAt(paidDate);
                const double readAmount = records->NumberAt(paidAmount);
                const double readMail = records->NumberAt(mailSent);
                if (found->seen) {
                    changed.append(*orderId);
                } else if (readDate != then.paidDate || CellText::plainNumber(readAmount) != then.paidAmount
                           || CellText::plainNumber(readMail) != then.mailSent) {
                    // Already what this receipt writes, and written by its own
                    // attempt whose COMMIT went unanswered: it went through.
                    const Listed after = ListedAfter(*found->receipt);
                    const Receipt *attempt = attempted.value(*orderId);
                    if (registered && attempt && attempt->listed == then && ListedAfter(*attempt) == after
                        && readDate == after.paidDate
                        && CellText::plainNumber(readAmount) == after.paidAmount
                        && CellText::plainNumber(readMail) == after.mailSent)
                        registered->insert(*orderId);
                    else
                        changed.append(*orderId);
                }
                found->seen = true;
            }
            records->MoveNext();
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
            rows.append(SqlCatalog::RegisterReceiptValues(receipt.paidDate, receipt.amount,
                                                          *receipt.id));
        }
        if (!rows.isEmpty())
            connection.ExecuteEach(SqlCatalog::RegisterReceiptEach(mail, connection.Dialect()), rows);
        first = end;
    }
}

Listed ListedAfter(const Receipt &receipt)
{
    return {receipt.paidDate, QString::number(receipt.amount),
            receipt.mail ? u"1"_s : receipt.listed.mailSent};
}

} // namespace ReceiptRegistration
