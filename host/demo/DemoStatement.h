#pragma once

#include <QList>
#include <QString>

class DbConnection;
struct DemoOptions;

// What a demo payment statement holds, line by line, so a demonstration or a
// test can tell what the import ought to make of it.
struct DemoStatement
{
    QString path;
    QList<qint64> matched;   // No. and open amount agree
    qint64 amountDiffers{0}; // the No. of a payment short by a bank fee
    qint64 duplicate{0};     // the No. paid twice
    qint64 candidate{0};     // the only order with the amount of a line without No.
    QList<qint64> multiple;  // the orders sharing the amount of another such line
    QList<qint64> unknown;   // numbers the list does not hold
    bool written{false};
};

// The sample statement beside a demo database: "demo.sqlite" gets "demo-payments.csv".
QString DemoStatementPath(const QString &databasePath);

// Writes a bank's CSV export (UTF-8 with byte-order mark) of payments for the
// orders the receipt list shows on a fresh demo database: matches, a short
// payment, a duplicate, a candidate by amount, an amount several orders share,
// an interest credit and orders the list does not have. Throws DbError.
DemoStatement WriteDemoStatement(DbConnection &connection, const DemoOptions &options, const QString &path);
