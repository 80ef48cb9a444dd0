#include "import/MatchKeys.h"

#include <algorithm>

namespace {

// Longer runs are account numbers beyond any order number.
constexpr qsizetype MaxOrderDigits = 18;

int digitOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'０' && u <= u'９')
        return u - u'０';
    return -1;
}

// Marks between the numbers of a date or a time, or a decimal point.
constexpr QStringView DateSeparators = u"/.:／．：-－";

struct Run
{
    qsizetype start{0};
    qsizetype end{0}; // past the last digit
    qint64 value{0};
    bool phone{false};
    int digits() const { return int(end - start); }
};

QList<Run> runsOf(QStringView text)
{
    QList<Run> runs;
    const qsizetype n = text.size();
    for (qsizetype pos = 0; pos < n;) {
        if (digitOf(text[pos]) < 0) {
            ++pos;
            continue;
        }
        Run run;
        run.start = pos;
        for (; pos < n && digitOf(text[pos]) >= 0; ++pos) {
            if (pos - run.start < MaxOrderDigits)
                run.value = run.value * 10 + digitOf(text[pos]);
        }
        run.end = pos;
        runs.append(run);
    }
    return runs;
}

bool onlySeparatorsBetween(QStringView text, const Run &left, const Run &right)
{
    if (right.start - left.end > 2)
        return false;
    // What payers put between the parts of a phone number.
    const QStringView between = text.sliced(left.end, right.start - left.end);
    return std::all_of(between.cbegin(), between.cend(), [](QChar c) { return QStringView(u"- ()　－（）‐‑–—―−ーｰ").contains(c); });
}

qint64 phoneKeyOf(int digits, qint64 value)
{
    // The count keeps 03-... and 003-... apart.
    return qint64(digits) * 100'000'000'000LL + value;
}

// Marks the runs that make up phone numbers and collects their keys: one run
// of 10 or 11 digits, or up to three joined by separators whose last has 4.
void markPhones(QStringView text, QList<Run> &runs, QList<qint64> &phones)
{
    for (qsizetype i = 0; i < runs.size(); ++i) {
        if (digitOf(text[runs.at(i).start]) != 0)
            continue;
        int digits = 0;
        qint64 value = 0;
        for (qsizetype j = i; j < runs.size() && j < i + 3; ++j) {
            if (j > i && !onlySeparatorsBetween(text, runs.at(j - 1), runs.at(j)))
                break;
            digits += runs.at(j).digits();
            if (digits > 11)
                break;
            for (qsizetype k = runs.at(j).start; k < runs.at(j).end; ++k)
                value = value * 10 + digitOf(text[k]);
            if (digits >= 10 && (j == i || runs.at(j).digits() == 4)) {
                for (qsizetype k = i; k <= j; ++k)
                    runs[k].phone = true;
                const qint64 key = phoneKeyOf(digits, value);
                if (!phones.contains(key))
                    phones.append(key);
                i = j;
                break;
            }
        }
    }
}

// A date's numbers have at most four digits: 317633-317973 are two order numbers.
constexpr qsizetype MaxDateDigits = 4;

bool isDatePart(QStringView text, const QList<Run> &runs, qsizetype k)
{
    const Run &run = runs.at(k);
    if (run.digits() > MaxDateDigits)
        return false;
    const QChar before = run.start > 0 ? text[run.start - 1] : QChar();
    const QChar after = run.end < text.size() ? text[run.end] : QChar();
    if (QStringView(u"年月日").contains(after) || before == u'年' || before == u'月')
        return true;
    // The digits of the runs one mark away.
    const qsizetype digitsBeforeMark = k > 0 && runs.at(k - 1).end == run.start - 1 ? runs.at(k - 1).digits() : 0;
    const qsizetype digitsAfterMark = k + 1 < runs.size() && runs.at(k + 1).start == run.end + 1 ? runs.at(k + 1).digits() : 0;
    const bool digitBefore = digitsBeforeMark > 0 && digitsBeforeMark <= MaxDateDigits;
    const bool digitAfter = digitsAfterMark > 0 && digitsAfterMark <= MaxDateDigits;
    if ((DateSeparators.contains(before) && digitBefore) || (DateSeparators.contains(after) && digitAfter))
        return true;
    // 10,000: the parts of a grouped amount.
    const bool groupAfter = (after == u',' || after == u'，') && digitsAfterMark > 0;
    const bool groupBefore = (before == u',' || before == u'，') && digitsBeforeMark > 0 && run.digits() == 3;
    return groupAfter || groupBefore;
}

} // namespace

qint64 MatchKeys::phoneKey(QStringView text)
{
    int digits = 0;
    qint64 value = 0;
    bool leadingZero = false;
    for (const QChar c : text) {
        const int digit = digitOf(c);
        if (digit < 0)
            continue;
        if (digits == 0)
            leadingZero = digit == 0;
        if (++digits > 11)
            return 0;
        value = value * 10 + digit;
    }
    return leadingZero && digits >= 10 ? phoneKeyOf(digits, value) : 0;
}

QString MatchKeys::phoneDigits(qint64 key)
{
    return QString::number(key % 100'000'000'000LL).rightJustified(int(key / 100'000'000'000LL), u'0');
}

void MatchKeys::scan(QStringView text, Found &found)
{
    QList<Run> runs = runsOf(text);
    if (runs.isEmpty())
        return;
    markPhones(text, runs, found.phones);
    for (qsizetype k = 0; k < runs.size(); ++k) {
        const Run &run = runs.at(k);
        if (run.phone || run.digits() > MaxOrderDigits || isDatePart(text, runs, k))
            continue;
        if (!found.orderNumbers.contains(run.value))
            found.orderNumbers.append(run.value);
    }
}
