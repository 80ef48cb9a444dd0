#include "widgets/grid/SpreadColumn.h"

#include "core/data/CellText.h"
#include "core/data/FieldValue.h"

#include <QDate>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <type_traits>
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
void fill(QList<T> &cells, int first, int last, const int *rowSlots, T value)
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

using Numbers = SpreadColumn::Numbers;
using Integers = SpreadColumn::Integers;
using Checks = SpreadColumn::Checks;
using Dates = SpreadColumn::Dates;

template <typename Cells>
constexpr bool IsText = std::is_same_v<Cells, TextCells>;

// Each kind's blank and its reading of a programmatic write.
double blankOf(const Numbers &) { return Blank; }
qint64 blankOf(const Integers &) { return BlankInteger; }
std::uint8_t blankOf(const Checks &) { return 0; }
std::int32_t blankOf(const Dates &) { return 0; }

double converted(const Numbers &, const QVariant &value) { return toNumber(value); }
qint64 converted(const Integers &, const QVariant &value) { return toInteger(value); }
std::uint8_t converted(const Checks &, const QVariant &value)
{
    const double n = toNumber(value);
    return std::uint8_t(!std::isnan(n) && n != 0);
}
std::int32_t converted(const Dates &, const QVariant &value) { return std::int32_t(toJulian(value)); }

// Sort keys of a kind stored as numbers.
std::uint64_t keyOf(const Numbers &, double value) { return numberKey(value); }
// Sign bit flipped: negatives below positives, blank (the lowest) first.
std::uint64_t keyOf(const Integers &, qint64 value) { return std::uint64_t(value) ^ 0x8000000000000000u; }
std::uint64_t keyOf(const Checks &, std::uint8_t value) { return value; }
// Blank is 0, below every julian day.
std::uint64_t keyOf(const Dates &, std::int32_t value) { return std::uint64_t(value); }

SpreadColumn::Cells cellsFor(CellKind kind)
{
    switch (kind) {
    case CellKind::Number: return Numbers{};
    case CellKind::Integer: return Integers{};
    case CellKind::CheckBox: return Checks{};
    case CellKind::Date: return Dates{};
    case CellKind::Text: break;
    }
    return TextCells{};
}

} // namespace

SpreadColumn::SpreadColumn(const ColumnDef &columnDef) : m_def(columnDef), m_cells(cellsFor(columnDef.kind)) {}

void SpreadColumn::resize(int slotCount)
{
    // Fewer slots give their memory back.
    const bool shrink = slotCount < m_slots;
    m_slots = slotCount;
    std::visit(
        [&](auto &cells) {
            if constexpr (IsText<std::decay_t<decltype(cells)>>) {
                cells.resize(slotCount);
            } else {
                cells.at.resize(slotCount, blankOf(cells));
                if (shrink)
                    cells.at.squeeze();
            }
        },
        m_cells);
}

void SpreadColumn::clear()
{
    m_cells = cellsFor(kind());
    m_slots = 0;
}

void SpreadColumn::blankAll()
{
    std::visit(
        [](auto &cells) {
            if constexpr (IsText<std::decay_t<decltype(cells)>>)
                cells.blankAll();
            else
                std::fill(cells.at.begin(), cells.at.end(), blankOf(cells));
        },
        m_cells);
}

void SpreadColumn::blank(int slot)
{
    std::visit(
        [slot](auto &cells) {
            if constexpr (IsText<std::decay_t<decltype(cells)>>)
                cells.store(slot, QString());
            else
                cells.at[slot] = blankOf(cells);
        },
        m_cells);
}

void SpreadColumn::write(int first, int last, const int *rowSlots, const QVariant &value)
{
    std::visit(
        [&](auto &cells) {
            if constexpr (IsText<std::decay_t<decltype(cells)>>) {
                const QString text = toText(value);
                for (int i = first; i <= last; ++i)
                    cells.store(rowSlots ? rowSlots[i] : i, text);
            } else {
                fill(cells.at, first, last, rowSlots, converted(cells, value));
            }
        },
        m_cells);
}

void SpreadColumn::setText(int slot, const QString &text)
{
    if (auto *texts = std::get_if<TextCells>(&m_cells))
        texts->share(slot, text);
    else
        write(slot, slot, nullptr, text);
}

void SpreadColumn::copyText(int slot, QStringView text)
{
    if (auto *texts = std::get_if<TextCells>(&m_cells))
        texts->copy(slot, text);
    else
        write(slot, slot, nullptr, text.toString());
}

void SpreadColumn::setNumber(int slot, double number)
{
    if (auto *numbers = std::get_if<Numbers>(&m_cells))
        numbers->at[slot] = number;
    else
        write(slot, slot, nullptr, number);
}

void SpreadColumn::setInteger(int slot, qint64 number)
{
    if (auto *integers = std::get_if<Integers>(&m_cells))
        integers->at[slot] = number;
    else
        write(slot, slot, nullptr, qlonglong(number));
}

void SpreadColumn::setDate(int slot, const std::optional<QDate> &date)
{
    auto *dates = std::get_if<Dates>(&m_cells);
    if (!dates) {
        write(slot, slot, nullptr, date ? FieldValue::FormatDate(*date) : QString());
        return;
    }
    // The range a date cell holds, as CellText::parseDate keeps it.
    const qint64 julian = date ? date->toJulianDay() : 0;
    dates->at[slot] = julian >= CellText::MinDateJulian && julian <= CellText::MaxDateJulian ? int(julian) : 0;
}

