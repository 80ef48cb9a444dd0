#pragma once

#include <QByteArray>
#include <QString>

// The encodings the suite's text files come in.
enum class TextEncoding { Utf8, Cp932, Latin1 };

// Bytes from one of the suite's machines as text. UTF-8 (with or without a
// byte-order mark) is tried first. Bytes that are not valid UTF-8 most likely
// came from a Japanese Windows program, so CP932 comes next. Anything else is
// read as Latin-1, which maps every byte to a character and never fails.
class DecodedText final
{
public:
    static DecodedText decode(const QByteArray &bytes);

    const QString &text() const { return m_text; }
    TextEncoding encoding() const { return m_encoding; }

private:
    DecodedText(QString text, TextEncoding encoding);

    QString m_text;
    TextEncoding m_encoding{TextEncoding::Utf8};
};
