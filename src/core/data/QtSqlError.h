#pragma once

#include <QSqlError>
#include <QString>

namespace QtSqlError {

// The database's own message when the driver passed one on, else Qt's.
QString Description(const QSqlError &error);

} // namespace QtSqlError
