#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

class DbConnection;
class DbRecordset;

// Writing the receipts the operator prepared, safely with money: every row
// names exactly one order, and nothing is written over a payment another
// operator registered since the list was read.
namespace ReceiptRegistration {

// An order's payment columns as the list read them, in the form the check
// compares: a later read of the same unchanged row gives the same texts.
struct Listed
{
    QString paidDate;
    QString paidAmount;
    QString mailSent;
    bool operator==(const Listed &) const = default;
};

// One flagged row of the list.
struct Receipt
{
    int row = 0;              // in the list, for the operator
    std::optional<qint64> id; // none when the list could not read a whole number
    QString idText{};         // the order number as the database gave it
    qint64 amount = 0;        // 入金額 in yen
    QString paidDate{};       // "YYYY/MM/DD", or empty
    bool mail = false;
    Listed listed{};
    // Where the values came from, for the history: empty when typed, else the
    // bulk date, or the statement's file, a tab, its line and status.
    QString source{};
};

// The highest amount the 入金額 column takes.
inline constexpr qint64 MaxAmount = 9999999999;

// One line per receipt that cannot be written exactly: no whole order
// number, an order number the list holds more than once (listedIds counts
// the rows of the whole list that hold each receipt's number), or an amount
// outside the column's range.
QStringList Unwritable(const QList<Receipt> &receipts, const QHash<qint64, int> &listedIds);

// Enough of a long list for the operator to find its items again: the first
// 20 joined by separator, the rest counted.
QString FirstOf(const QStringList &items, const QString &separator);
// Order numbers for the operator, ascending, as FirstOf names them.
QString OrderNumbers(QList<qint64> ids);

// Run inside the registration's transaction: the orders among the receipts
// whose payment columns differ from what the list read, that are gone, or
// that more than one row of the table answers to. Values another operator
// wrote are a change even when they equal this receipt's. Only where the same
// receipt is among unanswered (a registration whose COMMIT went unanswered,
// which may have gone through) does an order holding exactly what it writes
// count as registered: it goes into *registered instead of being written again.
QList<qint64> ChangedElsewhere(DbConnection &connection, const QList<Receipt> &receipts,
                               const QList<Receipt> &unanswered = {}, QSet<qint64> *registered = nullptr);

// One UPDATE per receipt, in order; the orders in skip are left out.
void Write(DbConnection &connection, const QList<Receipt> &receipts, const QSet<qint64> &skip = {});

// The payment columns 入金日, 入金額 and 入金確認送信 of the current row,
// from column first on, in the form the check compares.
Listed ListedAt(const DbRecordset &records, int first);
// The values a written receipt leaves in the database, as the list keeps them.
Listed ListedAfter(const Receipt &receipt);

// What one 登録 did: the orders changed elsewhere that refused it whole, or
// the number its history was recorded under (0 without history).
struct Outcome
{
    QList<qint64> changed;
    qint64 number = 0;
};

// 登録 in one transaction: the check for orders changed elsewhere, the
// UPDATEs, a history row per order written when withHistory, the COMMIT.
// unanswered holds the receipts of a 登録 whose COMMIT went unanswered: the
// orders it registered are not written again. It becomes these receipts when
// this COMMIT goes unanswered, and is emptied when one commits. Throws
// DbError (rolled back).
Outcome Register(DbConnection &connection, const QList<Receipt> &receipts, QList<Receipt> &unanswered,
                 const QString &operatorName, bool withHistory);

} // namespace ReceiptRegistration
