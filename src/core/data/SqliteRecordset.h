#pragma once

#include "core/data/NamedRecordset.h"

#include <QSqlDatabase>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

struct sqlite3_stmt;
struct sqlite3_value;
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
    std::optional<QDate> DateAt(int index) const override;
    double NumberAt(int index) const override;
    std::optional<qint64> IntegerAt(int index) const override;

private:
    void step();
    // The value at index on the current row. Throws DbError when there is
    // no current row or no such column.
    sqlite3_value *valueAt(int index) const;
    // The text of value, the column's at index.
    QString textOf(int index, sqlite3_value *value) const;

    // A column's texts while it repeats a few values (payment method, shop):
    // its rows then share one string per value. A column that keeps
    // bringing new values is no longer looked up.
    struct RepeatedTexts
    {
        std::vector<std::pair<QByteArray, QString>> seen;
        int misses = 0;
    };
    mutable std::vector<RepeatedTexts> m_repeated;

    std::shared_ptr<SqliteHandle> m_handle;
    // Qt's driver owns the handle: kept, as a Qt SQL result keeps it.
    QSqlDatabase m_database;
    sqlite3_stmt *m_statement = nullptr;
};
