#pragma once

#include "import/ConvenienceSettings.h"
#include "import/CsvColumns.h"
#include "import/Statement.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <atomic>

// Reads a payment statement whatever its kind: the banks' fixed-length files
// (振込入金通知, 入出金取引明細), the convenience-store collection agents'
// files or CSV, recognised by the content and never by
// the file name. today only matters for a bank file whose header gives no
// dates.
class StatementFile final
{
public:
    // A bank's daily file is kilobytes; anything beyond this is no statement.
    static constexpr qint64 MaxBytes = 10 * 1024 * 1024;

    // assigned: the operator's columns for a CSV whose header names none.
    // Once stop is set, reading ends with the error Statement::Stopped. A
    // CSV's text is decoded once, and left in csvText when that is given.
    // convenience: how the convenience-store collection files are read.
    static Statement read(const QByteArray &bytes, const QDate &today, const CsvColumns *assigned = nullptr,
                          const std::atomic_bool *stop = nullptr, QString *csvText = nullptr,
                          const ConvenienceSettings &convenience = {});
    // Only a regular file of at most MaxBytes is read; anything else is
    // refused before a byte of it is read.
    static Statement readFile(const QString &path, const QDate &today, const CsvColumns *assigned = nullptr);
    // The bytes of a file readFile would read, or the reason it would not.
    static QByteArray load(const QString &path, QString &error);
};
