#pragma once

#include <QValidator>

// Typing into a number cell: digits with an optional sign, decimal point and
// "," grouping, within the column's range. An empty text is a blank cell.
class NumberValidator final : public QValidator
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NumberValidator)

public:
    explicit NumberValidator(double minimum, double maximum, QObject *parent = nullptr)
        : QValidator(parent), m_minimum(minimum), m_maximum(maximum)
    {
    }

    State validate(QString &input, int &pos) const override;

private:
    double m_minimum{0};
    double m_maximum{0};
};
