#include "widgets/grid/NumberValidator.h"

#include "core/data/CellText.h"

#include <cmath>

NumberValidator::NumberValidator(double minimum, double maximum, QObject *parent)
    : QValidator(parent), m_minimum(minimum), m_maximum(maximum)
{
}

QValidator::State NumberValidator::validate(QString &input, int &) const
{
    // Full-width digits become plain ones as they are typed.
    input = CellText::toHalfWidth(input);
    const QString trimmed = input.trimmed();
    if (trimmed.isEmpty())
        return Acceptable;

    bool seenPoint = false;
    bool seenDigit = false;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (c.isDigit() && c.unicode() < 128)
            seenDigit = true;
        else if (c == u'.' && !seenPoint)
            seenPoint = true;
        else if ((c == u'-' || c == u'+') && i == 0)
            continue;
        else if (c != u',' || seenPoint)
            return Invalid;
    }
    if (trimmed.startsWith(u'-') && m_minimum >= 0)
        return Invalid;
    if (!seenDigit)
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
