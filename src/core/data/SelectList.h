#pragma once

#include <QStringList>

namespace SelectList {

// The result column names a SELECT statement asks for, in order: an alias
// after AS, else the last bracketed identifier of the item, else the item
// itself. Empty when the text is not a plain single SELECT.
QStringList ColumnNames(const QString &statement);

} // namespace SelectList
