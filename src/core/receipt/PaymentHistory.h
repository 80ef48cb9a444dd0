#pragma once

#include "core/receipt/ReceiptRegistration.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

class DbConnection;

// 入金履歴 (NYUKIN_RIREKI): what every 登録 changed, written in its own
// transaction, and the take-back (取消) of a registration, which writes the
// values before it back, guarded like 登録 itself.
namespace PaymentHistory {

using ReceiptRegistration::Listed;

// One order a registration changed, its payment columns in the form the
// registration's check compares.
struct Change
{
    qint64 orderId = 0;
    Listed before;
    Listed after;
    QString source; // 入力元: 手入力, 一括入金日, the statement's file name, 取消
    QString line;   // 入力行: the statement's line and status
};

// The 入力元 of typed values, of the bulk date and of a take-back.
inline QString TypedSource() { return QStringLiteral("手入力"); }
inline QString BulkSource() { return QStringLiteral("一括入金日"); }
inline QString TakeBackSource() { return QStringLiteral("取消"); }

// Whether the database has the table: without it 登録 writes no history.
// Throws DbError.
bool Available(DbConnection &connection);
// How the operator turns the history on.
QString OffMessage();

// Run inside the registration's transaction, after its UPDATEs: numbers the
// registration after the last one and writes a row per change. Returns the
// number. Throws DbError.
qint64 Record(DbConnection &connection, const QList<Change> &changes, const QString &operatorName,
              const QDateTime &at, std::optional<qint64> reverses = {});

// One registration as the history lists it.
struct Registration
{
    qint64 number = 0;
    QString at;           // "YYYY/MM/DD HH:MM:SS"
    QString operatorName;
    int orders = 0;
    double amount = 0;    // what it added to the orders' 入金額; a take-back's is negative
    QString source;
    std::optional<qint64> reverses;
};
// Newest first; from and to (inclusive) may be invalid, orderId 0 for all.
// Throws DbError.
QList<Registration> List(DbConnection &connection, const QDate &from, const QDate &to, qint64 orderId);

struct Line
{
    Change change;
    bool live = true; // false when the order has been deleted since
};
// A registration's orders by order No. Throws DbError.
QList<Line> Lines(DbConnection &connection, qint64 number);

// What a take-back did: the orders that refused it (changed or deleted
// since the registration, or taken back already); none refused, the number
// it was recorded under.
struct TakeBackResult
{
    QList<qint64> changed;
    QList<qint64> takenBack;
    qint64 number = 0;
    bool refused() const { return !changed.isEmpty() || !takenBack.isEmpty(); }
};
// Writes the before-values of the changes back in one transaction and
// records it as a registration that reverses `number`; writes nothing when
// any order no longer holds what the registration wrote. Throws DbError
// (rolled back).
TakeBackResult TakeBack(DbConnection &connection, qint64 number, const QList<Change> &changes,
                        const QString &operatorName, const QDateTime &at);
// The operator's message for a refused take-back, naming the orders.
QString RefusalMessage(const TakeBackResult &result);
// Whether any of the changes queued the payment mail.
bool SetMail(const QList<Change> &changes);

} // namespace PaymentHistory