bool SpreadColumn::writeEdited(int slot, const QString &text)
{
    if (auto *numbers = std::get_if<Numbers>(&m_cells)) {
        const std::optional<double> n = CellText::parseNumber(text);
        if (!n || (!std::isnan(*n) && (*n < m_def.minimum || *n > m_def.maximum)))
            return false;
        numbers->at[slot] = *n;
    } else if (auto *integers = std::get_if<Integers>(&m_cells)) {
        const qint64 n = toInteger(text);
        if (n == BlankInteger && !text.trimmed().isEmpty())
            return false;
        if (n != BlankInteger && (double(n) < m_def.minimum || double(n) > m_def.maximum))
            return false;
        integers->at[slot] = n;
    } else if (auto *checks = std::get_if<Checks>(&m_cells)) {
        checks->at[slot] = std::uint8_t(toNumber(text) == 1);
    } else if (auto *dates = std::get_if<Dates>(&m_cells)) {
        const int julian = CellText::parseDate(text);
        if (julian == 0 && !text.trimmed().isEmpty())
            return false;
        dates->at[slot] = julian;
    } else {
        std::get<TextCells>(m_cells).store(slot, m_def.maxLength > 0 ? text.left(m_def.maxLength) : text);
    }
    return true;
}

QString SpreadColumn::value(int slot) const
{
    if (const auto *numbers = std::get_if<Numbers>(&m_cells))
        return CellText::plainNumber(numbers->at[slot]);
    if (const auto *integers = std::get_if<Integers>(&m_cells))
        return integers->at[slot] == BlankInteger ? QString() : QString::number(integers->at[slot]);
    if (const auto *checks = std::get_if<Checks>(&m_cells))
        return checks->at[slot] ? QStringLiteral("1") : QStringLiteral("0");
    if (const auto *dates = std::get_if<Dates>(&m_cells))
        return CellText::dateText(dates->at[slot]);
    return std::get<TextCells>(m_cells).text(slot);
}

QString SpreadColumn::text(int slot) const
{
    const auto *numbers = std::get_if<Numbers>(&m_cells);
    if (numbers && m_def.grouping)
        return CellText::groupedNumber(numbers->at[slot]);
    return value(slot);
}

double SpreadColumn::number(int slot) const
{
    if (const auto *numbers = std::get_if<Numbers>(&m_cells))
        return std::isnan(numbers->at[slot]) ? 0.0 : numbers->at[slot];
    if (const auto *integers = std::get_if<Integers>(&m_cells))
        return integers->at[slot] == BlankInteger ? 0.0 : double(integers->at[slot]);
    if (const auto *checks = std::get_if<Checks>(&m_cells))
        return checks->at[slot];
    if (std::holds_alternative<Dates>(m_cells))
        return 0.0;
    const double n = CellText::parseNumber(textAt(slot)).value_or(0.0);
    return std::isnan(n) ? 0.0 : n;
}

std::optional<qint64> SpreadColumn::integer(int slot) const
{
    const auto *integers = std::get_if<Integers>(&m_cells);
    if (!integers || integers->at[slot] == BlankInteger)
        return std::nullopt;
    return integers->at[slot];
}

bool SpreadColumn::isChecked(int slot) const
{
    const auto *checks = std::get_if<Checks>(&m_cells);
    return checks && checks->at[slot] != 0;
}

void SpreadColumn::sortKeys(const int *rowSlots, qsizetype count, qsizetype textOffset,
                            std::uint64_t *keys) const
{
    std::visit(
        [&](const auto &cells) {
            if constexpr (IsText<std::decay_t<decltype(cells)>>) {
                for (qsizetype i = 0; i < count; ++i) {
                    const QStringView text = cells.view(rowSlots[i]);
                    const char16_t *units = text.utf16();
                    std::uint64_t key = 0;
                    for (qsizetype u = textOffset; u < textOffset + 4; ++u)
                        key = (key << 16) | (u < text.size() ? unitKey(units[u]) : 0);
                    keys[i] = key;
                }
            } else {
                for (qsizetype i = 0; i < count; ++i)
                    keys[i] = keyOf(cells, cells.at[rowSlots[i]]);
            }
        },
        m_cells);
}

void SpreadColumn::gather(const QList<int> &from)
{
    std::visit(
        [&](auto &cells) {
            if constexpr (IsText<std::decay_t<decltype(cells)>>)
                cells.gather(from);
            else
                gatherArray(cells.at, from);
        },
        m_cells);
}

qsizetype SpreadColumn::sharedTexts() const
{
    const auto *texts = std::get_if<TextCells>(&m_cells);
    return texts ? texts->sharedCount() : 0;
}

qsizetype SpreadColumn::memoryBytes() const
{
    return std::visit(
        [](const auto &cells) -> qsizetype {
            if constexpr (IsText<std::decay_t<decltype(cells)>>)
                return cells.memoryBytes();
            else
                return cells.at.capacity() * qsizetype(sizeof(cells.at[0]));
        },
        m_cells);
}
