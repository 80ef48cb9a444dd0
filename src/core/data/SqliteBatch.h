#pragma once

#include <QList>
#include <QString>
#include <QVariant>

struct sqlite3;

// DbConnection::ExecuteEach for a SQLite handle: the statement is compiled
// once and run for each row of values bound to its ? in turn, instead of
// parsing a new text for every row.
class SqliteBatch final
{
public:
    // Throws DbError with SQLite's text; the rows before a failure stay run.
    static void Run(sqlite3 *handle, const QString &statement, const QList<QVariantList> &rows);
};
