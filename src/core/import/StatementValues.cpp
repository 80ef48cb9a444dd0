#include "core/import/StatementValues.h"

#include "core/data/CellText.h"

#include <QString>

#include <cmath>

namespace StatementValues {

bool isDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

int dateOf(QStringView text)
{
    QString plain = CellText::toHalfWidth(text.trimmed());
    // Bank exports often write the date without separators.
    if (plain.size() == 8 && isDigits(plain))
        plain = plain.left(4) + u'/' + plain.mid(4, 2) + u'/' + plain.mid(6, 2);
    return CellText::parseDate(plain);
}

std::optional<qint64> amountOf(QStringView text)
{
    QString plain = CellText::toHalfWidth(text.trimmed());
    if (plain.startsWith(u'¥') || plain.startsWith(u'￥') || plain.startsWith(u'\\'))
        plain.remove(0, 1);
    if (plain.endsWith(u'円'))
        plain.chop(1);
    plain = plain.trimmed();
    if (plain.isEmpty())
        return std::nullopt;
    const std::optional<double> value = CellText::parseNumber(plain);
    // Beyond 13 digits a double no longer holds every yen exactly.
    if (!value || std::isnan(*value) || *value != std::trunc(*value) || std::fabs(*value) >= 1e13)
        return std::nullopt;
    return static_cast<qint64>(*value);
}

} // namespace StatementValues
