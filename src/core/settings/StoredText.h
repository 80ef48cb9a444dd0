#pragma once

#include "core/text/DecodedText.h"

#include <QByteArray>
#include <QString>

// The text of a settings file, whichever of the suite's machines wrote it,
// decoded as DecodedText does: a damaged file still reads, line by line, and
// never fails.
class StoredText final
{
public:
    using Encoding = TextEncoding;

    static StoredText decode(const QByteArray &bytes);
    // A missing or unreadable file, or anything but a regular file of at
    // most 1 MiB, reads as an empty UTF-8 text.
    static StoredText readFile(const QString &path);

    const QString &text() const { return m_text; }
    Encoding encoding() const { return m_encoding; }

    // The longest head of value whose bytes in the given encoding number at
    // most maxBytes. The cut falls between whole characters, so a multi-byte
    // character that would straddle the limit is left out entirely.
    static QString cutToBytes(const QString &value, qsizetype maxBytes, Encoding encoding);

private:
    StoredText(QString text, Encoding encoding);

    QString m_text;
    Encoding m_encoding{Encoding::Utf8};
};
