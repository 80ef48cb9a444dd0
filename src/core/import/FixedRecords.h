#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringDecoder>

// What the banks' 200-byte files share (振込入金通知 and 入出金取引明細 alike):
// records with or without line breaks, N fields of digits, C fields of
// Shift_JIS text with half-width kana.
namespace FixedRecords {

inline constexpr qsizetype RecordSize = 200;

struct Field
{
    qsizetype offset; // from 0: the published position less one
    qsizetype size;
};

inline QByteArrayView field(QByteArrayView record, Field at)
{
    return record.sliced(at.offset, at.size);
}

bool isDigits(QByteArrayView bytes);
// The value of a field that isDigits.
qint64 numberOf(QByteArrayView bytes);

// Splits into records: lines of 200 bytes, or 200-byte slices when the file
// has no line breaks; an EOF mark at the end is dropped. Fills error, naming
// the record, when a length is wrong.
QList<QByteArrayView> split(QByteArrayView bytes, QString &error);

// The 種別コード of the header a file starts with, or empty when it does not
// start with a header of this family.
QByteArrayView kindCode(QByteArrayView bytes);

// Decodes C fields; ok turns false on bytes that are no Shift_JIS.
class Decoder final
{
public:
    QString text(QByteArrayView bytes, bool &ok);

private:
    QStringDecoder m_decoder{"windows-31j", QStringConverter::Flag::Stateless};
};

} // namespace FixedRecords
