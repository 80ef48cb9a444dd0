#include "core/data/QtSqlError.h"

QString QtSqlError::Description(const QSqlError &error)
{
    const QString own = error.databaseText();
    return own.isEmpty() ? error.text() : own;
}
