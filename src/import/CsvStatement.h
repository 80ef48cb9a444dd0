#pragma once

#include "import/CsvColumns.h"
#include "import/Statement.h"

#include <QByteArrayView>
#include <QList>
#include <QStringList>
#include <QStringView>

#include <optional>

// A statement exported as CSV by a bank or a payment service. The first row
// names the columns; the date, the amount and the texts searched for order
// numbers are found by those names, wherever they stand, or taken from the
// operator's assignment.
class CsvStatement final
{
public:
    // Without an assignment, a header that names no date or amount refuses
    // the file and sets columnsKey.
    static Statement read(QStringView text, const CsvColumns *assigned = nullptr);
    // The same for the file's bytes in the encoding named as QStringDecoder
    // knows it; nothing when they are not in that encoding.
    static std::optional<Statement> read(QByteArrayView bytes, const char *encoding,
                                         const CsvColumns *assigned = nullptr);
    // The first rows as the column dialog shows them, of a text that may be
    // the start of a file only; empty when the text is no CSV.
    static QList<QStringList> firstRows(QStringView text, int count);
};
