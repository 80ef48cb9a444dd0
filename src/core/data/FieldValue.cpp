#include "core/data/FieldValue.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTime>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

// The number readers run per cell over the whole search result, so they scan
// the UTF-16 text by hand: no regular expressions, no locale, no temporary
// strings. Dates mostly come typed or take a reader's quick path.

using namespace Qt::StringLiterals;

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
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
        static const QRegularExpression whole(uR"(^[ \t\r\n]*([+-]?[0-9]+)[ \t\r\n]*$)"_s);
        const QRegularExpressionMatch match = whole.match(*static_cast<const QString *>(value.constData()));
        bool ok = false;
        const qint64 number = match.capturedView(1).toLongLong(&ok);
        return ok ? std::optional<qint64>(number) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<QDate> FieldValue::ParseDate(QStringView text)
{
    // Year, month and day with one separator, then optionally hours and
    // minutes, seconds and their fraction; only ASCII digits count.
    static const QRegularExpression form(uR"(^[ \t\r\n]*([0-9]{4})([/.-])([0-9]{1,2})\2([0-9]{1,2}))"
                                         uR"((?:[ T]([0-9]{1,2}):([0-9]{2})(?::([0-9]{2})(?:\.[0-9]{1,9})?)?)?[ \t\r\n]*$)"_s);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const auto part = [&match](int n) { return match.capturedView(n).toInt(); };
    if (part(1) < 100 || !QDate::isValid(part(1), part(3), part(4)) || part(5) > 23 || part(6) > 59 || part(7) > 59)
        return std::nullopt;
    return QDate(part(1), part(3), part(4));
}

QString FieldValue::FormatDate(const QDate &date)
{
    if (!date.isValid() || date.year() < 0 || date.year() > 9999)
        return {};
    // Digit by digit: QString::asprintf here took the search read through
    // QPSQL from 1.02 to 1.42 × psql, and F1 there to its 1.25 × limit.
    QString text(10, u'/');
    QChar *out = text.data();
    const auto put = [out](qsizetype at, qsizetype width, int value) {
        for (qsizetype i = at + width - 1; i >= at; --i, value /= 10)
            out[i] = QChar(u'0' + value % 10);
    };
    put(0, 4, date.year());
    put(5, 2, date.month());
    put(8, 2, date.day());
    return text;
}
