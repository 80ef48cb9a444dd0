#pragma once

#include "core/import/CsvColumns.h"

#include <QString>

#include <optional>

// The operator's column assignments of CSV statements, kept in parlow.ini
// (section Parlow6) in the data folder under the key of the file's first row,
// so the next file of the same bank is read without asking again.
namespace ColumnMemory {

std::optional<CsvColumns> recall(const QString &key);
// False when the data folder or the file cannot be written: the assignment
// then holds for this import only.
bool remember(const QString &key, const CsvColumns &columns);

// The INI text with key set to value in section, everything else kept as it
// was; the section is added at the end when missing.
QString withKey(const QString &ini, const QString &section, const QString &key, const QString &value);

} // namespace ColumnMemory
