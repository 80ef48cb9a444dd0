#include "screens/receipt_list/OrderListCells.h"

#include "core/data/CellText.h"
#include "core/data/FieldValue.h"
#include "screens/receipt_list/frmKensaku.h"

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

template <typename T>
int order(const T &a, const T &b)
{
    return int(b < a) - int(a < b);
}

// Blanks first.
int order(const std::optional<qint64> &a, const std::optional<qint64> &b)
{
    return a && b ? order(*a, *b) : int(a.has_value()) - int(b.has_value());
}

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

int OrderListCells::compare(int column, int a, int b) const
{
    const Row &x = at(a);
    const Row &y = at(b);
    if (const auto text = textOf(column))
        return CellText::compareCodePoints(x.*text, y.*text);
    if (const auto date = dateOf(column))
        return order((x.*date).toJulianDay(), (y.*date).toJulianDay()); // an invalid date is the lowest day
    if (const auto yen = yenOf(column))
        return order(x.*yen, y.*yen);
    if (const auto flag = flagOf(column))
        return order(x.*flag, y.*flag);
    return order(x.id, y.id);
}

void OrderListCells::reorder(int first, const std::vector<int> &order)
{
    std::vector<Row> &rows = m_orders.rows();
    std::vector<Row> moved;
    moved.reserve(order.size());
    for (const int row : order)
        moved.push_back(std::move(rows[std::size_t(row)]));
    std::move(moved.begin(), moved.end(), rows.begin() + first);
}
