#pragma once

#include "widgets/grid/ColumnDef.h"

#include <QString>
#include <QVariant>

#include <optional>

// The one form a cell holds per kind, and the ways into and out of it:
// texts as QString, numbers as double, integers and yen as qint64, check
// boxes as bool, dates as QDate; an invalid QVariant is blank.
namespace CellForm {

// A program's write: numbers and check boxes take numbers or numeric text,
// dates a date or its text (anything else is blank), texts what they are
// given, whatever their length.
QVariant FromValue(const ColumnDef &column, const QVariant &value);
// What the operator typed, or nothing when the column refuses it (a number
// out of range, no such date); texts are cut to the column's length.
std::optional<QVariant> FromTyped(const ColumnDef &column, const QString &typed);

// The unformatted text: check boxes "1"/"0", blank cells "".
QString Value(const ColumnDef &column, const QVariant &cell);
// What the cell shows: numbers grouped where the column says so.
QString Text(const ColumnDef &column, const QVariant &cell);
// 0 for a blank, a date or a text that is no number.
double Number(const ColumnDef &column, const QVariant &cell);

} // namespace CellForm
