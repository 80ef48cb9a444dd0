#include "widgets/grid/DateValidator.h"

#include "core/data/CellText.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

QValidator::State DateValidator::validate(QString &input, int &) const
{
    static const QRegularExpression typing(
        QRegularExpression::anchoredPattern(u"[0-9]{0,4}(/[0-9]{0,2}(/[0-9]{0,2})?)?"_s));
    input = CellText::toHalfWidth(input);
    if (input.trimmed().isEmpty())
        return Acceptable;
    if (!typing.match(input).hasMatch())
        return Invalid;
    return CellText::parseDate(input) != 0 ? Acceptable : Intermediate;
}
