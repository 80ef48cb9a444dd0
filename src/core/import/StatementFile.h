#pragma once

#include "core/import/Statement.h"

#include <QByteArray>
#include <QDate>
#include <QString>

// Reads a payment statement whatever its kind: the fixed-length bank format
// or CSV, recognised by the content and never by the file name.
class StatementFile final
{
public:
    static Statement read(const QByteArray &bytes, const QDate &today);
    static Statement readFile(const QString &path, const QDate &today);
};
