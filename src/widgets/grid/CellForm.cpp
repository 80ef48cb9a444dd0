#include "widgets/grid/CellForm.h"

#include "core/data/CellText.h"
#include "core/data/FieldValue.h"
#include "core/data/Rounding.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <iterator>

using namespace Qt::StringLiterals;

namespace CellForm {

namespace {

bool isNumeric(const QVariant &value)
{
    static constexpr int Numeric[] = {QMetaType::Double, QMetaType::Float, QMetaType::Int, QMetaType::LongLong,
                                      QMetaType::UInt, QMetaType::ULongLong, QMetaType::Bool};
    return std::find(std::begin(Numeric), std::end(Numeric), value.typeId()) != std::end(Numeric);
}

// NaN when blank or no number.
double toNumber(const QVariant &value)
{
    if (isNumeric(value))
        return value.toDouble();
    return value.isValid() ? CellText::parseNumber(value.toString()).value_or(std::nan("")) : std::nan("");
}

// Anything not a whole number in range is blank rather than the integer
// nearest to it: an order number read any other way could name another order.
QVariant toInteger(const QVariant &value)
{
    const std::optional<qint64> integer =
        value.typeId() == QMetaType::QString
            ? FieldValue::IntegerOf(CellText::toHalfWidth(value.toString()).remove(u','))
            : FieldValue::IntegerOf(value);
    return integer ? QVariant(qlonglong(*integer)) : QVariant();
}

QVariant yenOf(double number)
{
    const std::optional<qint64> yen = YenOf(number);
    return yen ? QVariant(qlonglong(*yen)) : QVariant();
}

QVariant dateOf(int julian)
{
    return julian == 0 ? QVariant() : QVariant(QDate::fromJulianDay(julian));
}

QVariant toDate(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime) {
        const qint64 julian = value.toDate().toJulianDay();
        return julian >= CellText::MinDateJulian && julian <= CellText::MaxDateJulian ? QVariant(value.toDate())
                                                                                       : QVariant();
    }
    return value.typeId() == QMetaType::QString ? dateOf(CellText::parseDate(value.toString())) : QVariant();
}

QString toText(const QVariant &value)
{
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        return CellText::plainNumber(value.toDouble());
    if (value.typeId() == QMetaType::QDate)
        return FieldValue::FormatDate(value.toDate());
    return value.toString();
}

bool inRange(const ColumnDef &column, double number)
{
    return number >= column.minimum && number <= column.maximum;
}

} // namespace

QVariant FromValue(const ColumnDef &column, const QVariant &value)
{
    switch (column.kind) {
    case CellKind::Text:
        return toText(value);
    case CellKind::Number: {
        const double number = toNumber(value);
        return std::isnan(number) ? QVariant() : QVariant(number);
    }
    case CellKind::Integer:
        return toInteger(value);
    case CellKind::Yen:
        if (isNumeric(value) && value.typeId() != QMetaType::Double && value.typeId() != QMetaType::Float)
            return qlonglong(value.toLongLong());
        return yenOf(toNumber(value));
    case CellKind::CheckBox: {
        const double number = toNumber(value);
        return !std::isnan(number) && number != 0;
    }
    case CellKind::Date:
        return toDate(value);
    }
    return QVariant();
}

std::optional<QVariant> FromTyped(const ColumnDef &column, const QString &typed)
{
    const bool blank = typed.trimmed().isEmpty();
    switch (column.kind) {
    case CellKind::Text:
        return column.maxLength > 0 ? typed.left(column.maxLength) : typed;
    case CellKind::Number:
    case CellKind::Yen: {
        const std::optional<double> number = CellText::parseNumber(typed);
        if (!number || (!std::isnan(*number) && !inRange(column, *number)))
            return std::nullopt;
        if (std::isnan(*number))
            return QVariant();
        return column.kind == CellKind::Yen ? yenOf(*number) : QVariant(*number);
    }
    case CellKind::Integer: {
        const QVariant integer = toInteger(typed);
        if ((!integer.isValid() && !blank) || (integer.isValid() && !inRange(column, integer.toDouble())))
            return std::nullopt;
        return integer;
    }
    case CellKind::CheckBox:
        return QVariant(toNumber(typed) == 1);
    case CellKind::Date: {
        const int julian = CellText::parseDate(typed);
        if (julian == 0 && !blank)
            return std::nullopt;
        return dateOf(julian);
    }
    }
    return std::nullopt;
}

QString Value(const ColumnDef &column, const QVariant &cell)
{
    if (column.kind == CellKind::CheckBox)
        return cell.toBool() ? u"1"_s : u"0"_s;
    if (!cell.isValid())
        return QString();
    switch (column.kind) {
    case CellKind::Number:
        return CellText::plainNumber(cell.toDouble());
    case CellKind::Integer:
    case CellKind::Yen:
        return QString::number(cell.toLongLong());
    case CellKind::Date:
        return FieldValue::FormatDate(cell.toDate());
    default:
        return cell.toString();
    }
}

QString Text(const ColumnDef &column, const QVariant &cell)
{
    if (column.grouping && cell.isValid() && (column.kind == CellKind::Number || column.kind == CellKind::Yen))
        return CellText::groupedNumber(cell.toDouble());
    return Value(column, cell);
}

double Number(const ColumnDef &column, const QVariant &cell)
{
    switch (column.kind) {
    case CellKind::Text: {
        const double number = CellText::parseNumber(cell.toString()).value_or(0.0);
        return std::isnan(number) ? 0.0 : number;
    }
    case CellKind::Date:
        return 0.0;
    case CellKind::CheckBox:
        return cell.toBool() ? 1.0 : 0.0;
    default:
        return cell.isValid() ? cell.toDouble() : 0.0;
    }
}

} // namespace CellForm
