#include "screens/receipt_list/ReceiptRules.h"

#include <QLocale>

#include <cmath>

using namespace Qt::StringLiterals;

namespace ReceiptRules {

QColor AgeColor(qint64 daysSinceShipping)
{
    if (daysSinceShipping >= 30)
        return Pink;
    if (daysSinceShipping >= 14)
        return Yellow;
    return White;
}

QStringList SplitTabList(const QString &text)
{
    if (text.isEmpty())
        return {};
    return text.split(u'\t');
}

QString ShopIdOf(const QString &item)
{
    const qsizetype separator = item.indexOf(u" / "_s);
    if (separator < 0)
        return item;
    return item.left(separator);
}

qint64 RoundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0))
        rounded = floor + 1.0;
    return static_cast<qint64>(rounded);
}

QString NumberText(double value)
{
    if (value == std::trunc(value) && std::abs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

} // namespace ReceiptRules
