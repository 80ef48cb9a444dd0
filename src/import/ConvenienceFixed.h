#pragma once

#include "import/ConvenienceRecord.h"
#include "import/ConvenienceSettings.h"

#include <QByteArrayView>
#include <QList>

// The collection agents' 120-byte form: a header (データ区分 1), data records
// (2), a trailer (8) whose count and total must agree with them, and an end
// record (9); with or without line breaks. Where a data record holds its
// fields comes from the settings, since agents differ.
class ConvenienceFixed final
{
public:
    static constexpr qsizetype RecordSize = 120;

    // The bytes are records of this form, starting with a header.
    static bool recognises(QByteArrayView bytes);
    // The data records, each naming what makes it unusable; error names the
    // record when the file is cut, out of order or its trailer disagrees.
    static QList<ConvenienceRecord> read(QByteArrayView bytes, const ConvenienceSettings &settings, QString &error);
};
