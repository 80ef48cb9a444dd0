#include "widgets/grid/SpreadModel.h"

#include <algorithm>
#include <numeric>

SpreadModel::SpreadModel(QObject *parent) : QAbstractTableModel(parent) {}

SpreadModel::~SpreadModel() = default;

void SpreadModel::setColumns(const QList<ColumnDef> &displayed, int dataOnlyColumns)
{
    if (!m_pending.isSuspended())
        beginResetModel();
    m_columns.clear();
    for (const ColumnDef &columnDef : displayed)
        m_columns.emplace_back(columnDef);
    for (int i = 0; i < dataOnlyColumns; ++i)
        m_columns.emplace_back(ColumnDef{});
    m_displayed = int(displayed.size());
    for (SpreadColumn &column : m_columns)
        column.resize(m_allocation.count());
    if (m_pending.isSuspended()) {
        m_pending.structureChanged();
    } else {
        m_publishedRows = m_rows;
        endResetModel();
    }
}

void SpreadModel::resizeStorage(int rows)
{
    if (rows == 0) {
        // Emptying gives the memory back as well.
        for (SpreadColumn &column : m_columns)
            column.clear();
        m_colors = {};
        m_hidden = {};
        m_slots = {};
        m_slotsInOrder = true;
        m_order.release();
        m_allocation.freed(m_rows);
        m_rows = 0;
        return;
    }
    if (rows < m_rows) {
        // Cut rows come back blank when the sheet grows again, so their
        // slots must be the ones past the end.
        putSlotsInOrder();
        for (int s = rows; s < m_rows; ++s) {
            for (SpreadColumn &column : m_columns)
                column.blank(s);
            m_colors[s] = NoColor;
            m_hidden[s] = 0;
        }
    } else if (rows > m_allocation.count()) {
        allocate(m_allocation.grownFor(rows));
    }
    if (!m_slotsInOrder) {
        m_slots.resize(rows);
        std::iota(m_slots.begin() + std::min(m_rows, rows), m_slots.end(), std::min(m_rows, rows));
    }
    m_rows = rows;
}

void SpreadModel::allocate(int count)
{
    const bool shrink = count < m_allocation.count();
    m_allocation.allocated(count);
    for (SpreadColumn &column : m_columns)
        column.resize(count);
    m_colors.resize(count, NoColor);
    m_hidden.resize(count, 0);
    if (shrink) {
        m_colors.squeeze();
        m_hidden.squeeze();
    }
}

void SpreadModel::fitStorage()
{
    const int fitted = m_allocation.fittedTo(m_rows);
    if (fitted == m_allocation.count())
        return;
    putSlotsInOrder();
    allocate(fitted);
}

void SpreadModel::putSlotsInOrder()
{
    if (m_slotsInOrder)
        return;
    for (SpreadColumn &column : m_columns)
        column.gather(m_slots);
    QList<std::uint32_t> colors(m_colors.size(), NoColor);
    QList<std::uint8_t> hidden(m_hidden.size(), 0);
    for (int row = 0; row < m_rows; ++row) {
        colors[row] = m_colors[m_slots[row]];
        hidden[row] = m_hidden[m_slots[row]];
    }
    m_colors.swap(colors);
    m_hidden.swap(hidden);
    m_slots = {};
    m_slotsInOrder = true;
}

void SpreadModel::setRows(int rows)
{
    rows = std::max(rows, 0);
    if (rows == m_rows)
        return;
    if (m_pending.isSuspended()) {
        resizeStorage(rows);
        m_pending.structureChanged();
    } else if (rows == 0) {
        beginResetModel();
        resizeStorage(0);
        m_publishedRows = 0;
        endResetModel();
    } else if (rows > m_rows) {
        beginInsertRows(QModelIndex(), m_rows, rows - 1);
        resizeStorage(rows);
        m_publishedRows = rows;
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), rows, m_rows - 1);
        resizeStorage(rows);
        m_publishedRows = rows;
        endRemoveRows();
    }
}

