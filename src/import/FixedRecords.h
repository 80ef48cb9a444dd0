#pragma once

#include "import/BankDate.h"
#include "import/Statement.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringDecoder>

#include <atomic>
#include <functional>
#include <initializer_list>

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

// Splits into records: lines of size bytes, or slices of size when the file
// has no line breaks; an EOF mark at the end is dropped. Fills error, naming
// the record, when a length is wrong.
QList<QByteArrayView> split(QByteArrayView bytes, QString &error, qsizetype size = RecordSize);

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

// A header of the family, whose 種別コード must be kind (kindName in the
// refusal). Only 普通, 当座 and 貯蓄 accounts share the data layout read here;
// another 預金種目 is refused with accountRefusal (%1 the code). Gives the
// header's 勘定日 range, read against its 作成日.
QString readHeader(QByteArrayView record, QByteArrayView kind, QStringView kindName, Field accountKind,
                   QStringView accountRefusal, const QDate &today, BankDate::Range &range);

// Where a data record holds what both files give a deposit.
struct DataFields
{
    Field reference;   // 照会番号
    Field accountDate; // 勘定日
    Field valueDate;   // 起算日, 預入・払出日
    Field amount;
    Field payer;       // 振込依頼人名
    Field edi;         // EDI情報
};

// A data record as a statement line: its dates read inside the header's range
// (the value date with some days' grace), the payer name and EDI text searched,
// a bare number in the EDI field naming the order (the payer fills it in).
// problem says the first thing that makes the line unusable; valueDateName
// names the value date there.
StatementLine lineOf(QByteArrayView record, int number, const DataFields &at, const BankDate::Range &range,
                     const QDate &today, Decoder &decoder, QStringView valueDateName);

// A trailer field and the value the section's records add up to.
struct TrailerCheck
{
    Field at;
    qint64 expected;
    const char16_t *name;
};
// The first trailer field that disagrees with the records, or empty.
QString trailerError(QByteArrayView record, std::initializer_list<TrailerCheck> checks);

// What a file of the family does with each record: every handler returns the
// reason that refuses the whole file, or empty.
struct Handlers
{
    std::function<QString(QByteArrayView header)> header;
    std::function<QString(QByteArrayView data, int number)> data;
    std::function<QString(QByteArrayView trailer)> trailer;
};
// The walk both files take: per account a header, its data records and a
// trailer, then one end record. On a refusal, statement.error names the
// record and the lines are dropped; once stop is set, with Statement::Stopped.
void walk(QByteArrayView bytes, Statement &statement, const Handlers &handlers, const std::atomic_bool *stop,
          qsizetype size = RecordSize);

// Deposits a later record of the file takes back: they pay nothing, and the
// statement keeps only the others.
class TakenBack final
{
public:
    // The line kept, with its place for take() and standing().
    void keep(Statement &statement, StatementLine &&line);
    void take(Statement &statement, qsizetype index);
    // The record that took a line back, which pays nothing either.
    void drop(qsizetype index);
    // A line that a record of the file may take back without saying so
    // clearly: it stays, but unusable, and says why.
    static void holdBack(Statement &statement, qsizetype index, const QString &why);
    bool standing(qsizetype index) const { return !m_taken.at(index); }
    // Drops the lines taken back, once the file is read.
    void dropFrom(Statement &statement) const;

private:
    QList<bool> m_taken;
};

} // namespace FixedRecords
