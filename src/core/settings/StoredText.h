#pragma once

#include <QByteArray>
#include <QString>

// The text of a settings file, whichever of the suite's machines wrote it.
// UTF-8 (with or without a byte-order mark) is tried first. A file that is not
// valid UTF-8 most likely came from a Japanese Windows editor, so CP932 comes
// next. A file that is neither is read as Latin-1, which maps every byte to a
// character: a damaged file still reads, line by line, and never fails.
class StoredText final
{
public:
    enum class Encoding { Utf8, Cp932, Latin1 };

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
