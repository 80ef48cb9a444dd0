#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

// The one place where values read from the database become texts, numbers
// and dates. Every reader goes through these.
namespace FieldValue {

// Null becomes empty text; everything else its text form. Date and date-time
// values become "YYYY/MM/DD" (a time part of midnight is not shown; any other
// time follows as " HH:MM:SS").
QString Text(const QVariant &value);
// The reader behind Number, for callers that need the whole text to be a
// number: how many units of text the number took (blanks before it
// included); 0 with value 0 when there is none.
struct NumberRead
{
    double value = 0.0;
    qsizetype length = 0;
};
NumberRead ReadNumber(QStringView text);
// The longest leading numeric part of the text (sign, digits, one decimal
// point, optional exponent); 0 when there is none. Leading blanks (space,
// tab, line breaks) are skipped. Only ASCII digits count: full-width digits
// such as "１２" are not a number here, since the database could not compare
// or store them as one either.
inline double Number(const QString &text) { return ReadNumber(text).value; }
// Number(Text(value)), without the round trip through text for values the
// database already hands over as numbers.
double NumberOf(const QVariant &value);
// The value as an exact 64-bit integer: integer values as they are, whole
// doubles up to 2^53 (beyond that a double no longer tells neighbours
// apart), texts of an optional sign and ASCII digits within range. Nothing
// for Null, fractions, other texts or numbers out of range: an order number
// read any other way could name another order.
std::optional<qint64> IntegerOf(const QVariant &value);
// A recognised year-month-day date ("2014/2/3", "2014-02-03", "2014.2.3",
// with an optional time part such as " 00:00:00" or "T10:20:30"), or
// nothing. Four-digit years 0100..9999; surrounding blanks are ignored.
std::optional<QDate> ParseDate(QStringView text);
QString FormatDate(const QDate &date); // "YYYY/MM/DD"; empty for an invalid date

} // namespace FieldValue
