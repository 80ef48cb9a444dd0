#include "widgets/grid/SpreadColumn.h"

#include "core/data/CellText.h"
#include "core/data/FieldValue.h"

#include <QDate>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double Blank = std::numeric_limits<double>::quiet_NaN();
constexpr qint64 BlankInteger = std::numeric_limits<qint64>::min();

// Numbers and numeric text an operator typed; anything not a whole number
// in range is blank rather than the integer nearest to it.
qint64 toInteger(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString)
        return FieldValue::IntegerOf(CellText::toHalfWidth(value.toString()).remove(u',')).value_or(BlankInteger);
    return FieldValue::IntegerOf(value).value_or(BlankInteger);
}

// A value as a number: NaN when blank or not a number.
double toNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Bool:
        return value.toDouble();
    default:
        return value.isValid() ? CellText::parseNumber(value.toString()).value_or(Blank) : Blank;
    }
}

int toJulian(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime) {
        const qint64 julian = value.toDate().toJulianDay();
        return julian >= CellText::MinDateJulian && julian <= CellText::MaxDateJulian ? int(julian) : 0;
    }
    if (value.typeId() != QMetaType::QString)
        return 0;
    return CellText::parseDate(value.toString());
}

QString toText(const QVariant &value)
{
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        return CellText::plainNumber(value.toDouble());
    return value.toString();
}

template <typename T>
void fill(QList<T> &cells, int first, int last, const int *rowSlots, const T &value)
{
    if (!rowSlots) {
        std::fill(cells.begin() + first, cells.begin() + last + 1, value);
        return;
    }
    T *data = cells.data();
    for (int i = first; i <= last; ++i)
        data[rowSlots[i]] = value;
}

template <typename T>
void gatherArray(QList<T> &cells, const QList<int> &from)
{
    if (cells.isEmpty())
        return;
    std::vector<T> moved;
    moved.reserve(std::size_t(from.size()));
    for (const int slot : from)
        moved.push_back(std::move(cells[slot]));
    std::move(moved.begin(), moved.end(), cells.begin());
}

// Order-keeping image of a double: negative numbers below positive ones,
// NaN (a blank) below everything.
std::uint64_t numberKey(double value)
{
    if (std::isnan(value))
        return 0;
    const auto bits = std::bit_cast<std::uint64_t>(value + 0.0); // -0 becomes 0
    return (bits & 0x8000000000000000u) ? ~bits : (bits | 0x8000000000000000u);
}

// UTF-16 units moved into code-point order: surrogates (characters past
// U+FFFF) after U+E000..U+FFFF.
std::uint64_t unitKey(char16_t unit)
{
    if (unit >= 0xE000)
        return unit - 0x800u;
    if (unit >= 0xD800)
        return unit + 0x2000u;
    return unit;
}

} // namespace

SpreadColumn::SpreadColumn(const vaSpread::ColumnSpec &columnDef) : m_spec(columnDef) {}

void SpreadColumn::resize(int slotCount)
{
    // Fewer slots give their memory back.
    const bool shrink = slotCount < m_slots;
    m_slots = slotCount;
    const auto sized = [shrink, slotCount](auto &cells, const auto &blank) {
        cells.resize(slotCount, blank);
        if (shrink)
            cells.squeeze();
    };
    switch (kind()) {
    case Kind::Number: sized(m_numbers, Blank); break;
    case Kind::Integer: sized(m_integers, BlankInteger); break;
    case Kind::CheckBox: sized(m_checks, std::uint8_t(0)); break;
    case Kind::Date: sized(m_dates, std::int32_t(0)); break;
    case Kind::Text:
        if (!m_texts.isEmpty())
            sized(m_texts, QString());
        m_shared.resize(slotCount);
        m_arena.resize(slotCount);
        break;
    }
}

void SpreadColumn::clear()
{
    m_numbers = {};
    m_integers = {};
    m_checks = {};
    m_dates = {};
    m_texts = {};
    m_shared.clear();
    m_arena.clear();
    m_slots = 0;
}

