#include "core/import/FixedRecords.h"

using namespace Qt::StringLiterals;

namespace FixedRecords {

bool isDigits(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (c < '0' || c > '9')
            return false;
    }
    return !bytes.isEmpty();
}

qint64 numberOf(QByteArrayView bytes)
{
    qint64 value = 0;
    for (const char c : bytes)
        value = value * 10 + (c - '0');
    return value;
}

QList<QByteArrayView> split(QByteArrayView bytes, QString &error)
{
    // Old transfer software ends the file with an EOF mark.
    while (!bytes.isEmpty() && (bytes.back() == '\x1a' || bytes.back() == '\n' || bytes.back() == '\r'))
        bytes.chop(1);
    QList<QByteArrayView> records;
    const bool lines = bytes.size() > RecordSize && (bytes[RecordSize] == '\r' || bytes[RecordSize] == '\n');
    records.reserve(bytes.size() / (RecordSize + (lines ? 1 : 0)) + 1);
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = pos + RecordSize;
        QByteArrayView record;
        if (lines) {
            end = bytes.indexOf('\n', pos);
            if (end < 0)
                end = bytes.size();
            record = bytes.sliced(pos, end - pos);
            if (record.endsWith('\r'))
                record.chop(1);
            ++end;
        } else {
            record = bytes.sliced(pos, std::min(RecordSize, bytes.size() - pos));
        }
        if (record.size() != RecordSize) {
            error = u"%1行目: レコードが200バイトではありません（%2バイト）"_s.arg(records.size() + 1)
                        .arg(record.size());
            return {};
        }
        records.append(record);
        pos = end;
    }
    return records;
}

QByteArrayView kindCode(QByteArrayView bytes)
{
    if (bytes.size() < RecordSize || bytes[0] != '1' || !isDigits(bytes.sliced(1, 2)))
        return {};
    if (bytes.size() > RecordSize && bytes[RecordSize] != '\r' && bytes[RecordSize] != '\n'
        && bytes[RecordSize] != '2' && bytes[RecordSize] != '8')
        return {};
    return bytes.sliced(1, 2);
}

QString Decoder::text(QByteArrayView bytes, bool &ok)
{
    m_decoder.resetState();
    const QString decoded = m_decoder.decode(bytes);
    ok = ok && !m_decoder.hasError();
    return decoded.trimmed();
}

} // namespace FixedRecords
