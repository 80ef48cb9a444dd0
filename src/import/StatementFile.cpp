#include "import/StatementFile.h"

#include "import/ConvenienceStatement.h"
#include "import/CsvStatement.h"
#include "import/FixedRecords.h"
#include "core/text/DecodedText.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// The first line that is neither UTF-8 nor CP932, or the first that is not
// UTF-8 when each line is one or the other.
QString encodingError(const QByteArray &bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    qsizetype mixed = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const TextEncoding encoding = DecodedText::decode(lines.at(i)).encoding();
        if (encoding == TextEncoding::Utf8)
            continue;
        if (encoding == TextEncoding::Latin1)
            return u"%1行目: 文字コードを判別できません（UTF-8 でも Shift_JIS でもありません）"_s.arg(i + 1);
        if (mixed < 0)
            mixed = i;
    }
    return u"%1行目: 文字コードを判別できません（UTF-8 と Shift_JIS が混じっています）"_s.arg(std::max(mixed, qsizetype(0)) + 1);
}

} // namespace

Statement StatementFile::read(const QByteArray &bytes, const QDate &today, const CsvColumns *assigned,
                             const std::atomic_bool *stop, QString *csvText, const ConvenienceSettings &convenience)
{
    // Before the banks' files: a 120-byte header can pass for the start of a 200-byte one.
    if (ConvenienceStatement::recognises(bytes))
        return ConvenienceStatement::read(bytes, convenience, stop);
    if (const QByteArrayView kind = FixedRecords::kindCode(bytes); !kind.isEmpty()) {
        if (kind == QByteArrayView("01"))
            return FixedRecords::readTransferNotice(bytes, today, stop);
        if (kind == QByteArrayView("03"))
            return FixedRecords::readZengin(bytes, today, stop);
        return {.error = u"1行目: 振込入金通知でも入出金取引明細でもありません（種別コード %1）"_s.arg(
                    QString::fromLatin1(kind))};
    }

    if (bytes.trimmed().isEmpty())
        return {.error = u"1行目: ファイルが空です"_s};
    // NUL bytes mean UTF-16 or no text at all; both would pass as UTF-8.
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0)
        return {.error = u"%1行目: 文字コードを判別できません（UTF-16 か、テキストではありません）"_s.arg(
                    bytes.first(nul).count('\n') + 1)};
    const DecodedText decoded = DecodedText::decode(bytes);
    if (decoded.encoding() == TextEncoding::Latin1)
        return {.error = encodingError(bytes)};
    Statement statement = CsvStatement::read(decoded.text(), assigned, stop);
    statement.encoding = decoded.encoding();
    if (csvText)
        *csvText = decoded.text();
    return statement;
}

QByteArray StatementFile::load(const QString &path, QString &error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        error = u"ファイルがありません"_s;
        return {};
    }
    // A device or a pipe never ends: /dev/zero would fill the memory.
    if (!info.isFile()) {
        error = u"通常のファイルではありません（フォルダやデバイスは読めません）"_s;
        return {};
    }
    if (info.size() > MaxBytes) {
        error = u"ファイルが大きすぎます（%1 MB。入金データとして読めるのは %2 MB まで）"_s
                    .arg((info.size() + 1024 * 1024 - 1) / (1024 * 1024))
                    .arg(MaxBytes / (1024 * 1024));
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = u"ファイルを開けません: %1"_s.arg(file.errorString());
        return {};
    }
    // The file may still grow while it is read.
    QByteArray bytes = file.read(MaxBytes + 1);
    if (bytes.size() > MaxBytes) {
        error = u"ファイルが大きすぎます（入金データとして読めるのは %1 MB まで）"_s.arg(MaxBytes / (1024 * 1024));
        return {};
    }
    return bytes;
}

Statement StatementFile::readFile(const QString &path, const QDate &today, const CsvColumns *assigned)
{
    QString error;
    const QByteArray bytes = load(path, error);
    if (!error.isEmpty())
        return {.error = error};
    return read(bytes, today, assigned);
}
