#pragma once

#include "core/data/NamedRecordset.h"

#include <QSqlDatabase>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

struct sqlite3_stmt;
class SqliteHandle;

// A forward-only result read through SQLite's own interface, for the
// embedded database: a long search reads its values as SQLite holds them,
// without a QVariant each. ValueAt() gives what Qt SQL's SQLite driver
// gives (64-bit integers, doubles, texts, byte arrays, one plain Null), and
// the typed reads give exactly what FieldValue gives for those. It sits on
// the first row as soon as it exists.
class SqliteRecordset final : public NamedRecordset
{
public:
    // Prepares the statement and runs it up to its first row; one that
    // returns no rows runs to its end. Throws DbError with SQLite's text.
    explicit SqliteRecordset(std::shared_ptr<SqliteHandle> handle, QSqlDatabase database,
                             const QString &statement);
    ~SqliteRecordset() override;

    SqliteRecordset(const SqliteRecordset &) = delete;
    SqliteRecordset &operator=(const SqliteRecordset &) = delete;

    void MoveNext() override;
    void Close() override;
    QVariant ValueAt(int index) const override;

    QString TextAt(int index) const override;
    void AppendTextAt(int index, QString &text) const override;
    double NumberAt(int index) const override;
    std::optional<qint64> IntegerAt(int index) const override;
    std::optional<QDate> DateAt(int index) const override;

private:
    void step();
    // SQLite's type of the value at index on the current row. Throws
    // DbError when there is no current row or no such column.
    int typeAt(int index) const;
    QString textAt(int index) const;
    // A date of at most 40 ASCII characters, as FieldValue::ParseDate reads it.
    static std::optional<QDate> parseAsciiDate(const unsigned char *utf8, int size);

    // What a long search keeps per column between rows. The texts of a
    // column holding few distinct values (payment methods, shops) are made
    // once and shared by every row holding them: one string per value, not
    // per row; a column showing more values than fit stops being pooled.
    // Other texts are decoded into a string that is reused once its reader
    // has let go of it. The last date read is remembered, since neighbouring
    // rows mostly share it.
    struct ColumnCache
    {
        static constexpr int PoolSize = 16;
        bool pooling = true;
        int pooled = 0;
        std::array<QByteArray, PoolSize> utf8;
        std::array<QString, PoolSize> texts;
        QString scratch;
        int dateSize = -1;
        std::array<unsigned char, 16> dateBytes{};
        std::optional<QDate> date;
    };

    std::shared_ptr<SqliteHandle> m_handle;
    // Qt's driver owns the handle: kept, as a Qt SQL result keeps it.
    QSqlDatabase m_database;
    sqlite3_stmt *m_statement = nullptr;
    mutable std::vector<ColumnCache> m_cache;
};
