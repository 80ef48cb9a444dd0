#include "import/BankDate.h"

#include <array>

using namespace Qt::StringLiterals;

namespace BankDate {

namespace {

constexpr std::array<Era, 3> Eras{Era::Reiwa, Era::Heisei, Era::Western};
const QDate ReiwaStart(2019, 5, 1);
const QDate HeiseiStart(1989, 1, 8);

struct Parts
{
    int yy{-1};
    int mm{0};
    int dd{0};
    bool ok() const { return yy >= 0; }
};

Parts partsOf(QByteArrayView yymmdd)
{
    if (yymmdd.size() != 6)
        return {};
    for (const char c : yymmdd) {
        if (c < '0' || c > '9')
            return {};
    }
    auto two = [&](qsizetype at) { return (yymmdd[at] - '0') * 10 + (yymmdd[at + 1] - '0'); };
    return {two(0), two(2), two(4)};
}

int yearOf(int yy, Era era)
{
    switch (era) {
    case Era::Reiwa:
        return 2018 + yy;
    case Era::Heisei:
        return 1988 + yy;
    case Era::Western:
        break;
    }
    return 2000 + yy;
}

// The era's years, month by month: 平成 ends in April 2019, 令和 starts in May.
bool monthInEra(const Parts &parts, Era era)
{
    if (parts.mm < 1 || parts.mm > 12)
        return false;
    const int year = yearOf(parts.yy, era);
    switch (era) {
    case Era::Reiwa:
        return parts.yy >= 1 && (year > 2019 || parts.mm >= 5);
    case Era::Heisei:
        return parts.yy >= 1 && parts.yy <= 31 && (year < 2019 || parts.mm <= 4);
    case Era::Western:
        break;
    }
    return true;
}

QDate dayInEra(const Parts &parts, Era era)
{
    const QDate date(yearOf(parts.yy, era), parts.mm, parts.dd);
    if (!date.isValid() || !monthInEra(parts, era))
        return {};
    if ((era == Era::Reiwa && date < ReiwaStart) || (era == Era::Heisei && (date < HeiseiStart || date >= ReiwaStart)))
        return {};
    return date;
}

QString eraText(const Parts &parts, Era era)
{
    switch (era) {
    case Era::Reiwa:
        return u"令和%1年%2月%3日"_s.arg(parts.yy).arg(parts.mm).arg(parts.dd);
    case Era::Heisei:
        return u"平成%1年%2月%3日"_s.arg(parts.yy).arg(parts.mm).arg(parts.dd);
    case Era::Western:
        break;
    }
    return u"%1年%2月%3日"_s.arg(yearOf(parts.yy, era)).arg(parts.mm).arg(parts.dd);
}

} // namespace

QDate inEra(QByteArrayView yymmdd, Era era)
{
    const Parts parts = partsOf(yymmdd);
    return parts.ok() ? dayInEra(parts, era) : QDate();
}

QDate inEra(int year, int month, int day, Era era)
{
    return year >= 0 ? dayInEra({year, month, day}, era) : QDate();
}

QDate nearest(QByteArrayView yymmdd, const QDate &near)
{
    // A date more than a year ahead is another era's, whatever the clock says.
    QDate best, ahead;
    for (const Era era : Eras) {
        const QDate date = inEra(yymmdd, era);
        QDate &slot = date.isValid() && date > near.addYears(1) ? ahead : best;
        if (date.isValid() && (!slot.isValid() || qAbs(date.daysTo(near)) < qAbs(slot.daysTo(near))))
            slot = date;
    }
    return best.isValid() ? best : ahead;
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

    // The era is chosen by year and month alone; the day must then exist in it.
    int chosen = -1;
    int bestYear = 0;
    for (size_t i = 0; i < Eras.size(); ++i) {
        if (!monthInEra(parts, Eras[i]))
            continue;
        const int year = yearOf(parts.yy, Eras[i]);
        const QDate first(year, parts.mm, 1);
        if (range.usable()) {
            const QDate from = range.from.addDays(-graceDays), to = range.to.addDays(graceDays);
            if (first <= to && first.addMonths(1) > from) {
                chosen = int(i);
                break;
            }
        } else if (first <= today.addDays(31) && (chosen < 0 || year > bestYear)) {
            chosen = int(i);
            bestYear = year;
        }
    }
    if (chosen < 0) {
        if (range.usable())
            return {{}, u"日付「%1」が勘定日の範囲（%2～%3）の外です"_s.arg(written, range.from.toString(u"yyyy/MM/dd"_s),
                                                                          range.to.toString(u"yyyy/MM/dd"_s))};
        return {{}, u"日付「%1」が正しくありません"_s.arg(written)};
    }
    const Era era = Eras[size_t(chosen)];
    const QDate date = dayInEra(parts, era);
    if (!date.isValid())
        return {{}, u"日付「%1」: %2 はありません"_s.arg(written, eraText(parts, era))};
    if (range.usable() && (date < range.from.addDays(-graceDays) || date > range.to.addDays(graceDays)))
        return {{}, u"日付「%1」が勘定日の範囲（%2～%3）の外です"_s.arg(written, range.from.toString(u"yyyy/MM/dd"_s),
                                                                      range.to.toString(u"yyyy/MM/dd"_s))};
    return {date, QString()};
}

} // namespace BankDate
