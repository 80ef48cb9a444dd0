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

// The 種別コード of the header a file starts with, or empty when it does not
// start with a header of this family.
QByteArrayView kindCode(QByteArrayView bytes);

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
// The walk every file of the family takes: per account a header, its data
// records and a trailer, then one end record; records of size bytes. Returns
// the refusal naming the record, Statement::Stopped once stop is set, or empty.
QString walk(QByteArrayView bytes, const Handlers &handlers, const std::atomic_bool *stop,
             qsizetype size = RecordSize);

// One of the banks' files, and where its records hold what both give a deposit.
struct Kind
{
    Statement::Format format;
    const char *code;           // 種別コード
    const char16_t *name;       // in the refusal of another 種別コード
    // Only 普通, 当座 and 貯蓄 accounts share the data layout read here;
    // another 預金種目 is refused with accountRefusal (%1 the code).
    Field accountKind;
    const char16_t *accountRefusal;
    Field reference;            // 照会番号
    Field accountDate;          // 勘定日
    Field valueDate;            // 起算日, 預入・払出日
    const char16_t *valueDateName;
    Field amount;
    Field payer;                // 振込依頼人名
    Field edi;                  // EDI情報
};

// A bank file being read: the statement so far, the account whose section is
// being read, and the deposits a later record of the file takes back: they
// pay nothing, and the statement keeps only the others.
class Reading final
{
public:
    Reading(const Kind &kind, const QDate &today) : m_kind(kind), m_today(today) {}

    // Walks the file; a header starts a section, checked, its 勘定日 range
    // read against its 作成日, and startSection resets the caller's counts.
    // The lines taken back are dropped once the file is read.
    Statement read(QByteArrayView bytes, const std::function<void()> &startSection,
                   const std::function<QString(QByteArrayView data, int number)> &data,
                   const std::function<QString(QByteArrayView trailer)> &trailer, const std::atomic_bool *stop);

    // A data record as a statement line: its dates read inside the header's
    // range (the value date with some days' grace), the payer name and EDI
    // text searched, a bare number in the EDI field naming the order (the
    // payer fills it in). problem says the first thing that makes the line
    // unusable.
    StatementLine lineOf(QByteArrayView record, int number);

    // The line kept, with its place for take() and standing(), when it pays
    // something or says why it cannot; false, counted as skipped, when not.
    bool keep(StatementLine &&line);
    void take(qsizetype index);
    // The record that took a line back, which pays nothing either.
    void drop(qsizetype index) { m_taken[index] = true; }
    bool standing(qsizetype index) const { return !m_taken.at(index); }
    // A line that a record of the file may take back without saying so
    // clearly: it stays, but unusable, and says why.
    void holdBack(qsizetype index, const QString &why);

    Statement statement;
    qsizetype firstLine{0}; // of the section's lines in the statement

private:
    QString text(QByteArrayView bytes, bool &ok);

    const Kind &m_kind;
    QDate m_today;
    BankDate::Range m_range;
    QList<bool> m_taken;
    QStringDecoder m_decoder{"windows-31j", QStringConverter::Flag::Stateless};
};

// The banks' two files, each read in a file of its own: 振込入金通知 (種別コード
// 01, TransferNoticeReader.cpp) and 入出金取引明細 (種別コード 03, ZenginReader.cpp).
Statement readTransferNotice(QByteArrayView bytes, const QDate &today, const std::atomic_bool *stop = nullptr);
Statement readZengin(QByteArrayView bytes, const QDate &today, const std::atomic_bool *stop = nullptr);

} // namespace FixedRecords