void SpreadModel::emptyForReload()
{
    Q_ASSERT(m_pending.isSuspended());
    for (SpreadColumn &column : m_columns)
        column.blankAll();
    std::fill(m_colors.begin(), m_colors.end(), NoColor);
    std::fill(m_hidden.begin(), m_hidden.end(), std::uint8_t(0));
    m_slots = {};
    m_slotsInOrder = true;
    m_rows = 0;
    m_pending.structureChanged();
}

int SpreadModel::appendRow()
{
    Q_ASSERT(m_pending.isSuspended());
    // Mostly a blank slot is waiting at the end already.
    if (m_slotsInOrder && m_rows < m_allocation.count()) {
        m_pending.structureChanged();
        return m_rows++;
    }
    setRows(m_rows + 1);
    return slot(m_rows - 1);
}

const int *SpreadModel::slotsOf(int firstRow, int lastRow) const
{
    // Every row together holds exactly the slots 0..m_rows-1, in some order.
    const bool everyRow = firstRow == 0 && lastRow == m_rows - 1;
    return m_slotsInOrder || everyRow ? nullptr : m_slots.constData();
}

void SpreadModel::write(int firstColumn, int firstRow, int lastColumn, int lastRow, const QVariant &value)
{
    const int *rowSlots = slotsOf(firstRow, lastRow);
    for (int c = firstColumn; c <= lastColumn; ++c)
        m_columns[std::size_t(c)].write(firstRow, lastRow, rowSlots, value);
    announce(firstColumn, firstRow, lastColumn, lastRow, Change::Values);
}

QColor SpreadModel::color(int row) const
{
    const std::uint32_t rgba = m_colors[slot(row)];
    return rgba == NoColor ? QColor() : QColor::fromRgb(rgba);
}

void SpreadModel::setColor(int firstRow, int lastRow, const QColor &color)
{
    const std::uint32_t rgba = rgbaOf(color);
    const int *rowSlots = slotsOf(firstRow, lastRow);
    for (int row = firstRow; row <= lastRow; ++row)
        m_colors[rowSlots ? rowSlots[row] : row] = rgba;
    announce(0, firstRow, m_displayed - 1, lastRow, Change::Colours);
}

void SpreadModel::setHidden(int firstRow, int lastRow, bool hidden)
{
    const int *rowSlots = slotsOf(firstRow, lastRow);
    for (int row = firstRow; row <= lastRow; ++row)
        m_hidden[rowSlots ? rowSlots[row] : row] = std::uint8_t(hidden);
}

void SpreadModel::announce(int firstColumn, int firstRow, int lastColumn, int lastRow, Change change)
{
    // Data-only columns have nothing to show.
    lastColumn = std::min(lastColumn, m_displayed - 1);
    if (firstColumn > lastColumn || firstRow > lastRow)
        return;
    if (m_pending.isSuspended()) {
        m_pending.cellsChanged(QRect(QPoint(firstColumn, firstRow), QPoint(lastColumn, lastRow)));
        return;
    }
    const QList<int> roles = change == Change::Colours
                                 ? QList<int>{Qt::BackgroundRole}
                                 : QList<int>{Qt::DisplayRole, Qt::EditRole, Qt::CheckStateRole};
    emit dataChanged(index(firstRow, firstColumn), index(lastRow, lastColumn), roles);
}

void SpreadModel::suspend()
{
    m_pending.suspend();
}

bool SpreadModel::resume()
{
    if (!m_pending.isSuspended())
        return false;
    const PendingChanges::Told told = m_pending.resume();
    if (told.reset) {
        beginResetModel();
        m_publishedRows = m_rows;
        endResetModel();
    } else if (told.cells.isValid()) {
        const int lastRow = std::min(told.cells.bottom(), m_rows - 1);
        if (told.cells.top() <= lastRow)
            emit dataChanged(index(told.cells.top(), told.cells.left()), index(lastRow, told.cells.right()));
    }
    return told.reset;
}

qsizetype SpreadModel::memoryBytes() const
{
    qsizetype bytes = m_slots.capacity() * qsizetype(sizeof(int))
                      + m_colors.capacity() * qsizetype(sizeof(std::uint32_t)) + m_hidden.capacity();
    for (const SpreadColumn &column : m_columns)
        bytes += column.memoryBytes();
    return bytes;
}
