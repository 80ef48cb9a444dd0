#pragma once

#include "core/receipt/ReceiptRegistration.h"

#include <QDate>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class DbConnection;

// The orders the receipt list shows, a row each, every value in its one
// form: money as whole yen, dates as QDate. The search fills it, the grid is
// a view over it, and the registration and the import read it.
class OrderList final
{
public:
    struct Row
    {
        std::optional<qint64> id; // none when the database held no whole number
        QString idAsRead;         // then the order number as read, for the operator
        QString company, name, tel, tel1, remarks, method, shopId;
        QDate orderDate, shipDate, paidDate; // invalid: none
        std::optional<qint64> billed, paidAmount;
        bool marked = false, update = false, mail = false;
        // Where the payment values came from, for the history: empty when
        // typed, else the bulk date or the statement's file, line and status.
        QString source;
        // The payment columns as the search read them, or as the last 登録
        // left them: what the registration's check compares the database
        // with. The amount stays as read, so that one the database holds
        // with a fraction compares as itself.
        QString listedPaidDate;
        double listedPaidAmount = 0;
        bool listedMail = false;
    };

    // Runs the search (SqlCatalog::OrderSearch's statement, whose columns it
    // reads by position), keeping the orders whose payment method listed()
    // accepts (asked once per method). Throws DbError; the rows read before
    // stay.
    void Search(DbConnection &connection, const QString &statement,
                const std::function<bool(const QString &method)> &listed);

    // Rows in the order listed, from 0.
    int size() const { return int(m_order.size()); }
    Row &at(int row) { return m_rows[std::size_t(m_order[std::size_t(row)])]; }
    const Row &at(int row) const { return m_rows[std::size_t(m_order[std::size_t(row)])]; }
    // Rows added are blank.
    void resize(int rows);
    // Rows first.. become the rows order names, in that order: a sort moves
    // only the permutation, never a row.
    void reorder(int first, const std::vector<int> &order);

    // The row's baseline for the registration's check.
    static ReceiptRegistration::Listed ListedOf(const Row &row);
    // After 登録 wrote the receipt, its values are the row's baseline.
    static void KeepRegistered(Row &row, const ReceiptRegistration::Receipt &receipt);

private:
    std::vector<Row> m_rows;
    std::vector<int> m_order; // the rows in the order listed

};
