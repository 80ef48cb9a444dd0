#pragma once

#include "core/import/StatementLine.h"
#include "core/text/DecodedText.h"

#include <QList>
#include <QString>

// A payment statement as read from its file: its deposits in file order, or
// the reason the whole file is refused.
struct Statement
{
    enum class Format { Csv, Zengin };

    Format format{Format::Csv};
    TextEncoding encoding{TextEncoding::Utf8};
    QList<StatementLine> lines;
    int skipped{0};   // withdrawals and blank lines, which are no deposits
    QString error;    // not empty: nothing of the file may be used; names the line

    bool ok() const { return error.isEmpty(); }
};
