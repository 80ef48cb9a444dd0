#pragma once

#include <QValidator>

// Typing into a date cell: "YYYY/MM/DD" (one-digit month and day allowed)
// between 1900/01/01 and 2099/12/31. An empty text clears the cell; anything
// that is not yet a valid date is held back as intermediate.
class DateValidator final : public QValidator
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DateValidator)

public:
    explicit DateValidator(QObject *parent = nullptr) : QValidator(parent) {}

    State validate(QString &input, int &pos) const override;
};
