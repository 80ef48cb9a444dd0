#pragma once

#include "core/data/NamedRecordset.h"

#include <QSqlDatabase>

#include <memory>
#include <vector>

struct pg_conn;
struct pg_result;

// A forward-only result read through libpq itself, on the connection behind
// Qt's PostgreSQL driver: the statement's whole result comes in one answer,
// as psql reads it, and a long search reads its values from the server's
// text without a QVariant each. ValueAt() gives what Qt's driver gives with
// exact numerics (64-bit integers, numerics as their digits, dates as
// QDate, texts), and the typed reads give exactly what FieldValue gives for
// those.
class PostgreSqlRecordset final : public NamedRecordset
{
public:
    // Runs the statement. Throws DbError with the server's message.
    explicit PostgreSqlRecordset(pg_conn *connection, QSqlDatabase database, const QString &statement);
    ~PostgreSqlRecordset() override;

    PostgreSqlRecordset(const PostgreSqlRecordset &) = delete;
    PostgreSqlRecordset &operator=(const PostgreSqlRecordset &) = delete;

    void MoveNext() override;
    void Close() override;
    QVariant ValueAt(int index) const override;

    QString TextAt(int index) const override;
    void AppendTextAt(int index, QString &text) const override;
    double NumberAt(int index) const override;
    std::optional<qint64> IntegerAt(int index) const override;
    std::optional<QDate> DateAt(int index) const override;

private:
    enum class Kind { Integer, Numeric, Float, Date, Bool, Text };

    // Null or the server's text of the value; throws DbError off a row.
    const char *valueAt(int index) const;

    QSqlDatabase m_database; // Qt's driver owns the connection
    std::unique_ptr<pg_result, void (*)(pg_result *)> m_result;
    std::vector<Kind> m_kinds;
    int m_row = 0;
    int m_rows = 0;
};
