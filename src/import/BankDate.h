#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>

// YYMMDD dates of the banks' fixed-length files. The year is 令和 or 平成, or
// the western year some banks write; which one is decided by the file itself
// (its header's 作成日 and 勘定日 range), so a PC clock that is off does no
// harm. A day that does not exist in the era it is read in is no date: it is
// never read in another era instead.
namespace BankDate {

enum class Era { Reiwa, Heisei, Western };

// The 勘定日(自)–(至) a header gives for its data records.
struct Range
{
    QDate from;
    QDate to;
    bool usable() const { return from.isValid() && to.isValid() && from <= to; }
};

struct Read
{
    QDate date;      // invalid when problem is set
    QString problem; // why the text is no date of the file
};

// The day in era, or an invalid date when the era has no such day.
QDate inEra(int year, int month, int day, Era era);

// The header's range: 勘定日(自) and (至) read against the file's 作成日, and
// against today only when the 作成日 is no date.
Range headerRange(QByteArrayView created, QByteArrayView from, QByteArrayView to, const QDate &today);

// A data record's date in the era whose year the range spans, within the
// range widened by graceDays on both sides. Without a usable range, the era
// of the latest year not ahead of today.
Read inRange(QByteArrayView yymmdd, const Range &range, int graceDays, const QDate &today);

} // namespace BankDate
