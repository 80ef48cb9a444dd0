#include "core/data/FieldValue.h"

#include <QDateTime>
#include <QTime>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

// These run per cell over the whole search result, so they scan the UTF-16
// text by hand: no regular expressions, no locale, no temporary strings.

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Reads 1..maxDigits ASCII digits at pos; -1 when there is none.
int readNumber(QStringView text, qsizetype &pos, int maxDigits)
{
    int value = 0;
    int digits = 0;
    while (pos < text.size() && digits < maxDigits && isDigit(text[pos].unicode())) {
        value = value * 10 + (text[pos].unicode() - u'0');
        ++pos;
        ++digits;
    }
    return digits == 0 ? -1 : value;
}

// Exactly two digits.
int readTwoDigits(QStringView text, qsizetype &pos)
{
    const qsizetype start = pos;
    const int value = readNumber(text, pos, 2);
    return pos - start == 2 ? value : -1;
}

// " HH:MM", " HH:MM:SS" or with "T", seconds optionally with a fraction.
bool isTimePart(QStringView text)
{
    if (text.isEmpty())
        return true;
    if (text[0] != u' ' && text[0] != u'T')
        return false;
    qsizetype pos = 1;
    const int hour = readNumber(text, pos, 2);
    if (hour < 0 || hour > 23 || pos >= text.size() || text[pos] != u':')
        return false;
    ++pos;
    const int minute = readTwoDigits(text, pos);
    if (minute < 0 || minute > 59)
        return false;
    if (pos < text.size() && text[pos] == u':') {
        ++pos;
        const int second = readTwoDigits(text, pos);
        if (second < 0 || second > 59)
            return false;
        if (pos < text.size() && text[pos] == u'.') {
            ++pos;
            if (readNumber(text, pos, 9) < 0)
                return false;
        }
    }
    return pos == text.size();
}

QStringView trimmedBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin].unicode()))
        ++begin;
    while (end > begin && isBlank(text[end - 1].unicode()))
        --end;
    return text.sliced(begin, end - begin);
}

void putDigits(char16_t *out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        out[i] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    }
}

struct DateParts
{
    int year;
    int month;
    int day;
};

std::optional<DateParts> parseDateParts(QStringView text)
{
    const QStringView view = trimmedBlanks(text);
    qsizetype pos = 0;
    const int year = readNumber(view, pos, 4);
    if (year < 100 || pos != 4 || pos >= view.size())
        return std::nullopt;
    const QChar separator = view[pos];
    if (separator != u'/' && separator != u'-' && separator != u'.')
        return std::nullopt;
    ++pos;
    const int month = readNumber(view, pos, 2);
    if (month < 0 || pos >= view.size() || view[pos] != separator)
        return std::nullopt;
    ++pos;
    const int day = readNumber(view, pos, 2);
    if (day < 0 || !QDate::isValid(year, month, day) || !isTimePart(view.sliced(pos)))
        return std::nullopt;
    return DateParts{year, month, day};
}

QString formatParts(int year, int month, int day)
{
    char16_t out[10];
    putDigits(out, year, 4);
    out[4] = u'/';
    putDigits(out + 5, month, 2);
    out[7] = u'/';
    putDigits(out + 8, day, 2);
    return QString(reinterpret_cast<const QChar *>(out), 10);
}

} // namespace

QString FieldValue::Text(const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    // The common cases first and without the generic conversion machinery:
    // this runs for every cell of the search.
    case QMetaType::QString:
        return *static_cast<const QString *>(value.constData());
    case QMetaType::LongLong:
        return QString::number(*static_cast<const qlonglong *>(value.constData()));
    case QMetaType::Int:
        return QString::number(*static_cast<const int *>(value.constData()));
    case QMetaType::QDate:
        return FormatDate(value.toDate());
    case QMetaType::QDateTime: {
        const QDateTime moment = value.toDateTime();
        const QString day = FormatDate(moment.date());
        const QTime time = moment.time();
        if (day.isEmpty() || time == QTime(0, 0))
            return day;
        return day + u' ' + time.toString(u"HH:mm:ss");
    }
    default:
        return value.toString();
    }
}

double FieldValue::NumberOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return static_cast<double>(*static_cast<const qlonglong *>(value.constData()));
    case QMetaType::Int:
        return *static_cast<const int *>(value.constData());
    case QMetaType::Double: {
        const double number = *static_cast<const double *>(value.constData());
        return std::isfinite(number) ? number : Number(Text(value));
    }
    default:
        return Number(Text(value));
    }
}

