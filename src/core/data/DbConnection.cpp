#include "core/data/DbConnection.h"

#include "core/data/FieldValue.h"
#include "core/data/SqlCatalog.h"

using namespace Qt::StringLiterals;

namespace {

QString literal(const QVariant &value)
{
    if (value.isNull())
        return u"NULL"_s;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? u"1"_s : u"0"_s;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toString();
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    default:
        return u'\'' + SqlCatalog::QuoteSql(value.toString()) + u'\'';
    }
}

} // namespace

DbError::DbError(const QString &description, bool commitUnanswered)
    : std::runtime_error(description.toStdString()), m_description(description), m_commitUnanswered(commitUnanswered)
{
}

DbRecordset::~DbRecordset() = default;

QString DbRecordset::TextAt(int index) const
{
    return FieldValue::Text(ValueAt(index));
}

double DbRecordset::NumberAt(int index) const
{
    return FieldValue::NumberOf(ValueAt(index));
}

std::optional<qint64> DbRecordset::IntegerAt(int index) const
{
    return FieldValue::IntegerOf(ValueAt(index));
}

std::optional<QDate> DbRecordset::DateAt(int index) const
{
    return FieldValue::ParseDate(FieldValue::Text(ValueAt(index)));
}

DbConnection::~DbConnection() = default;

QString DbConnection::WithLiterals(const QString &statement, const QVariantList &values)
{
    QString sql;
    sql.reserve(statement.size() + 16 * values.size());
    qsizetype next = 0;
    QChar closing; // the end of the quote or bracket we are in, if any
    for (const QChar c : statement) {
        if (!closing.isNull()) {
            if (c == closing)
                closing = QChar();
        } else if (c == u'\'' || c == u'"') {
            closing = c;
        } else if (c == u'[') {
            closing = u']';
        } else if (c == u'?' && next < values.size()) {
            sql += literal(values.at(next++));
            continue;
        }
        sql += c;
    }
    return sql;
}

void DbConnection::ExecuteEach(const QString &statement, const QList<QVariantList> &rows)
{
    for (const QVariantList &values : rows)
        Execute(WithLiterals(statement, values))->Close();
}