void SpreadColumn::blankAll()
{
    std::fill(m_numbers.begin(), m_numbers.end(), Blank);
    std::fill(m_integers.begin(), m_integers.end(), BlankInteger);
    std::fill(m_checks.begin(), m_checks.end(), std::uint8_t(0));
    std::fill(m_dates.begin(), m_dates.end(), std::int32_t(0));
    std::fill(m_texts.begin(), m_texts.end(), QString());
    m_shared.blankAll();
    m_arena.blankAll();
}

void SpreadColumn::blank(int slot)
{
    switch (kind()) {
    case Kind::Number: m_numbers[slot] = Blank; break;
    case Kind::Integer: m_integers[slot] = BlankInteger; break;
    case Kind::CheckBox: m_checks[slot] = 0; break;
    case Kind::Date: m_dates[slot] = 0; break;
    case Kind::Text: storeText(slot, QString()); break;
    }
}

void SpreadColumn::write(int first, int last, const int *rowSlots, const QVariant &value)
{
    switch (kind()) {
    case Kind::Number:
        fill(m_numbers, first, last, rowSlots, toNumber(value));
        break;
    case Kind::Integer:
        fill(m_integers, first, last, rowSlots, toInteger(value));
        break;
    case Kind::CheckBox: {
        const double n = toNumber(value);
        fill(m_checks, first, last, rowSlots, std::uint8_t(!std::isnan(n) && n != 0));
        break;
    }
    case Kind::Date:
        fill(m_dates, first, last, rowSlots, std::int32_t(toJulian(value)));
        break;
    case Kind::Text: {
        const QString text = toText(value);
        for (int i = first; i <= last; ++i)
            storeText(rowSlots ? rowSlots[i] : i, text);
        break;
    }
    }
}

void SpreadColumn::setText(int slot, const QString &text)
{
    if (kind() != Kind::Text) {
        write(slot, slot, nullptr, text);
        return;
    }
    if (!m_shared.put(slot, text)) {
        storeText(slot, text);
        return;
    }
    m_arena.drop(slot);
    if (slot < m_texts.size())
        m_texts[slot] = QString();
}

void SpreadColumn::copyText(int slot, QStringView text)
{
    if (kind() != Kind::Text) {
        write(slot, slot, nullptr, text.toString());
        return;
    }
    if (text.isEmpty() || !m_arena.put(slot, text)) {
        storeText(slot, text.toString());
        return;
    }
    settleCopied(slot);
}

void SpreadColumn::settleCopied(int slot)
{
    m_shared.drop(slot);
    if (slot < m_texts.size())
        m_texts[slot] = QString();
}

void SpreadColumn::storeText(int slot, const QString &text)
{
    m_shared.drop(slot);
    m_arena.drop(slot);
    if (m_texts.isEmpty()) {
        if (text.isNull())
            return;
        m_texts.resize(m_slots);
    }
    m_texts[slot] = text;
}

void SpreadColumn::setNumber(int slot, double number)
{
    if (kind() == Kind::Number)
        m_numbers[slot] = number;
    else
        write(slot, slot, nullptr, number);
}

void SpreadColumn::setInteger(int slot, qint64 number)
{
    if (kind() == Kind::Integer)
        m_integers[slot] = number;
    else
        write(slot, slot, nullptr, qlonglong(number));
}

void SpreadColumn::setDate(int slot, const std::optional<QDate> &date)
{
    if (kind() != Kind::Date) {
        write(slot, slot, nullptr, date ? FieldValue::FormatDate(*date) : QString());
        return;
    }
    // The range a date cell holds, as CellText::parseDate keeps it.
    const qint64 julian = date ? date->toJulianDay() : 0;
    m_dates[slot] = julian >= CellText::MinDateJulian && julian <= CellText::MaxDateJulian ? int(julian) : 0;
}

