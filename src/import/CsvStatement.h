#pragma once

#include "import/CsvColumns.h"
#include "import/Statement.h"

#include <QList>
#include <QStringList>
#include <QStringView>

#include <atomic>

// A statement exported as CSV by a bank or a payment service. The first row
// names the columns; the date, the amount and the texts searched for order
// numbers are found by those names, wherever they stand, or taken from the
// operator's assignment.
class CsvStatement final
{
public:
    // Without an assignment, a header that names no date or amount refuses
    // the file and sets columnsKey. Once stop is set, reading ends with the
    // error Stopped.
    static Statement read(QStringView text, const CsvColumns *assigned = nullptr,
                          const std::atomic_bool *stop = nullptr);
    // The first rows as the column dialog shows them; empty when the text is no CSV.
    static QList<QStringList> firstRows(QStringView text, int count);
};
