#pragma once

#include "core/text/DecodedText.h"

#include <QString>
#include <QStringEncoder>

// The text of a settings file, whichever of the suite's machines wrote it,
// decoded as DecodedText does: a damaged file still reads, line by line, and
// never fails.
namespace StoredText {

// A missing or unreadable file, or anything but a regular file of at most
// 1 MiB, reads as an empty UTF-8 text.
DecodedText ReadFile(const QString &path);

// Writes text back in the encoding it was read in.
QStringEncoder EncoderFor(TextEncoding encoding);

// The longest head of value whose bytes in the given encoding number at most
// maxBytes. The cut falls between whole characters, so a multi-byte character
// that would straddle the limit is left out entirely.
QString CutToBytes(const QString &value, qsizetype maxBytes, TextEncoding encoding);

} // namespace StoredText
