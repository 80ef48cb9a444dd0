#pragma once

#include "import/CsvColumns.h"

#include <QString>

#include <optional>

class SuiteSettings;

// The operator's column assignments of CSV statements, kept in parlow.ini
// (section Parlow6) in the data folder under the key of the file's first row,
// so the next file of the same bank is read without asking again.
namespace ColumnMemory {

std::optional<CsvColumns> recall(const SuiteSettings &settings, const QString &key);
// False when the data folder or the file cannot be written: the assignment
// then holds for this import only.
bool remember(const SuiteSettings &settings, const QString &key, const CsvColumns &columns);

} // namespace ColumnMemory
