#include "core/data/CellText.h"

#include "core/data/FieldValue.h"

#include <QDate>

#include <cmath>

using namespace Qt::StringLiterals;

namespace CellText {

QString toHalfWidth(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // "＋，－．／" and "０-９" lie together in the full-width forms, each
        // its ASCII twin moved by the same distance.
        if (u >= u'＋' && u <= u'９')
            out.append(QChar(char16_t(u - (u'＋' - u'+'))));
        else if (u == u'−')
            out.append(u'-');
        else
            out.append(c);
    }
    return out;
}

QString plainNumber(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    // Ten places hide the binary noise of sums like 0.1 + 0.2.
    QString text = QString::number(value, 'f', 10);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    if (text == u"-0")
        text = u"0"_s;
    return text;
}

QString groupedNumber(double value)
{
    const QString plain = plainNumber(value);
    const qsizetype start = plain.startsWith(u'-') ? 1 : 0;
    qsizetype end = plain.indexOf(u'.');
    if (end < 0)
        end = plain.size();
    QString out = plain;
    for (qsizetype at = end - 3; at > start; at -= 3)
        out.insert(at, u',');
    return out;
}

std::optional<double> parseNumber(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return std::nan("");
    QString plain = toHalfWidth(text);
    plain.remove(u',');
    const FieldValue::NumberRead read = FieldValue::ReadNumber(plain);
    if (read.length != plain.size() || !std::isfinite(read.value))
        return std::nullopt;
    return read.value;
}

bool holdsDate(const QDate &date)
{
    return date.isValid() && date.toJulianDay() >= MinDateJulian && date.toJulianDay() <= MaxDateJulian;
}

int parseDate(QStringView text)
{
    const std::optional<QDate> date = FieldValue::ParseDate(toHalfWidth(text));
    return date && holdsDate(*date) ? int(date->toJulianDay()) : 0;
}

QString dateText(int julianDay)
{
    if (julianDay == 0)
        return QString();
    // Read for every date cell a registration writes: no formatting machinery.
    return FieldValue::FormatDate(QDate::fromJulianDay(julianDay));
}

int compareCodePoints(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x == y)
            continue;
        // Surrogates stand for code points above U+FFFF: move them past
        // U+E000..U+FFFF and those down into their place.
        if (x >= 0xD800 && y >= 0xD800) {
            x = x >= 0xE000 ? char16_t(x - 0x800) : char16_t(x + 0x2000);
            y = y >= 0xE000 ? char16_t(y - 0x800) : char16_t(y + 0x2000);
        }
        return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace CellText
