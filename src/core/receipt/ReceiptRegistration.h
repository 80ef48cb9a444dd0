#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

class DbConnection;

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
Listed ListedFrom(const QVariant &paidDate, const QVariant &paidAmount, const QVariant &mailSent);

// One flagged row of the list.
struct Receipt
{
    int row = 0;              // in the list, for the operator
    std::optional<qint64> id; // none when the list could not read a whole number
    QString idText;           // the order number as the database gave it
    qint64 amount = 0;        // 入金額 in yen
    QString paidDate;         // "YYYY/MM/DD", or empty
    bool mail = false;
    Listed listed;
};

// The highest amount the 入金額 column takes.
inline constexpr qint64 MaxAmount = 9999999999;

// One line per receipt that cannot be written exactly: no whole order
// number, an order number the list holds more than once (listedIds counts
// the rows of the whole list that hold each receipt's number), or an amount
// outside the column's range.
QStringList Unwritable(const QList<Receipt> &receipts, const QHash<qint64, int> &listedIds);

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

// The values a written receipt leaves in the database, as the list keeps them.
Listed ListedAfter(const Receipt &receipt);

} // namespace ReceiptRegistration
