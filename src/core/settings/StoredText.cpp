#include "core/settings/StoredText.h"

#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

#include <utility>

namespace {

// ICU's windows-31j is CP932 proper (NEC and IBM extensions, U+FF5E for 0x8160).
constexpr const char *kCp932Name = "windows-31j";

QStringEncoder encoderFor(StoredText::Encoding encoding)
{
    switch (encoding) {
    case StoredText::Encoding::Cp932:
        return QStringEncoder(kCp932Name, QStringConverter::Flag::Stateless);
    case StoredText::Encoding::Latin1:
        return QStringEncoder(QStringConverter::Latin1, QStringConverter::Flag::Stateless);
    case StoredText::Encoding::Utf8:
        break;
    }
    return QStringEncoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
}

} // namespace

StoredText::StoredText(QString text, Encoding encoding)
    : m_text(std::move(text)), m_encoding(encoding)
{
}

StoredText StoredText::decode(const QByteArray &bytes)
{
    DecodedText decoded = DecodedText::decode(bytes);
    return StoredText(decoded.text(), decoded.encoding());
}

StoredText StoredText::readFile(const QString &path)
{
    // Settings files are small text files. Anything else named here, a pipe
    // that never ends or a device that never stops, would hang or exhaust
    // the host before the screen opens: it counts as missing.
    constexpr qint64 MaxBytes = 1024 * 1024;
    const QFileInfo info(path);
    QFile file(path);
    if (path.isEmpty() || !info.isFile() || info.size() > MaxBytes || !file.open(QIODevice::ReadOnly))
        return StoredText(QString(), Encoding::Utf8);
    const QByteArray bytes = file.read(MaxBytes + 1);
    if (bytes.size() > MaxBytes)
        return StoredText(QString(), Encoding::Utf8);
    return decode(bytes);
}

QString StoredText::cutToBytes(const QString &value, qsizetype maxBytes, Encoding encoding)
{
    // No encoding here spends more than three bytes on one UTF-16 unit, so
    // short values, the usual case, need no encoding at all.
    if (value.size() * 3 <= maxBytes)
        return value;

    QStringEncoder encoder = encoderFor(encoding);
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
