#include "screens/receipt_list/OrderListCells.h"

#include "core/data/CellText.h"
#include "core/data/FieldValue.h"
#include "screens/receipt_list/frmKensaku.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>

using Row = OrderList::Row;

namespace {

// The text a row holds in a text column; null for the columns that are none.
QString Row::*textOf(int column)
{
    switch (column + 1) {
    case frmKensaku::ColCompany: return &Row::company;
    case frmKensaku::ColName: return &Row::name;
    case frmKensaku::ColTel: return &Row::tel;
    case frmKensaku::ColMethod: return &Row::method;
    case frmKensaku::ColRemarks: return &Row::remarks;
    case frmKensaku::ColShopId: return &Row::shopId;
    case frmKensaku::ColTel1: return &Row::tel1;
    default: return nullptr;
    }
}

// The dates shown as text ("注文日", "出荷日") and the date cell "入金日".
QDate Row::*dateOf(int column)
{
    switch (column + 1) {
    case frmKensaku::ColOrderDate: return &Row::orderDate;
    case frmKensaku::ColShipDate: return &Row::shipDate;
    case frmKensaku::ColPaidDate: return &Row::paidDate;
    default: return nullptr;
    }
}

std::optional<qint64> Row::*yenOf(int column)
{
    switch (column + 1) {
    case frmKensaku::ColBilled: return &Row::billed;
    case frmKensaku::ColPaidAmount: return &Row::paidAmount;
    default: return nullptr;
    }
}

bool Row::*flagOf(int column)
{
    switch (column + 1) {
    case frmKensaku::ColMark: return &Row::marked;
    case frmKensaku::ColUpdateFlag: return &Row::update;
    case frmKensaku::ColMailFlag: return &Row::mail;
    default: return nullptr;
    }
}

QVariant orBlank(const std::optional<qint64> &value)
{
    return value ? QVariant(qlonglong(*value)) : QVariant();
}

// A sort key's value in a column that is no text: blanks lowest.
qint64 numberOf(int column, const Row &order)
{
    constexpr qint64 Blank = std::numeric_limits<qint64>::min();
    if (const auto date = dateOf(column))
        return (order.*date).isValid() ? (order.*date).toJulianDay() : Blank;
    if (const auto yen = yenOf(column))
        return (order.*yen).value_or(Blank);
    if (const auto flag = flagOf(column))
        return order.*flag ? 1 : 0;
    return order.id.value_or(Blank);
}

// The first four UTF-16 units of a text as one number in code-point order
// (surrogates after U+E000..U+FFFF), so that most comparisons of a sort by
// name never reach the texts: read from 80,000 rows all over the heap, they
// took the 氏名 sort to 4 times the other columns' (202 ms under load).
std::uint64_t prefixOf(QStringView text)
{
    std::uint64_t key = 0;
    for (qsizetype i = 0; i < 4; ++i) {
        const char16_t unit = i < text.size() ? text[i].unicode() : 0;
        key = (key << 16) | (unit >= 0xE000 ? unit - 0x800u : unit >= 0xD800 ? unit + 0x2000u : unit);
    }
    return key;
}

// One sort key's values, read out of the rows once, so that the sort walks
// compact arrays rather than the rows.
struct KeyValues
{
    bool text = false;
    bool descending = false;
    std::vector<qint64> numbers;      // texts: their prefixes
    std::vector<QStringView> texts;

    int compare(std::size_t a, std::size_t b) const
    {
        if (text && numbers[a] == numbers[b])
            return CellText::compareCodePoints(texts[a], texts[b]);
        return int(numbers[b] < numbers[a]) - int(numbers[a] < numbers[b]);
    }
};

} // namespace

QVariant OrderListCells::cell(int column, int row) const
{
    const Row &order = at(row);
    if (const auto text = textOf(column))
        return order.*text;
    if (const auto date = dateOf(column)) {
        const QDate &day = order.*date;
        if (column + 1 == frmKensaku::ColPaidDate)
            return day.isValid() ? QVariant(day) : QVariant();
        return FieldValue::FormatDate(day);
    }
    if (const auto yen = yenOf(column))
        return orBlank(order.*yen);
    if (column + 1 == frmKensaku::ColMark)
        return order.marked;
    if (const auto flag = flagOf(column))
        return order.*flag ? QVariant(1.0) : QVariant();
    return orBlank(order.id);
}

bool OrderListCells::setCell(int column, int row, const QVariant &value)
{
    Row &order = at(row);
    if (const auto text = textOf(column)) {
        order.*text = value.toString();
    } else if (const auto date = dateOf(column)) {
        if (column + 1 == frmKensaku::ColPaidDate) {
            order.*date = value.toDate();
            return true;
        }
        // The other dates are text columns: a text that is no date is refused.
        const QString typed = value.toString().trimmed();
        const std::optional<QDate> day = FieldValue::ParseDate(CellText::toHalfWidth(typed));
        if (!day && !typed.isEmpty())
            return false;
        order.*date = day.value_or(QDate());
    } else if (const auto yen = yenOf(column)) {
        order.*yen = value.isValid() ? std::optional<qint64>(value.toLongLong()) : std::nullopt;
    } else if (const auto flag = flagOf(column)) {
        order.*flag = value.isValid() && value.toDouble() != 0;
    } else {
        order.id = value.isValid() ? std::optional<qint64>(value.toLongLong()) : std::nullopt;
    }
    return true;
}

std::vector<int> OrderListCells::sortedRows(int first, int last, const QList<SortKey> &keys) const
{
    const std::size_t count = std::size_t(last - first + 1);
    std::vector<KeyValues> values(std::size_t(keys.size()));
    for (qsizetype k = 0; k < keys.size(); ++k) {
        KeyValues &key = values[std::size_t(k)];
        const int column = keys[k].column;
        const auto text = textOf(column);
        key.text = text != nullptr;
        key.descending = keys[k].order == 2;
        key.numbers.reserve(count);
        for (int row = first; row <= last; ++row) {
            if (text) {
                key.texts.emplace_back(at(row).*text);
                // The sign bit flipped keeps the unsigned order in a signed number.
                key.numbers.push_back(qint64(prefixOf(key.texts.back()) ^ 0x8000000000000000u));
            } else {
                key.numbers.push_back(numberOf(column, at(row)));
            }
        }
    }
    std::vector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (const KeyValues &key : values) {
            if (const int c = key.compare(std::size_t(a), std::size_t(b)))
                return key.descending ? c > 0 : c < 0;
        }
        return false;
    });
    for (int &row : order)
        row += first;
    return order;
}

void OrderListCells::reorder(int first, const std::vector<int> &order)
{
    m_orders.reorder(first, order);
}
