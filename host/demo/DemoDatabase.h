#pragma once

#include <QDate>

class DbConnection;

// What the demo database holds. The same seed and today give the same data.
struct DemoOptions
{
    int orders{300};
    // Ship dates are spread over the 60 days before this day.
    QDate today{QDate::currentDate()};
    quint32 seed{20140221};
    // Share of orders with nothing received yet (入金額 0). Of the others 95%
    // are paid in full, half of those with the confirmation mail queued, and
    // 5% short by a bank fee. The search therefore lists about
    // unpaidShare + 0.05 * (1 - unpaidShare) of the orders.
    double unpaidShare{0.8};
    // Share of orders carrying one Null or odd value: no name, no method, a
    // method PAYMENT does not know, an amount written as "1200円", a date
    // that is no date, ...
    double nullShare{0.02};
    // Off for a database whose tables exist already.
    bool createTables{true};
};

// Creates the four suite tables in an empty SQLite or PostgreSQL database
// (unless options.createTables is off) and fills them
// with shops, payment methods (クレジットカード exempt from payment
// management) and options.orders orders, all in one transaction: on any
// failure nothing is left behind. Throws DbError.
void CreateDemoDatabase(DbConnection &connection, const DemoOptions &options);
