#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

// Comma-separated text as RFC 4180 writes it: fields in double quotes may
// hold commas, line breaks and doubled quotes. Lines end in CRLF, LF or CR.
class CsvReader final
{
public:
    // No bank writes more columns; a line with millions of them would take
    // the memory and the column dialog with it, so such a text is no CSV here.
    static constexpr int MaxFields = 1000;

    struct Record
    {
        int line{0}; // the line the record starts on, from 1
        QStringList fields;
    };

    // Hands each record to visit as it is read, keeping none, until visit
    // returns false or the text ends. False, with error naming the line,
    // when the text is no CSV or a record has more than MaxFields fields.
    static bool read(QStringView text, const std::function<bool(Record &)> &visit, QString &error);
};
