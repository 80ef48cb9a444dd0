#include "core/data/DbConnection.h"

DbError::DbError(const QString &description)
    : std::runtime_error(description.toStdString()), m_description(description)
{
}

DbRecordset::~DbRecordset() = default;

DbConnection::~DbConnection() = default;

SqlDialect DbConnection::Dialect() const
{
    return SqlDialect::SqlServer;
}

void DbConnection::SetLockTimeout(int)
{
}
