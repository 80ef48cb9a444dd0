#pragma once

#include <QList>
#include <QString>
#include <QVariant>

class DbConnection;
struct DemoOptions;

// What a demo payment statement holds, line by line, so a demonstration or a
// test can tell what the import ought to make of it.
struct DemoStatement
{
    QString path;
    QList<qint64> matched;   // ticked: a key names them and the amounts agree (no fee)
    qint64 amountDiffers{0}; // the No. of a payment short by a bank fee (手数料差 with FeeTolerance=880)
    qint64 farShort{0};      // the No. of a payment short beyond any fee
    qint64 duplicate{0};     // the No. paid twice
    qint64 candidate{0};     // the only order with the amount of a line without No.
    QList<qint64> multiple;  // the orders sharing the amount of another such line
    QList<qint64> unknown;   // numbers the list does not hold
    int lines{0};            // of the statement
    int tickedLines{0};      // of them ticked as the preview opens, FeeTolerance 0
    bool written{false};
};

// An order the receipt list shows on a fresh demo database.
struct DemoOrder
{
    qint64 id{0};
    QString name;
    QString phone;
    QString method; // 支払方法
    qint64 open{0};
    bool unpaidTransfer{false};
};
class QDate;
QList<DemoOrder> DemoListedOrders(DbConnection &connection, const QDate &today);

// The first column of the first row, or Null. Throws DbError.
QVariant DemoScalar(DbConnection &connection, const QString &query);

// A sample file beside a demo database: "demo.sqlite" with "-payments.csv"
// is "demo-payments.csv", the sample statement.
QString DemoFileBeside(const QString &databasePath, const QString &suffix);
QString DemoStatementPath(const QString &databasePath);
// Writes a sample file whole or not at all; false when it could not.
bool DemoSaveFile(const QString &path, const QByteArray &bytes);

// Writes a bank's CSV export (UTF-8 with byte-order mark) of payments for the
// orders the receipt list shows on a fresh demo database: matches, a short
// payment, a duplicate, a candidate by amount, an amount several orders share,
// an interest credit, orders the list does not have, a payment by phone number,
// one by a payer name it teaches NYUKIN_MEIGI (when the table is there), one
// for two orders and one order in two halves. Throws DbError.
DemoStatement WriteDemoStatement(DbConnection &connection, const DemoOptions &options, const QString &path);
