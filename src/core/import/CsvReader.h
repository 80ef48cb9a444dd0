#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

// Comma-separated text as RFC 4180 writes it: fields in double quotes may
// hold commas, line breaks and doubled quotes. Lines end in CRLF, LF or CR.
class CsvReader final
{
public:
    struct Record
    {
        int line{0}; // the line the record starts on, from 1
        QStringList fields;
    };

    struct Result
    {
        QList<Record> records;
        QString error;    // not empty: the text is no CSV
        int errorLine{0};
    };

    // At most maxRecords records when it is not negative.
    static Result parse(QStringView text, qsizetype maxRecords = -1);
    // Hands each record to visit as it is read, keeping none, until visit
    // returns false or the text ends. False, with error and errorLine set,
    // when the text is no CSV.
    static bool read(QStringView text, const std::function<bool(Record &)> &visit, QString &error, int &errorLine);
};
