// Any file contents through the INI reader: no crash, the buffer limit holds,
// and a key that is not there gives the default.
#include "FuzzCheck.h"

#include "core/settings/ProfileString.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdint>

namespace {

QString fuzzFile()
{
    static const QString path =
        QDir::temp().filePath(QStringLiteral("parlow6-fuzz-%1.ini").arg(QCoreApplication::applicationPid()));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks the buffer size; the rest is the file.
    const qsizetype bufferBytes = 1 + data[0] % 64;
    const QByteArray contents(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    {
        QFile file(fuzzFile());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(contents);
    }

    const QString input = QString::fromLatin1(contents.toPercentEncoding());
    const QString sections[] = {QStringLiteral("Settings"), QStringLiteral("a"), QString()};
    const QString keys[] = {QStringLiteral("Path"), QStringLiteral("b"), QString()};
    for (const QString &section : sections) {
        for (const QString &key : keys) {
            const QString value =
                ReadProfileString(section, key, QStringLiteral("dflt"), bufferBytes, fuzzFile());
            // Every character takes at least one byte, whatever the encoding.
            FUZZ_CHECK(value.size() <= bufferBytes - 1, input);
            FUZZ_CHECK(value == ReadProfileString(section, key, QStringLiteral("dflt"), bufferBytes, fuzzFile()),
                       input);
        }
    }
    const QString missing = ReadProfileString(QStringLiteral("no such section \x01"), QStringLiteral("k"),
                                              QStringLiteral("dflt  "), bufferBytes, fuzzFile());
    FUZZ_CHECK(missing == QStringLiteral("dflt").left(bufferBytes - 1), input);
    return 0;
}
