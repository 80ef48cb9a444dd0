#include "widgets/grid/DateValidator.h"

#include "core/data/CellText.h"

DateValidator::DateValidator(QObject *parent) : QValidator(parent) {}

QValidator::State DateValidator::validate(QString &input, int &) const
{
    input = CellText::toHalfWidth(input);
    if (input.trimmed().isEmpty())
        return Acceptable;
    const QList<QStringView> parts = QStringView(input).split(u'/');
    if (parts.size() > 3)
        return Invalid;
    const qsizetype widths[] = {4, 2, 2};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (parts[i].size() > widths[i])
            return Invalid;
        for (const QChar c : parts[i]) {
            if (c < u'0' || c > u'9')
                return Invalid;
        }
    }
    return CellText::parseDate(input) != 0 ? Acceptable : Intermediate;
}
