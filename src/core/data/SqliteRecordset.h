#pragma once

#include "core/data/NamedRecordset.h"

#include <QSqlDatabase>
#include <QStringList>

#include <memory>

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
    std::optional<QDate> DateAt(int index) const override;
    double NumberAt(int index) const override;
    std::optional<qint64> IntegerAt(int index) const override;

private:
    void step();
    // SQLite's type of the value at index on the current row. Throws
    // DbError when there is no current row or no such column.
    int typeAt(int index) const;
    QString textAt(int index) const;

    std::shared_ptr<SqliteHandle> m_handle;
    // Qt's driver owns the handle: kept, as a Qt SQL result keeps it.
    QSqlDatabase m_database;
    sqlite3_stmt *m_statement = nullptr;
};
