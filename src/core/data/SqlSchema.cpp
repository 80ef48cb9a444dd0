#include "core/data/SqlSchema.h"

#include "core/data/DbConnection.h"
#include "core/data/PostgreSqlSchemaScript.h"
#include "core/data/SqliteSchemaScript.h"

QString SqlSchema::SqliteScript()
{
    return QString::fromUtf16(kSqliteSchemaScript);
}

QString SqlSchema::PostgreSqlScript()
{
    return QString::fromUtf16(kPostgreSqlSchemaScript);
}

QStringList SqlSchema::Statements(const QString &script)
{
    QStringList statements;
    QString current;
    const qsizetype size = script.size();
    auto finish = [&] {
        const QString statement = current.trimmed();
        if (!statement.isEmpty())
            statements.append(statement);
        current.clear();
    };
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = script.at(i);
        const QChar next = i + 1 < size ? script.at(i + 1) : QChar();
        if (c == u'-' && next == u'-') {
            while (i < size && script.at(i) != u'\n')
                ++i;
            current += u'\n';
        } else if (c == u'/' && next == u'*') {
            const qsizetype end = script.indexOf(u"*/", i + 2);
            i = end < 0 ? size : end + 1;
            current += u' ';
        } else if (c == u'\'' || c == u'"' || c == u'[') {
            // Quoted text and bracketed names run to their closing mark; a
            // doubled quote inside stays part of the text.
            const QChar close = c == u'[' ? QChar(u']') : c;
            qsizetype end = i + 1;
            while (end < size && script.at(end) != close)
                ++end;
            current += QStringView(script).sliced(i, qMin(end + 1, size) - i);
            i = end;
        } else if (c == u';') {
            finish();
        } else {
            current += c;
        }
    }
    finish();
    return statements;
}

void SqlSchema::CreateSqliteTables(DbConnection &connection)
{
    CreateTables(connection);
}

void SqlSchema::CreateTables(DbConnection &connection)
{
    const QStringList statements =
        Statements(connection.Dialect() == SqlDialect::PostgreSql ? PostgreSqlScript() : SqliteScript());
    for (const QString &statement : statements)
        connection.Execute(statement)->Close();
}
