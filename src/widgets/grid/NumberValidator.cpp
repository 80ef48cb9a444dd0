#include "widgets/grid/NumberValidator.h"

#include "core/data/CellText.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

QValidator::State NumberValidator::validate(QString &input, int &) const
{
    // Full-width digits become plain ones as they are typed.
    input = CellText::toHalfWidth(input);
    const QString trimmed = input.trimmed();
    if (trimmed.isEmpty())
        return Acceptable;

    // Digits after an optional sign, "," grouping only before the decimal point.
    static const QRegularExpression typing(
        QRegularExpression::anchoredPattern(u"[+-]?[0-9,]*(\\.[0-9]*)?"_s));
    if (!typing.match(trimmed).hasMatch() || (trimmed.startsWith(u'-') && m_minimum >= 0))
        return Invalid;
    if (!std::any_of(trimmed.cbegin(), trimmed.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return Intermediate;

    const std::optional<double> value = CellText::parseNumber(trimmed);
    if (!value)
        return Intermediate;
    if (*value >= m_minimum && *value <= m_maximum)
        return Acceptable;
    // More digits only take the value further out on that side.
    if ((*value > m_maximum && *value > 0) || (*value < m_minimum && *value < 0))
        return Invalid;
    return Intermediate;
}
