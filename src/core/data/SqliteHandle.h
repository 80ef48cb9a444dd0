#pragma once

#include <QList>

struct sqlite3;
class SqliteRecordset;

// The SQLite handle behind a Qt SQL connection, shared with the results read
// through it. Qt closes the handle with its connection and cannot know our
// statements; the connection ends them here first, so a result that outlives
// it reads as closed instead of through a closed handle.
class SqliteHandle final
{
public:
    explicit SqliteHandle(sqlite3 *handle) : m_handle(handle) {}
    ~SqliteHandle();
    SqliteHandle(const SqliteHandle &) = delete;
    SqliteHandle &operator=(const SqliteHandle &) = delete;

    // Null once released.
    sqlite3 *get() const { return m_handle; }
    void attach(SqliteRecordset *records) { m_open.append(records); }
    void detach(SqliteRecordset *records) { m_open.removeOne(records); }
    // Closes every open result and lets go of the handle.
    void release();

private:
    sqlite3 *m_handle;
    QList<SqliteRecordset *> m_open;
};
