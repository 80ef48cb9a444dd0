#include "core/settings/StoredText.h"

#include <QFile>
#include <QFileInfo>

namespace StoredText {

DecodedText ReadFile(const QString &path)
{
    // Settings files are small text files. Anything else named here, a pipe
    // that never ends or a device that never stops, would hang or exhaust
    // the host before the screen opens: it counts as missing.
    constexpr qint64 MaxBytes = 1024 * 1024;
    const QFileInfo info(path);
    QFile file(path);
    if (path.isEmpty() || !info.isFile() || info.size() > MaxBytes || !file.open(QIODevice::ReadOnly))
        return DecodedText::decode(QByteArray());
    const QByteArray bytes = file.read(MaxBytes + 1);
    return DecodedText::decode(bytes.size() > MaxBytes ? QByteArray() : bytes);
}

QStringEncoder EncoderFor(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Cp932:
        // ICU's windows-31j is CP932 proper (NEC and IBM extensions, U+FF5E for 0x8160).
        return QStringEncoder("windows-31j", QStringConverter::Flag::Stateless);
    case TextEncoding::Latin1:
        return QStringEncoder(QStringConverter::Latin1, QStringConverter::Flag::Stateless);
    case TextEncoding::Utf8:
        break;
    }
    return QStringEncoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
}

QString CutToBytes(const QString &value, qsizetype maxBytes, TextEncoding encoding)
{
    // No encoding here spends more than three bytes on one UTF-16 unit, so
    // short values, the usual case, need no encoding at all.
    if (value.size() * 3 <= maxBytes)
        return value;

    QStringEncoder encoder = EncoderFor(encoding);
    qsizetype used = 0;
    qsizetype pos = 0;
    while (pos < value.size()) {
        const bool pair = value.at(pos).isHighSurrogate() && pos + 1 < value.size()
                          && value.at(pos + 1).isLowSurrogate();
        const qsizetype units = pair ? 2 : 1;
        const QByteArray bytes = encoder.encode(QStringView(value).sliced(pos, units));
        if (used + bytes.size() > maxBytes)
            break;
        used += bytes.size();
        pos += units;
    }
    return value.left(pos);
}

} // namespace StoredText
