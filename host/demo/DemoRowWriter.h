#pragma once

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

class DbConnection;

// Inserts rows into one table. Over a Qt SQL connection it binds values to
// one prepared INSERT, which keeps a million orders down to seconds; over any
// other connection it sends each row as a complete statement.
class DemoRowWriter final
{
public:
    explicit DemoRowWriter(DbConnection &connection, const QString &table, const QStringList &columns);

    DemoRowWriter(const DemoRowWriter &) = delete;
    DemoRowWriter &operator=(const DemoRowWriter &) = delete;

    // One value per column: a null QVariant writes Null, numbers go in as
    // numbers, everything else as text. Throws DbError.
    void write(const QVariantList &values);

private:
    DbConnection &m_connection;
    QString m_insertHead;
    std::optional<QSqlQuery> m_prepared;
};
