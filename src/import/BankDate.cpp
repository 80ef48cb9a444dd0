#include "import/BankDate.h"

#include "import/StatementValues.h"

using namespace Qt::StringLiterals;

namespace BankDate {

namespace {

struct Span
{
    Era era;
    int offset;          // the western year of the era's year 0
    QDate start;         // its first day; none for the western years
    QDate end;           // the day after its last; none while it lasts
    const char16_t *name;
};

// In the order the eras are tried: 平成 ends in April 2019, 令和 starts in May.
const Span Spans[] = {{Era::Reiwa, 2018, QDate(2019, 5, 1), QDate(), u"令和"},
                      {Era::Heisei, 1988, QDate(1989, 1, 8), QDate(2019, 5, 1), u"平成"},
                      {Era::Western, 2000, QDate(), QDate(), u""}};

struct Parts
{
    int yy{-1};
    int mm{0};
    int dd{0};
    bool ok() const { return yy >= 0; }
};

Parts partsOf(QByteArrayView yymmdd)
{
    if (yymmdd.size() != 6 || !StatementValues::isDigits(yymmdd))
        return {};
    auto two = [&](qsizetype at) { return (yymmdd[at] - '0') * 10 + (yymmdd[at + 1] - '0'); };
    return {two(0), two(2), two(4)};
}

// Some day from first to last lies in the era.
bool within(const Span &span, const QDate &first, const QDate &last)
{
    return last >= span.start && (!span.end.isValid() || first < span.end);
}

QDate dayInEra(const Parts &parts, const Span &span)
{
    const QDate date(span.offset + parts.yy, parts.mm, parts.dd);
    return date.isValid() && within(span, date, date) ? date : QDate();
}

// The reading nearest to near and not more than a year ahead of it: a
// header's 作成日 against the PC's today, which may be off by months without
// choosing another reading.
QDate nearest(QByteArrayView yymmdd, const QDate &near)
{
    // A date more than a year ahead is another era's, whatever the clock says.
    const Parts parts = partsOf(yymmdd);
    QDate best, ahead;
    for (const Span &span : Spans) {
        const QDate date = parts.ok() ? dayInEra(parts, span) : QDate();
        QDate &slot = date.isValid() && date > near.addYears(1) ? ahead : best;
        if (date.isValid() && (!slot.isValid() || qAbs(date.daysTo(near)) < qAbs(slot.daysTo(near))))
            slot = date;
    }
    return best.isValid() ? best : ahead;
}

} // namespace

QDate inEra(int year, int month, int day, Era era)
{
    return year >= 0 ? dayInEra({year, month, day}, Spans[int(era)]) : QDate();
}

Range headerRange(QByteArrayView created, QByteArrayView from, QByteArrayView to, const QDate &today)
{
    QDate anchor = nearest(created, today);
    if (!anchor.isValid())
        anchor = today;
    Range range{nearest(from, anchor), nearest(to, anchor)};
    if (!range.usable())
        return {};
    return range;
}

Read inRange(QByteArrayView yymmdd, const Range &range, int graceDays, const QDate &today)
{
    const Parts parts = partsOf(yymmdd);
    const QString written = QString::fromLatin1(yymmdd);
    if (!parts.ok())
        return {{}, u"日付「%1」が YYMMDD ではありません"_s.arg(written)};
    const QDate from = range.from.addDays(-graceDays), to = range.to.addDays(graceDays);
    const Read outside{{}, u"日付「%1」が勘定日の範囲（%2～%3）の外です"_s.arg(written, range.from.toString(u"yyyy/MM/dd"_s),
                                                                           range.to.toString(u"yyyy/MM/dd"_s))};

    // The era is chosen by year and month alone; the day must then exist in it.
    const Span *chosen = nullptr;
    for (const Span &span : Spans) {
        // No month 13; a month some of whose days lie in the era.
        const QDate first(span.offset + parts.yy, parts.mm, 1);
        if (!first.isValid() || !within(span, first, first.addMonths(1).addDays(-1)))
            continue;
        if (range.usable()) {
            if (first <= to && first.addMonths(1) > from) {
                chosen = &span;
                break;
            }
        } else if (first <= today.addDays(31) && (!chosen || span.offset > chosen->offset)) {
            chosen = &span;
        }
    }
    if (!chosen)
        return range.usable() ? outside : Read{{}, u"日付「%1」が正しくありません"_s.arg(written)};
    const QDate date = dayInEra(parts, *chosen);
    if (!date.isValid()) {
        const int year = chosen->era == Era::Western ? chosen->offset + parts.yy : parts.yy;
        return {{}, u"日付「%1」: %2%3年%4月%5日 はありません"_s.arg(written, QString::fromUtf16(chosen->name))
                        .arg(year)
                        .arg(parts.mm)
                        .arg(parts.dd)};
    }
    if (range.usable() && (date < from || date > to))
        return outside;
    return {date, QString()};
}

} // namespace BankDate
