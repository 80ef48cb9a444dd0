#include "demo/DemoRowWriter.h"

#include "core/data/QtSqlConnection.h"

#include <QSqlError>

using namespace Qt::StringLiterals;

namespace {

QString literal(const QVariant &value)
{
    // Qt SQL binds a null QString as Null too; both ways must agree.
    if (value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isNull()))
        return u"NULL"_s;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return value.toString();
    default:
        return u"'"_s + value.toString().replace(u'\'', u"''"_s) + u"'"_s;
    }
}

} // namespace

DemoRowWriter::DemoRowWriter(DbConnection &connection, const QString &table,
                             const QStringList &columns)
    : m_connection(connection),
      m_insertHead(connection.Dialect() == SqlDialect::PostgreSql
                       ? u"INSERT INTO \""_s + table + u"\" (\""_s + columns.join(u"\", \""_s) + u"\") VALUES ("_s
                       : u"INSERT INTO ["_s + table + u"] (["_s + columns.join(u"], ["_s) + u"]) VALUES ("_s)
{
    auto *qtSql = dynamic_cast<QtSqlConnection *>(&connection);
    if (!qtSql)
        return;
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks.append(u"?"_s);
    QSqlQuery query(qtSql->database());
    if (!query.prepare(m_insertHead + marks.join(u", "_s) + u")"_s))
        throw DbError(query.lastError().text());
    m_prepared.emplace(std::move(query));
}

void DemoRowWriter::write(const QVariantList &values)
{
    if (m_prepared) {
        for (qsizetype i = 0; i < values.size(); ++i)
            m_prepared->bindValue(int(i), values.at(i));
        if (!m_prepared->exec())
            throw DbError(m_prepared->lastError().text());
        return;
    }
    QStringList literals;
    literals.reserve(values.size());
    for (const QVariant &value : values)
        literals.append(literal(value));
    m_connection.Execute(m_insertHead + literals.join(u", "_s) + u")"_s)->Close();
}
