#pragma once

#include "core/data/NamedRecordset.h"

#include <QSqlDatabase>

#include <future>
#include <memory>
#include <vector>

// A forward-only result read through ODBC itself, on a statement of the
// connection behind Qt's ODBC driver. Qt 6.4's driver fetches every value
// with its own SQLGetData and first asks each text's length with a null
// buffer, which unixODBC refuses only after building a diagnostic: two calls
// and a failure per value. Here the columns are bound to arrays and rows come
// a block at a time; columns from the first long one on (texts without a
// bound length) are read row by row with SQLGetData, as every driver allows.
// ValueAt() gives what Qt's driver gives with exact numerics: integers as int
// or qlonglong (unsigned ones as uint or qulonglong; one that is no whole
// number, as its text), decimals and floats as the driver's digits, dates,
// times and timestamps as QDate, QTime and QDateTime, texts, byte arrays, one
// plain Null. It sits on the first row as
// soon as it exists. While a block is read, the next one is fetched on a
// second thread into a second set of arrays (see fetch()).
class OdbcRecordset final : public NamedRecordset
{
public:
    // A failure with the driver's messages, as Qt's driver joins them, and
    // whether their SQLSTATE says the server went away (08, 57P01 to 57P03).
    class Failure final : public DbError
    {
    public:
        Failure(const QString &description, bool lost) : DbError(description), m_lost(lost) {}
        bool lost() const { return m_lost; }

    private:
        bool m_lost;
    };
    // The messages of an ODBC handle (SQL_HANDLE_DBC or SQL_HANDLE_STMT),
    // and whether they tell of a lost connection.
    static Failure Diagnose(short handleType, void *handle);

    // Runs the statement on a new statement handle of the database's
    // connection; utf8Texts reads texts as the driver's narrow UTF-8 (see
    // OdbcConnection). Throws Failure.
    OdbcRecordset(QSqlDatabase database, const QString &statement, bool utf8Texts = false);
    ~OdbcRecordset() override;

    OdbcRecordset(const OdbcRecordset &) = delete;
    OdbcRecordset &operator=(const OdbcRecordset &) = delete;

    void MoveNext() override;
    void Close() override;
    QVariant ValueAt(int index) const override;

    // Straight from the bound arrays, without a QVariant each: F1 over
    // psqlODBC took 370 ms of CPU time against 390 through ValueAt.
    QString TextAt(int index) const override;
    double NumberAt(int index) const override;
    std::optional<qint64> IntegerAt(int index) const override;
    std::optional<QDate> DateAt(int index) const override;

private:
    // The integers first: IntegerAt reads any of them.
    // The integer kinds come first: IntegerAt takes every kind up to ULongLong as digits.
    enum class Kind { Int, UInt, LongLong, ULongLong, Digits, Date, Time, Timestamp, Text, Bytes };
    struct Column
    {
        Kind kind = Kind::Text;
        short cType = 0;
        long width = 0;          // bytes per row of a bound column
        bool bound = false;
        size_t at = 0, sizesAt = 0; // a bound column's rows × width and its sizes, in each set
        std::vector<char> data;  // an unbound column's current value
        long size = 0;           // its bytes, or SQL_NULL_DATA
    };

    void describe();
    void fetch();
    void readUnbound(Column &column, int index);
    // The current row's bytes of the column; null for Null.
    const char *cell(int index, long *size) const;
    // Digits as text, or a text column's value as text.
    static QString digitsText(const char *value);
    static QString text(const Column &column, const char *value, long size);
    [[noreturn]] void fail();

    QSqlDatabase m_database; // Qt's driver owns the connection
    void *m_statement = nullptr;
    std::vector<Column> m_columns;
    bool m_utf8Texts = false;
    // The bound columns' arrays: one set, or two to read ahead; left
    // uninitialised, so that a short result touches only what it fills.
    std::unique_ptr<char[]> m_sets;
    long m_setBytes = 0;
    long m_nextSet = 0;         // where the next fetch writes: the driver's bind offset
    long m_set = 0;             // the set being read
    bool m_readAhead = false;
    std::future<short> m_ahead; // the next block's fetch, when one runs
    unsigned long m_fetched = 0;
    unsigned long m_rows = 0;
    unsigned long m_row = 0;
};
