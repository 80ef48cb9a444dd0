#pragma once

#include <QList>
#include <QString>

class DbConnection;
struct DemoOptions;

// The sample files of the payment methods other than the bank transfer,
// beside a demo database, and what the import ought to make of each.
struct DemoMethodFile
{
    QString path;
    QList<qint64> paid;      // ticked once, each with its open amount
    QList<qint64> unpaid;    // named by the file, but it pays them nothing
    bool written{false};
};

struct DemoMethodFiles
{
    // The agent's CSV: a 速報 and its 確報, a 速報 alone, a 速報 and its
    // 取消, a 確報 alone, a 郵便振替 whose 訂正 brings it to the amount owed,
    // and a slip for an order to be paid by bank transfer.
    DemoMethodFile convenienceCsv;
    // The 120-byte form at the default positions: a 確報 and a 速報.
    DemoMethodFile convenienceFixed;
    // A deferred-payment service's statement for the column dialog: sales
    // with a fee, one refunded in the same file, and the payout.
    DemoMethodFile deferred;
    // A carrier's COD remittance for the column dialog.
    DemoMethodFile cashOnDelivery;
};

// The order number sits at the end of the barcode's free digits, as the
// default BarcodeOrderStart=1, BarcodeOrderLength=21 reads it. Throws DbError.
DemoMethodFiles WriteDemoMethodFiles(DbConnection &connection, const DemoOptions &options,
                                     const QString &databasePath);
