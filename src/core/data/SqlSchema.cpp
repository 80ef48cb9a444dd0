#include "core/data/SqlSchema.h"

#include "core/data/DbConnection.h"
#include "core/data/PostgreSqlSchemaScript.h"
#include "core/data/SqliteSchemaScript.h"

#include <QStringTokenizer>

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
    QString code;
    for (const QStringView line : QStringTokenizer(script, u'\n'))
        code += line.left(line.indexOf(u"--")) + u'\n'; // left() of -1 is the whole line
    QStringList statements;
    for (const QStringView statement : QStringTokenizer(code, u';')) {
        if (!statement.trimmed().isEmpty())
            statements.append(statement.trimmed().toString());
    }
    return statements;
}

void SqlSchema::CreateTables(DbConnection &connection)
{
    const QStringList statements =
        Statements(connection.Dialect() == SqlDialect::PostgreSql ? PostgreSqlScript() : SqliteScript());
    for (const QString &statement : statements)
        connection.Execute(statement)->Close();
}
