#pragma once

#include "parlow6dl_export.h"

#include <QString>
#include <QStringList>

class DbConnection;

// The suite's table definitions for an embedded SQLite database and for a
// PostgreSQL server, built into the library from sql/sqlite_schema.sql and
// sql/postgresql_schema.sql.
namespace SqlSchema {

// The whole script, comments included.
PARLOW6DL_EXPORT QString SqliteScript();
PARLOW6DL_EXPORT QString PostgreSqlScript();
// Splits a script into its statements at the semicolons that end them,
// leaving out the "--" comments and empty statements. The suite's scripts
// hold no semicolon or "--" inside a statement's own text.
PARLOW6DL_EXPORT QStringList Statements(const QString &script);
// Creates the suite's tables and their indexes in the connection's own
// dialect (PostgreSQL's script for a PostgreSQL server, SQLite's otherwise),
// each statement through Execute. Throws DbError; the caller decides about
// the transaction.
PARLOW6DL_EXPORT void CreateTables(DbConnection &connection);

} // namespace SqlSchema
