#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

// How grid cells turn values into texts and operator texts into values. The
// grid's editors, its programmatic writes and its sort share these, so a
// value reads back the same whichever way it came in.
namespace CellText {

// Full-width digits and the signs an operator may type with the input method
// on ("０-９", "－", "，", "．", "／") become their plain forms.
QString toHalfWidth(QStringView text);

// A number as its plain text: no grouping, no decimals for a whole number,
// no exponent, no trailing zeros.
QString plainNumber(double value);
// The same with the integer digits grouped in threes by ",".
QString groupedNumber(double value);

// Reads a number written with or without "," grouping. NaN for an empty or
// blank text, nothing when the text is not a number.
std::optional<double> parseNumber(QStringView text);

constexpr int MinDateJulian = 2415021; // 1900/01/01
constexpr int MaxDateJulian = 2488069; // 2099/12/31
// The date is one a date cell can hold: 1900/01/01 to 2099/12/31.
bool holdsDate(const QDate &date);
// A date as FieldValue::ParseDate reads it, full-width digits allowed, that
// a date cell can hold; 0 for anything else, empty text included.
int parseDate(QStringView text);
// "YYYY/MM/DD", or empty text for 0.
QString dateText(int julianDay);

// Orders texts by Unicode code point. Plain UTF-16 order differs from it only
// for characters beyond the basic plane against U+E000..U+FFFF.
int compareCodePoints(QStringView a, QStringView b);

} // namespace CellText
