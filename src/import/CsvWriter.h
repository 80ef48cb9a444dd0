#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// CSV for spreadsheet users: UTF-8 with a byte-order mark, so a Japanese
// Excel opens it as UTF-8, CRLF line ends and RFC 4180 quoting. A text a
// spreadsheet would run as a formula (=, +, -, @, tab or CR first) gets a "'"
// in front, so it reads as text; the statement import takes it off again.
class CsvWriter final
{
public:
    static QString field(const QString &value);
    static QByteArray document(const QList<QStringList> &rows);
};
