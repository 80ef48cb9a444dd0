// Any text placed in a statement stays one literal: quotes balance, and the
// literal read back is the text that went in.
#include "FuzzCheck.h"

#include "core/data/DbConnection.h"
#include "core/data/FieldValue.h"
#include "core/data/SqlCatalog.h"

#include <cstdint>

namespace {

// The quoted literals of a statement in order, read as the database reads
// them; false when a literal is left open.
bool literalsOf(const QString &statement, QStringList &literals)
{
    qsizetype pos = 0;
    while ((pos = statement.indexOf(u'\'', pos)) >= 0) {
        QString literal;
        ++pos;
        for (;;) {
            if (pos >= statement.size())
                return false;
            if (statement.at(pos) == u'\'') {
                if (pos + 1 < statement.size() && statement.at(pos + 1) == u'\'') {
                    literal += u'\'';
                    pos += 2;
                    continue;
                }
                ++pos;
                break;
            }
            literal += statement.at(pos++);
        }
        literals.append(literal);
    }
    return true;
}

void checkStatement(const QString &statement, const QStringList &expected, const QString &input)
{
    FUZZ_CHECK(statement.count(u'\'') % 2 == 0, input);
    QStringList literals;
    FUZZ_CHECK(literalsOf(statement, literals), input);
    FUZZ_CHECK(literals == expected, input);
}

// What a literal can hold of a text: the database would end the statement
// at a NUL, so none goes in.
QString storable(QString text)
{
    return text.remove(QChar(u'\0'));
}

void checkText(const QString &text)
{
    const QString quoted = SqlCatalog::QuoteSql(text);
    FUZZ_CHECK(quoted.count(u'\'') % 2 == 0, text);
    FUZZ_CHECK(!quoted.contains(QChar(u'\0')), text);
    QString unquoted = quoted;
    unquoted.replace(QStringLiteral("''"), QStringLiteral("'"));
    FUZZ_CHECK(unquoted == storable(text), text);

    // Three texts from one input: the halves and the whole.
    const QString first = text.left(text.size() / 2);
    const QString second = text.mid(text.size() / 2);
    // An empty date bound leaves its condition out; the shop is always there.
    QStringList bounds;
    for (const QString &bound : {first, second}) {
        if (!bound.isEmpty())
            bounds.append(storable(bound));
    }
    // The date cell hands over only what the date reader gives.
    const QString date = FieldValue::FormatDate(FieldValue::ParseDate(text).value_or(QDate()));
    const qint64 amount = qint64(text.size()) * (text.startsWith(u'-') ? -1 : 1);
    const QVariantList receipt = SqlCatalog::RegisterReceiptValues(date, amount, text.size());
    for (const SqlDialect dialect : {SqlDialect::SqlServer, SqlDialect::Sqlite, SqlDialect::PostgreSql}) {
        checkStatement(SqlCatalog::OrderSearch(first, second, true, text, dialect),
                       bounds + QStringList{storable(text)}, text);
        checkStatement(SqlCatalog::OrderSearch(first, second, false, text, dialect), bounds, text);
        checkStatement(SqlCatalog::SaveExemptMethods(text, dialect), {storable(text)}, text);
        // PostgreSQL's date column reads an empty text as Null: NULLIF's '' follows the date.
        const QStringList dateLiterals =
            dialect == SqlDialect::PostgreSql ? QStringList{date, QString()} : QStringList{date};
        checkStatement(
            DbConnection::WithLiterals(SqlCatalog::RegisterReceiptEach(text.size() % 2 == 0, dialect), receipt),
            dateLiterals, text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkText(fuzzText(data, size, false));
    checkText(fuzzText(data, size, true));
    return 0;
}