bool SpreadColumn::writeEdited(int slot, const QString &text)
{
    switch (kind()) {
    case Kind::Number: {
        const std::optional<double> n = CellText::parseNumber(text);
        if (!n || (!std::isnan(*n) && (*n < m_spec.minimum || *n > m_spec.maximum)))
            return false;
        m_numbers[slot] = *n;
        return true;
    }
    case Kind::Integer: {
        const qint64 n = toInteger(text);
        if (n == BlankInteger && !text.trimmed().isEmpty())
            return false;
        if (n != BlankInteger && (double(n) < m_spec.minimum || double(n) > m_spec.maximum))
            return false;
        m_integers[slot] = n;
        return true;
    }
    case Kind::CheckBox:
        m_checks[slot] = std::uint8_t(toNumber(text) == 1);
        return true;
    case Kind::Date: {
        const int julian = CellText::parseDate(text);
        if (julian == 0 && !text.trimmed().isEmpty())
            return false;
        m_dates[slot] = julian;
        return true;
    }
    case Kind::Text:
        storeText(slot, m_spec.maxLength > 0 ? text.left(m_spec.maxLength) : text);
        return true;
    }
    return false;
}

QString SpreadColumn::value(int slot) const
{
    switch (kind()) {
    case Kind::Number: return CellText::plainNumber(m_numbers[slot]);
    case Kind::Integer: return m_integers[slot] == BlankInteger ? QString() : QString::number(m_integers[slot]);
    case Kind::CheckBox: return m_checks[slot] ? QStringLiteral("1") : QStringLiteral("0");
    case Kind::Date: return CellText::dateText(m_dates[slot]);
    case Kind::Text:
        if (m_shared.holds(slot))
            return m_shared.at(slot);
        if (m_arena.holds(slot))
            return m_arena.at(slot).toString();
        return slot < m_texts.size() ? m_texts[slot] : QString();
    }
    return QString();
}

QString SpreadColumn::text(int slot) const
{
    if (kind() == Kind::Number && m_spec.grouping)
        return CellText::groupedNumber(m_numbers[slot]);
    return value(slot);
}

double SpreadColumn::number(int slot) const
{
    switch (kind()) {
    case Kind::Number: return std::isnan(m_numbers[slot]) ? 0.0 : m_numbers[slot];
    case Kind::Integer: return m_integers[slot] == BlankInteger ? 0.0 : double(m_integers[slot]);
    case Kind::CheckBox: return m_checks[slot];
    case Kind::Date: return 0.0;
    case Kind::Text: {
        const double n = CellText::parseNumber(textAt(slot)).value_or(0.0);
        return std::isnan(n) ? 0.0 : n;
    }
    }
    return 0.0;
}

std::optional<qint64> SpreadColumn::integer(int slot) const
{
    if (kind() != Kind::Integer || m_integers[slot] == BlankInteger)
        return std::nullopt;
    return m_integers[slot];
}

void SpreadColumn::sortKeys(const int *rowSlots, qsizetype count, qsizetype textOffset,
                            std::uint64_t *keys) const
{
    switch (kind()) {
    case Kind::Number:
        for (qsizetype i = 0; i < count; ++i)
            keys[i] = numberKey(m_numbers[rowSlots[i]]);
        break;
    case Kind::Integer:
        // Sign bit flipped: negatives below positives, blank (the lowest) first.
        for (qsizetype i = 0; i < count; ++i)
            keys[i] = std::uint64_t(m_integers[rowSlots[i]]) ^ 0x8000000000000000u;
        break;
    case Kind::CheckBox:
        for (qsizetype i = 0; i < count; ++i)
            keys[i] = m_checks[rowSlots[i]];
        break;
    case Kind::Date:
        // Blank is 0, below every julian day.
        for (qsizetype i = 0; i < count; ++i)
            keys[i] = std::uint64_t(m_dates[rowSlots[i]]);
        break;
    case Kind::Text:
        for (qsizetype i = 0; i < count; ++i) {
            const QStringView text = textAt(rowSlots[i]);
            const char16_t *units = text.utf16();
            std::uint64_t key = 0;
            for (qsizetype u = textOffset; u < textOffset + 4; ++u)
                key = (key << 16) | (u < text.size() ? unitKey(units[u]) : 0);
            keys[i] = key;
        }
        break;
    }
}

void SpreadColumn::gather(const QList<int> &from)
{
    gatherArray(m_numbers, from);
    gatherArray(m_integers, from);
    gatherArray(m_checks, from);
    gatherArray(m_dates, from);
    gatherArray(m_texts, from);
    m_shared.gather(from);
    m_arena.gather(from);
}
