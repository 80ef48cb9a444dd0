#pragma once

#include <QList>
#include <QStringList>

// Each number's decimal text: the lists of order and column numbers that
// statements, messages and settings join.
template<typename Number>
QStringList NumberTexts(const QList<Number> &numbers)
{
    QStringList texts;
    for (const Number number : numbers)
        texts.append(QString::number(number));
    return texts;
}
