#include "core/import/StatementFile.h"

#include "core/import/CsvStatement.h"
#include "core/import/ZenginReader.h"

#include <QFile>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

bool decodes(QByteArrayView bytes, QStringDecoder decoder)
{
    // The decoding happens on conversion to text.
    [[maybe_unused]] const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

// The first line that is neither UTF-8 nor CP932, or the first that is not
// UTF-8 when each line is one or the other.
QString encodingError(const QByteArray &bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    qsizetype mixed = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // Stateless, as DecodedText decodes: a line cut inside a character is an error too.
        if (decodes(lines.at(i), QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless)))
            continue;
        if (!decodes(lines.at(i), QStringDecoder("windows-31j", QStringConverter::Flag::Stateless)))
            return u"%1行目: 文字コードを判別できません（UTF-8 でも Shift_JIS でもありません）"_s.arg(i + 1);
        if (mixed < 0)
            mixed = i;
    }
    return u"%1行目: 文字コードを判別できません（UTF-8 と Shift_JIS が混じっています）"_s.arg(std::max(mixed, qsizetype(0)) + 1);
}

} // namespace

Statement StatementFile::read(const QByteArray &bytes, const QDate &today)
{
    if (ZenginReader::looksLike(bytes))
        return ZenginReader::read(bytes, today);

    Statement statement;
    if (bytes.trimmed().isEmpty()) {
        statement.error = u"1行目: ファイルが空です"_s;
        return statement;
    }
    // NUL bytes mean UTF-16 or no text at all; both would pass as UTF-8.
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0) {
        statement.error = u"%1行目: 文字コードを判別できません（UTF-16 か、テキストではありません）"_s.arg(
            bytes.first(nul).count('\n') + 1);
        return statement;
    }
    const DecodedText decoded = DecodedText::decode(bytes);
    if (decoded.encoding() == TextEncoding::Latin1) {
        statement.error = encodingError(bytes);
        return statement;
    }
    statement = CsvStatement::read(decoded.text());
    statement.encoding = decoded.encoding();
    return statement;
}

Statement StatementFile::readFile(const QString &path, const QDate &today)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Statement statement;
        statement.error = u"ファイルを開けません: %1"_s.arg(file.errorString());
        return statement;
    }
    return read(file.readAll(), today);
}
