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
    // No bank writes more columns; a line with millions of them would take
    // the memory and the column dialog with it, so such a text is no CSV here.
    static constexpr int MaxFields = 1000;

    struct Record
    {
        int line{0}; // the line the record starts on, from 1
        QStringList fields;
    };

    // Hands each record to visit as it is read, keeping none, until visit
    // returns false or the text ends. False, with error and errorLine set,
    // when the text is no CSV or a record has more than MaxFields fields.
    static bool read(QStringView text, const std::function<bool(Record &)> &visit, QString &error, int &errorLine);

    // The same for a text read in pieces, each ending in a line break but the
    // last. A record a piece ends inside (a quoted field holding a line break)
    // is left unread: the piece's text from `unread` on comes again before the
    // next piece. line is the line the piece starts on, carried along.
    struct Piece
    {
        bool last{true};
        int line{1};
        qsizetype unread{0};
    };
    static bool read(QStringView text, Piece &piece, const std::function<bool(Record &)> &visit, QString &error,
                     int &errorLine);
};