FieldValue::NumberRead FieldValue::ReadNumber(QStringView text)
{
    const qsizetype size = text.size();
    const QChar *chars = text.data();
    qsizetype pos = 0;
    while (pos < size && isBlank(chars[pos].unicode()))
        ++pos;

    bool negative = false;
    if (pos < size && (chars[pos] == u'+' || chars[pos] == u'-')) {
        negative = chars[pos] == u'-';
        ++pos;
    }
    const qsizetype start = pos;
    bool anyDigit = false;
    while (pos < size && isDigit(chars[pos].unicode())) {
        ++pos;
        anyDigit = true;
    }
    if (pos < size && chars[pos] == u'.') {
        ++pos;
        while (pos < size && isDigit(chars[pos].unicode())) {
            ++pos;
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return {};
    const qsizetype mantissaEnd = pos;
    qsizetype end = pos;
    bool negativeExponent = false;
    // An exponent only counts when digits follow it: "1e" and "1e+" are 1.
    if (pos < size && (chars[pos] == u'e' || chars[pos] == u'E')) {
        qsizetype exp = pos + 1;
        if (exp < size && (chars[exp] == u'+' || chars[exp] == u'-')) {
            negativeExponent = chars[exp] == u'-';
            ++exp;
        }
        if (exp < size && isDigit(chars[exp].unicode())) {
            while (exp < size && isDigit(chars[exp].unicode()))
                ++exp;
            end = exp;
        }
    }

    // Whole numbers of up to 15 digits, by far the most common case, are
    // exact in a double and need no general parse.
    if (end == mantissaEnd && end - start <= 15 && chars[end - 1] != u'.') {
        bool whole = true;
        qint64 digits = 0;
        for (qsizetype i = start; i < end && whole; ++i) {
            whole = isDigit(chars[i].unicode());
            digits = digits * 10 + (chars[i].unicode() - u'0');
        }
        if (whole)
            return {negative ? -double(digits) : double(digits), end};
    }

    // Everything between start and end is ASCII by now.
    char small[64];
    std::string large;
    char *buffer = small;
    const qsizetype length = end - start;
    if (length > qsizetype(sizeof small)) {
        large.resize(size_t(length));
        buffer = large.data();
    }
    for (qsizetype i = 0; i < length; ++i)
        buffer[i] = static_cast<char>(chars[start + i].unicode());

    double value = 0.0;
    const auto result = std::from_chars(buffer, buffer + length, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        value = negativeExponent ? 0.0 : std::numeric_limits<double>::infinity();
    return {negative ? -value : value, end};
}

double FieldValue::Number(const QString &text)
{
    return ReadNumber(text).value;
}

std::optional<qint64> FieldValue::IntegerOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::LongLong:
        return *static_cast<const qlonglong *>(value.constData());
    case QMetaType::Int:
        return *static_cast<const int *>(value.constData());
    case QMetaType::UInt:
        return *static_cast<const uint *>(value.constData());
    case QMetaType::ULongLong: {
        const qulonglong number = *static_cast<const qulonglong *>(value.constData());
        if (number > qulonglong(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return qint64(number);
    }
    case QMetaType::Double: {
        constexpr double Exact = 9007199254740992.0; // 2^53
        const double number = *static_cast<const double *>(value.constData());
        if (!(std::fabs(number) <= Exact) || number != std::trunc(number))
            return std::nullopt;
        return qint64(number);
    }
    case QMetaType::QString: {
        const QStringView text = trimmedBlanks(*static_cast<const QString *>(value.constData()));
        qsizetype pos = text.startsWith(u'-') || text.startsWith(u'+') ? 1 : 0;
        if (pos == text.size())
            return std::nullopt;
        for (qsizetype i = pos; i < text.size(); ++i) {
            if (!isDigit(text[i].unicode()))
                return std::nullopt;
        }
        bool ok = false;
        const qint64 number = text.toLongLong(&ok);
        return ok ? std::optional<qint64>(number) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<QDate> FieldValue::ParseDate(QStringView text)
{
    const std::optional<DateParts> parts = parseDateParts(text);
    if (!parts)
        return std::nullopt;
    return QDate(parts->year, parts->month, parts->day);
}

QString FieldValue::DateText(const QString &text)
{
    const std::optional<DateParts> parts = parseDateParts(text);
    if (!parts)
        return {};
    // Dates stored as "YYYY/MM/DD" come back as the same shared text; others
    // are built straight from the parts, never through a QDate.
    if (text.size() == 10 && text.at(4) == u'/' && text.at(7) == u'/' && isDigit(text.at(0).unicode())
        && isDigit(text.at(9).unicode()))
        return text;
    return formatParts(parts->year, parts->month, parts->day);
}

QString FieldValue::FormatDate(const QDate &date)
{
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    if (!date.isValid() || year < 0 || year > 9999)
        return {};
    return formatParts(year, month, day);
}
