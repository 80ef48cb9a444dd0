#pragma once

#include "core/receipt/ReceiptRegistration.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

class DbConnection;
class DbRecordset;

// The order search's rows, one at a time, each value in the form the list
// keeps it: numbers and dates as such, texts decoded once. Names and phone
// numbers are appended to the caller's buffer rather than made strings of
// their own. Sits on the first row once constructed.
class OrderRows final
{
public:
    // Runs the search; throws DbError, as the reads below may.
    OrderRows(DbConnection &connection, const QString &statement);
    ~OrderRows();
    OrderRows(const OrderRows &) = delete;
    OrderRows &operator=(const OrderRows &) = delete;

    bool atEnd() const;
    void next();

    // The order number when it is a whole number, else nothing: idAsRead()
    // then names the row for the operator.
    std::optional<qint64> id() const;
    QVariant idAsRead() const;
    void appendName(QString &to) const;
    void appendTel(QString &to) const;
    void appendTel1(QString &to) const;
    std::optional<QDate> orderDate() const;
    double billed() const;
    // The paid date as the text read, and as a date.
    QString paidDateText() const;
    std::optional<QDate> paidDate() const;
    double paidAmount() const;
    QString method() const;
    std::optional<QDate> shipDate() const;
    QString shopId() const;
    // The payment columns as the registration's check will compare them
    // (the paid date aside: it is paidDateText()), given paidAmount().
    const ReceiptRegistration::Listed &listed(double paidAmount);

private:
    std::unique_ptr<DbRecordset> m_records;
    int m_id, m_name, m_tel, m_tel1, m_orderDate, m_billed, m_paidDate, m_paidAmount, m_method, m_shipDate, m_shopId;
    // Most listed orders have nothing paid yet and share one amount: the
    // check's form of an amount is made once per amount.
    QHash<double, ReceiptRegistration::Listed> m_listedAmounts;
    ReceiptRegistration::Listed m_odd;
};
