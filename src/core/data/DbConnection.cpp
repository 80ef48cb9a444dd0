#include "core/data/DbConnection.h"

#include "core/data/FieldValue.h"

DbError::DbError(const QString &description)
    : std::runtime_error(description.toStdString()), m_description(description)
{
}

DbRecordset::~DbRecordset() = default;

QString DbRecordset::TextAt(int index) const
{
    return FieldValue::Text(FieldValue(index));
}

double DbRecordset::NumberAt(int index) const
{
    return FieldValue::NumberOf(FieldValue(index));
}

std::optional<qint64> DbRecordset::IntegerAt(int index) const
{
    return FieldValue::IntegerOf(FieldValue(index));
}

std::optional<QDate> DbRecordset::DateAt(int index) const
{
    return FieldValue::ParseDate(FieldValue::Text(FieldValue(index)));
}

DbConnection::~DbConnection() = default;

SqlDialect DbConnection::Dialect() const
{
    return SqlDialect::SqlServer;
}

void DbConnection::SetLockTimeout(int)
{
}
