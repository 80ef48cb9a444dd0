#pragma once

#include "core/import/Statement.h"

#include <QStringView>

// A statement exported as CSV by a bank or a payment service. The first row
// names the columns; the date, the amount and the texts searched for order
// numbers are found by those names, wherever they stand.
class CsvStatement final
{
public:
    static Statement read(QStringView text);
};
